// GIF files through giflib: 1-, 4- and 8-bit pictures, their indices and
// their whole table as they are, not interlaced; a stack as one frame a
// page, each with its delay. A colour picture
// is refused: a GIF holds 256 colours at most, and Orvex does not choose them.

#include <gif_lib.h>

#include <cstring>
#include <span>
#include <vector>

#include "PictureReader.h"
#include "PictureSource.h"
#include "SampleRows.h"

namespace {

constexpr int kMaxGifSide = 65535;

int WriteToStream(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<CByteStream*>(gif->UserData);
    return length >= 0 && out->Write(data, static_cast<std::size_t>(length)) ? length : 0;
}

}  // namespace

// The desktop says only that it could not.
SFormatRefusal GifRefuses(const CImage& image) {
    if (image.GetBitCount() <= 8) return {};
    return {"GIF files hold 256 colours at most, and this is a colour picture", ""};
}

namespace {

// The table of `source` as giflib's colour map of 2^bits entries.
ColorMapObject* MakeMap(const CPictureSource& source, int bits) {
    const int entries = 1 << bits;
    ColorMapObject* map = GifMakeMapObject(entries, nullptr);
    for (int i = 0; map != nullptr && i < entries; ++i) {
        GifColorType c{0, 0, 0};
        if (i < source.Palette().count) {
            const CPaletteTable::Entry& e = source.Palette().entries[static_cast<std::size_t>(i)];
            c = {e.red, e.green, e.blue};
        }
        map->Colors[i] = c;
    }
    return map;
}

bool SameMap(const ColorMapObject* a, const ColorMapObject* b) {
    return a->ColorCount == b->ColorCount &&
           std::memcmp(a->Colors, b->Colors, sizeof(GifColorType) * a->ColorCount) == 0;
}

// Every page as a frame of its own: the first page's table is the file's,
// a page with another table carries its own. Frames of several pages say
// their delay and that each covers the whole picture.
CodecStatus WriteFrames(std::span<CImage* const> images, std::span<const int> delays,
                        CByteStream& out, std::string& problem) {
    std::vector<CPictureSource> sources(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (!sources[i].Open(*images[i], "GIF", problem)) return CodecStatus::Unsupported;
        if (SFormatRefusal refusal = GifRefuses(*images[i]); refusal.Refused()) {
            problem = std::move(refusal.english);
            return CodecStatus::Unsupported;
        }
    }
    CPictureSource& first = sources.front();
    if (first.Width() > kMaxGifSide || first.Height() > kMaxGifSide) {
        problem = "GIF files hold pictures of at most 65535 x 65535";
        return CodecStatus::Unsupported;
    }
    const int bits = first.BitCount();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToStream, &error);
    auto failed = [&](int code) {
        const char* what = GifErrorString(code);
        problem = std::string("GIF file not written (") + (what != nullptr ? what : "") + ")";
        return CodecStatus::Damaged;
    };
    if (gif == nullptr) return failed(error);
    const bool stack = images.size() > 1;
    ColorMapObject* screenMap = MakeMap(first, bits);
    bool ok = screenMap != nullptr;
    if (stack) EGifSetGifVersion(gif, true);
    ok = ok && EGifPutScreenDesc(gif, first.Width(), first.Height(), bits, 0, screenMap) == GIF_OK;
    // giflib masks the row it is given in place: it gets a copy, one index a byte.
    std::vector<GifPixelType> row(static_cast<std::size_t>(first.Width()));
    for (std::size_t page = 0; ok && page < sources.size(); ++page) {
        CPictureSource& source = sources[page];
        if (stack) {
            const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delays[page],
                                               NO_TRANSPARENT_COLOR};
            GifByteType extension[4];
            const std::size_t length = EGifGCBToExtension(&control, extension);
            ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                                  extension) == GIF_OK;
        }
        ColorMapObject* own = MakeMap(source, bits);
        ok = ok && own != nullptr;
        const bool sameTable = ok && SameMap(own, screenMap);
        // giflib forgets, without freeing it, the copy of a previous frame's
        // own table when the next frame has none.
        if (sameTable && gif->Image.ColorMap != nullptr) {
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        ok = ok && EGifPutImageDesc(gif, 0, 0, source.Width(), source.Height(), false,
                                    sameTable ? nullptr : own) == GIF_OK;
        GifFreeMapObject(own);
        for (int y = 0; ok && y < source.Height(); ++y) {
            const std::uint8_t* packed = source.Row(y);
            for (int x = 0; x < source.Width(); ++x)
                row[static_cast<std::size_t>(x)] =
                    static_cast<GifPixelType>(samples::PackedAt(packed, bits, x));
            ok = EGifPutLine(gif, row.data(), source.Width()) == GIF_OK;
        }
    }
    const int code = ok ? 0 : gif->Error;
    GifFreeMapObject(screenMap);
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) return failed(closeError);
    return ok ? CodecStatus::Ok : failed(code);
}

}  // namespace

CodecStatus WriteGif(CImage& image, CByteStream& out, std::string& problem) {
    CImage* const images[] = {&image};
    const int delays[] = {0};
    return WriteFrames(images, delays, out, problem);
}

CodecStatus WriteGifPages(std::span<const SPicturePage> pages, CByteStream& out,
                          std::string& problem) {
    std::vector<CImage*> images;
    std::vector<int> delays;
    for (const SPicturePage& page : pages) {
        images.push_back(page.image.get());
        delays.push_back(page.delay);
    }
    return WriteFrames(images, delays, out, problem);
}
