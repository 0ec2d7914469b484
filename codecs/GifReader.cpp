// GIF files through giflib: any frame as the picture shown at that frame,
// with that frame's table (its own, else the file's), as 8-bit indices.
// Frames are drawn in turn on one canvas of the first frame's size, which
// pixels no frame covered show as the background index; each frame leaves
// it as its disposal method says (kept, cleared to the background, or put
// back as it was before the frame). A later frame's transparent index lets
// the canvas show through; the first frame's is just an index, as a
// one-frame GIF is read. Interlaced frames deliver their rows in four
// passes, each put in its place; parts of a frame outside the canvas are
// left out. Frames after those wanted are counted, not decoded.

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
        const GifImageDesc& frame = gif_->Image;
        header.width = std::max<std::int64_t>(gif_->SWidth, std::int64_t{frame.Left} + frame.Width);
        header.height =
            std::max<std::int64_t>(gif_->SHeight, std::int64_t{frame.Top} + frame.Height);
        header.kind = PictureKind::Palette8;
        header_ = header;
        return true;
    }

    bool ReadPixels(const SPictureRows& rows) override {
        if (frame_ == 0) {
            // The first frame goes straight into the block's rows, at its place.
            const auto background = static_cast<std::uint8_t>(gif_->SBackGroundColor);
            if (background != 0)
                for (int y = 0; y < rows.height; ++y)
                    std::fill_n(rows.Row(y), rows.width, background);
            if (!DrawFrame([&](int y) { return rows.Row(y); }, rows.width, rows.height))
                return false;
            // Later frames, when wanted, are drawn over a canvas that starts
            // as this picture.
            if (wanted_.last != 1) {
                canvas_.resize(static_cast<std::size_t>(rows.width) * rows.height);
                for (int y = 0; y < rows.height; ++y)
                    std::copy_n(rows.Row(y), rows.width, CanvasRow(y));
            }
        } else {
            if (!DrawOnCanvas()) return false;
            for (int y = 0; y < rows.height; ++y)
                std::copy_n(CanvasRow(y), rows.width, rows.Row(y));
        }
        decoded_ = true;
        SetTable(rows);
        delay_ = control_.DelayTime;
        return true;
    }

    bool GoToPage(int index, SPictureHeader& header) override {
        while (frame_ < index) {
            // A frame passed over is drawn all the same: later ones build on it.
            if (!decoded_ && !(frame_ == 0 ? DrawFirstOnCanvas() : DrawOnCanvas())) return false;
            if (canvas_.empty()) StartCanvas();
            Dispose();
            const int got = NextFrame();
            if (got < 0) return Damaged(gif_->Error);
            if (got == 0) return ended_ = true, false;
            ++frame_;
            decoded_ = false;
        }
        header = header_;
        return true;
    }

    bool CountPages() override {
        int pages = frame_ + 1;
        if (ended_) {
            losses_.pages = pages;
            return true;
        }
        if (!decoded_ && !SkipFrameData()) return Damaged(gif_->Error);
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

    int Width() const { return static_cast<int>(header_.width); }
    int Height() const { return static_cast<int>(header_.height); }
    std::uint8_t* CanvasRow(int y) {
        return canvas_.data() + static_cast<std::size_t>(y) * Width();
    }

    void StartCanvas() {
        canvas_.assign(static_cast<std::size_t>(Width()) * Height(),
                       static_cast<std::uint8_t>(gif_->SBackGroundColor));
    }

    bool DrawFirstOnCanvas() {
        StartCanvas();
        return DrawFrame([&](int y) { return CanvasRow(y); }, Width(), Height());
    }

    bool DrawOnCanvas() {
        // What "restore to previous" puts back is kept before the frame is drawn.
        if (control_.DisposalMode == DISPOSE_PREVIOUS) saved_ = canvas_;
        return DrawFrame([&](int y) { return CanvasRow(y); }, Width(), Height());
    }

    // The current frame's rows onto `row(y)` (displayed row y of a picture
    // of `width` x `height`), clipped to it.
    template <typename Row>
    bool DrawFrame(Row row, int width, int height) {
        const GifImageDesc& frame = gif_->Image;
        line_.resize(static_cast<std::size_t>(std::max(frame.Width, 1)));
        const int transparent = frame_ > 0 ? control_.TransparentColor : NO_TRANSPARENT_COLOR;
        const int left = std::clamp(frame.Left, 0, width);
        const int right = std::clamp(frame.Left + frame.Width, left, width);
        const int passes = frame.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = frame.Interlace ? kInterlaceStart[pass] : 0;
            const int step = frame.Interlace ? kInterlaceStep[pass] : 1;
            for (int y = start; y < frame.Height; y += step) {
                if (DGifGetLine(gif_, line_.data(), frame.Width) != GIF_OK)
                    return Damaged(gif_->Error);
                const int at = frame.Top + y;
                if (at < 0 || at >= height) continue;
                std::uint8_t* out = row(at);
                for (int x = left; x < right; ++x) {
                    const GifPixelType index = line_[static_cast<std::size_t>(x - frame.Left)];
                    if (index != transparent) out[x] = index;
                }
            }
        }
        decoded_ = true;
        return true;
    }

    // The canvas as the frame just shown leaves it for the next one.
    void Dispose() {
        const GifImageDesc& frame = gif_->Image;
        const int left = std::clamp(frame.Left, 0, Width());
        const int right = std::clamp(frame.Left + frame.Width, left, Width());
        const int top = std::clamp(frame.Top, 0, Height());
        const int bottom = std::clamp(frame.Top + frame.Height, top, Height());
        if (control_.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = top; y < bottom; ++y)
                std::fill(CanvasRow(y) + left, CanvasRow(y) + right,
                          static_cast<std::uint8_t>(gif_->SBackGroundColor));
        } else if (control_.DisposalMode == DISPOSE_PREVIOUS && saved_.empty()) {
            // Before the first frame there was only the background.
            for (int y = top; y < bottom; ++y)
                std::fill(CanvasRow(y) + left, CanvasRow(y) + right,
                          static_cast<std::uint8_t>(gif_->SBackGroundColor));
        } else if (control_.DisposalMode == DISPOSE_PREVIOUS) {
            for (int y = top; y < bottom; ++y)
                std::copy(saved_.begin() + static_cast<std::ptrdiff_t>(y) * Width() + left,
                          saved_.begin() + static_cast<std::ptrdiff_t>(y) * Width() + right,
                          CanvasRow(y) + left);
        }
        saved_.clear();
    }

    void SetTable(const SPictureRows& rows) const {
        const GifImageDesc& frame = gif_->Image;
        const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif_->SColorMap;
        if (map == nullptr) return;
        for (int i = 0; i < 256; ++i) {
            const GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
            rows.SetEntry(i, c.Red, c.Green, c.Blue);
        }
    }

    // Reads on to the next frame's description: 1 when there is one, 0 at
    // the end of the file, -1 when the file is broken. A file that ends
    // without its final byte counts as ended. The graphic control block
    // before the frame says its delay, disposal and transparent index.
    int NextFrame() {
        control_ = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
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
            GraphicsControlBlock control{};
            if (!counting_ && code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
                DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
                control_ = control;
                // A transparent index is kept as an index, while a GIF
                // written back has none.
                if (control.TransparentColor != NO_TRANSPARENT_COLOR) losses_.alpha = true;
            }
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
    SPictureHeader header_;
    GraphicsControlBlock control_{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    int frame_ = 0;          // the frame described last, from 0
    bool decoded_ = false;   // whether its pixels have been read
    bool counting_ = false;  // past the frames wanted
    bool ended_ = false;     // the end of the file was reached
    std::vector<std::uint8_t> canvas_, saved_;
    std::vector<GifPixelType> line_;
};

}  // namespace

bool MatchesGif(const std::uint8_t* head, std::size_t size) {
    return size >= 6 &&
           (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

std::unique_ptr<CPictureReader> NewGifReader(CCodecInput& input) {
    return std::make_unique<CGifReader>(input);
}
