// PNG files through libspng, row by row from the engine's rows: grey when
// the table is the grey ramp, palette (1, 4 or 8 bits, the whole table)
// otherwise, RGB for colour. Fast compression.

#include <spng.h>

#include <memory>

#include "PictureReader.h"
#include "PictureSource.h"

namespace {

int WriteToStream(spng_ctx*, void* user, void* data, std::size_t length) {
    return static_cast<CByteStream*>(user)->Write(data, length) ? 0 : SPNG_IO_ERROR;
}

struct SFreeContext {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

}  // namespace

CodecStatus WritePng(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PNG", problem)) return CodecStatus::Unsupported;
    std::unique_ptr<spng_ctx, SFreeContext> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    auto failed = [&](int rc) {
        problem = std::string("PNG file not written (") + spng_strerror(rc) + ")";
        return CodecStatus::Damaged;
    };
    if (!ctx) return failed(SPNG_EMEM);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(source.Width());
    ihdr.height = static_cast<std::uint32_t>(source.Height());
    const int bits = source.BitCount();
    ihdr.bit_depth = static_cast<std::uint8_t>(bits == 24 ? 8 : bits);
    ihdr.color_type = bits == 24        ? SPNG_COLOR_TYPE_TRUECOLOR
                      : source.IsGrey() ? SPNG_COLOR_TYPE_GRAYSCALE
                                        : SPNG_COLOR_TYPE_INDEXED;
    int rc = spng_set_png_stream(ctx.get(), WriteToStream, &out);
    if (rc == 0) rc = spng_set_ihdr(ctx.get(), &ihdr);
    if (rc == 0 && ihdr.color_type == SPNG_COLOR_TYPE_INDEXED) {
        spng_plte plte{};
        plte.n_entries = 1u << bits;
        for (std::uint32_t i = 0; i < plte.n_entries; ++i) {
            if (static_cast<int>(i) >= source.Palette().count) continue;
            const CPaletteTable::Entry& e = source.Palette().entries[i];
            plte.entries[i] = {e.red, e.green, e.blue, 0};
        }
        rc = spng_set_plte(ctx.get(), &plte);
    }
    // The settings of quick writers: the "sub" filter alone, fastest
    // deflate level, run-length matches.
    if (rc == 0) rc = spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_SUB);
    if (rc == 0) rc = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, 1);
    if (rc == 0) rc = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_STRATEGY, 3 /* Z_RLE */);
    if (rc == 0)
        rc = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG,
                               SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    if (rc != 0) return failed(rc);
    const std::size_t rowBytes = (static_cast<std::size_t>(source.Width()) * bits + 7) / 8;
    for (int y = 0; y < source.Height(); ++y) {
        rc = spng_encode_row(ctx.get(), source.Row(y), rowBytes);
        if (rc != 0 && !(rc == SPNG_EOI && y == source.Height() - 1)) return failed(rc);
    }
    return CodecStatus::Ok;
}
