// GIF files through giflib: 1-, 4- and 8-bit pictures, their indices and
// their whole table as they are. One frame, not interlaced. A colour picture
// is refused: a GIF holds 256 colours at most, and Orvex does not choose them.

#include <gif_lib.h>

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

CodecStatus WriteGif(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "GIF", problem)) return CodecStatus::Unsupported;
    const int bits = source.BitCount();
    if (SFormatRefusal refusal = GifRefuses(image); refusal.Refused()) {
        problem = std::move(refusal.english);
        return CodecStatus::Unsupported;
    }
    if (source.Width() > kMaxGifSide || source.Height() > kMaxGifSide) {
        problem = "GIF files hold pictures of at most 65535 x 65535";
        return CodecStatus::Unsupported;
    }
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToStream, &error);
    auto failed = [&](int code) {
        const char* what = GifErrorString(code);
        problem = std::string("GIF file not written (") + (what != nullptr ? what : "") + ")";
        return CodecStatus::Damaged;
    };
    if (gif == nullptr) return failed(error);
    const int entries = 1 << bits;
    ColorMapObject* map = GifMakeMapObject(entries, nullptr);
    bool ok = map != nullptr;
    for (int i = 0; ok && i < entries; ++i) {
        GifColorType c{0, 0, 0};
        if (i < source.Palette().count) {
            const CPaletteTable::Entry& e = source.Palette().entries[static_cast<std::size_t>(i)];
            c = {e.red, e.green, e.blue};
        }
        map->Colors[i] = c;
    }
    ok = ok && EGifPutScreenDesc(gif, source.Width(), source.Height(), bits, 0, map) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, source.Width(), source.Height(), false, nullptr) == GIF_OK;
    // giflib masks the row it is given in place: it gets a copy, one index a byte.
    std::vector<GifPixelType> row(static_cast<std::size_t>(source.Width()));
    for (int y = 0; ok && y < source.Height(); ++y) {
        const std::uint8_t* packed = source.Row(y);
        for (int x = 0; x < source.Width(); ++x)
            row[static_cast<std::size_t>(x)] =
                static_cast<GifPixelType>(samples::PackedAt(packed, bits, x));
        ok = EGifPutLine(gif, row.data(), source.Width()) == GIF_OK;
    }
    const int code = ok ? 0 : gif->Error;
    GifFreeMapObject(map);
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) return failed(closeError);
    return ok ? CodecStatus::Ok : failed(code);
}
