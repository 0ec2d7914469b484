// GIF files through giflib: the first frame, with the file's own table
// (the frame's, else the file's), as 8-bit indices unchanged. The picture is
// the logical screen: pixels the frame leaves uncovered take the background
// index, and what of the frame lies outside the screen is decoded and
// dropped. A screen or a frame of no pixel is damaged. A transparent index
// is just an index. Interlaced frames deliver their rows in four passes,
// each put in its place. The frames after the first are counted, not decoded.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "PictureReader.h"

namespace {

constexpr int kInterlaceStart[4] = {0, 4, 2, 1};
constexpr int kInterlaceStep[4] = {8, 8, 4, 2};

int ReadFromInput(GifFileType* gif, GifByteType* destination, int length) {
    auto* input = static_cast<CCodecInput*>(gif->UserData);
    return length < 0
               ? 0
               : static_cast<int>(input->Read(destination, static_cast<std::size_t>(length)));
}

class CGifReader : public CPictureReader {
public:
    explicit CGifReader(CCodecInput& input) : input_(input) {}
    ~CGifReader() override {
        if (gif_ != nullptr) DGifCloseFile(gif_, nullptr);
    }

    bool ReadHeader(SPictureHeader& header) override {
        int error = 0;
        if (!input_.Seek(0)) return Damaged(D_GIF_ERR_READ_FAILED);
        gif_ = DGifOpen(&input_, ReadFromInput, &error);
        if (gif_ == nullptr) return Damaged(error);
        if (NextFrame() != 1)
            return Damaged(gif_->Error != 0 ? gif_->Error : D_GIF_ERR_NO_IMAG_DSCR);
        if (gif_->SWidth <= 0 || gif_->SHeight <= 0)
            return Fail(CodecStatus::Damaged, "damaged GIF file (a screen of no pixel)");
        if (gif_->Image.Width <= 0 || gif_->Image.Height <= 0)
            return Fail(CodecStatus::Damaged, "damaged GIF file (a frame with no image data)");
        header.width = gif_->SWidth;
        header.height = gif_->SHeight;
        header.kind = PictureKind::Palette8;
        return true;
    }

    bool ReadPixels(const SPictureRows& rows) override {
        const GifImageDesc& frame = gif_->Image;
        const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif_->SColorMap;
        if (map != nullptr)
            for (int i = 0; i < 256; ++i) {
                const GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
                rows.SetEntry(i, c.Red, c.Green, c.Blue);
            }
        const auto background = static_cast<std::uint8_t>(gif_->SBackGroundColor);
        if (background != 0)
            for (int y = 0; y < rows.height; ++y) std::fill_n(rows.Row(y), rows.width, background);
        // A row wholly on the screen goes straight into the block's, at its
        // column; any other is decoded aside and its part on the screen copied.
        const std::int64_t left = frame.Left, top = frame.Top;
        const bool inside = left + frame.Width <= rows.width;
        const int first = static_cast<int>(std::clamp<std::int64_t>(left, 0, rows.width));
        const int last =
            static_cast<int>(std::clamp<std::int64_t>(left + frame.Width, 0, rows.width));
        std::vector<GifPixelType> aside(static_cast<std::size_t>(frame.Width));
        const int passes = frame.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = frame.Interlace ? kInterlaceStart[pass] : 0;
            const int step = frame.Interlace ? kInterlaceStep[pass] : 1;
            for (int y = start; y < frame.Height; y += step) {
                const bool onScreen = top + y < rows.height;
                const bool direct = inside && onScreen;
                GifPixelType* line =
                    direct ? rows.Row(static_cast<int>(top + y)) + left : aside.data();
                if (DGifGetLine(gif_, line, frame.Width) != GIF_OK) return Damaged(gif_->Error);
                if (onScreen && !direct && first < last)
                    std::copy(line + (first - left), line + (last - left),
                              rows.Row(static_cast<int>(top + y)) + first);
            }
        }
        int pages = 1;
        counting_ = true;
        for (;;) {
            const int got = NextFrame();
            if (got < 0) return Damaged(gif_->Error);
            if (got == 0) break;
            ++pages;
            if (!SkipFrameData()) return Damaged(gif_->Error);
        }
        losses_.pages = pages;
        return true;
    }

private:
    bool Damaged(int error) {
        const char* what = GifErrorString(error);
        return Fail(CodecStatus::Damaged, std::string("damaged GIF file (") +
                                              (what != nullptr ? what : "unreadable") + ")");
    }

    // Reads on to the next frame's description: 1 when there is one, 0 at
    // the end of the file, -1 when the file is broken. A file that ends
    // without its final byte counts as ended.
    int NextFrame() {
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_, &type) != GIF_OK)
                return input_.Position() == input_.Length() ? 0 : -1;
            if (type == TERMINATE_RECORD_TYPE) return 0;
            if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif_) == GIF_OK ? 1 : -1;
            if (type != EXTENSION_RECORD_TYPE) return -1;
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif_, &code, &block) != GIF_OK) return -1;
            // The first frame's transparent index: kept as an index, while
            // a GIF written back has none.
            GraphicsControlBlock control{};
            if (!counting_ && code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
                DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK &&
                control.TransparentColor != NO_TRANSPARENT_COLOR)
                losses_.alpha = true;
            while (block != nullptr)
                if (DGifGetExtensionNext(gif_, &block) != GIF_OK) return -1;
        }
    }

    bool SkipFrameData() {
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(gif_, &codeSize, &block) != GIF_OK) return false;
        while (block != nullptr)
            if (DGifGetCodeNext(gif_, &block) != GIF_OK) return false;
        return true;
    }

    CCodecInput& input_;
    GifFileType* gif_ = nullptr;
    bool counting_ = false;  // past the first frame
};

}  // namespace

bool MatchesGif(const std::uint8_t* head, std::size_t size) {
    return size >= 6 &&
           (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

std::unique_ptr<CPictureReader> NewGifReader(CCodecInput& input) {
    return std::make_unique<CGifReader>(input);
}
