// PNG files. The header and the chunks before the image data are read by
// libspng. The image data of a non-interlaced file of 8-bit grey, 8-bit
// colour or palette indices is then inflated in one call by libdeflate into
// the filtered rows (PngImageData.h), whose filters are undone with vector
// code (PngUnfilter.h) straight into the block, unless the filtered rows
// would take more than kWholeBufferLimit. Everything else is decoded by
// libspng row by row: grey of 1 to 8 bits and colour straight into the
// block; palette indices below 8 bits, grey with alpha and 16-bit grey
// through one row of the file's own samples (16-bit grey as it is, for the
// read driver's window). An interlaced file delivers each row several
// times, a few columns a pass, into the same block row.

#include <spng.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "PictureReader.h"
#include "PngImageData.h"
#include "PngUnfilter.h"

namespace {

constexpr int kAdam7Start[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int kAdam7Step[7] = {8, 8, 4, 4, 2, 2, 1};
// Ancillary chunks (text, profiles) are not needed; their size is bounded.
constexpr std::size_t kChunkLimit = std::size_t{16} << 20;
// The largest filtered image read whole (beside the block); larger ones are
// read row by row, so that a picture never needs twice its memory.
constexpr std::size_t kWholeBufferLimit = std::size_t{256} << 20;

int ReadFromInput(spng_ctx*, void* user, void* destination, std::size_t length) {
    auto* input = static_cast<CCodecInput*>(user);
    return input->Read(destination, length) == length ? 0 : SPNG_IO_EOF;
}

class CPngReader : public CPictureReader {
public:
    explicit CPngReader(CCodecInput& input) : input_(input) {}
    ~CPngReader() override { spng_ctx_free(ctx_); }

    bool ReadHeader(SPictureHeader& header) override {
        if (!Restart()) return false;
        if (const int rc = spng_get_ihdr(ctx_, &ihdr_)) return Damaged(rc);
        header.width = ihdr_.width;
        header.height = ihdr_.height;
        switch (ihdr_.color_type) {
            case SPNG_COLOR_TYPE_GRAYSCALE:
            case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
                header.kind = PictureKind::Grey8;
                break;
            case SPNG_COLOR_TYPE_INDEXED:
                header.kind = PictureKind::Palette8;
                break;
            default:
                header.kind = PictureKind::Colour24;
        }
        kind_ = header.kind;
        if (kind_ == PictureKind::Grey8 && ihdr_.bit_depth == 16)
            header.sampleBits = 16, header.white = 65535;
        spng_trns trns{};
        losses_.alpha = ihdr_.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                        ihdr_.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ||
                        spng_get_trns(ctx_, &trns) == 0;
        // 16-bit colour is brought to 8 bits by rounding; grey by the window.
        if (ihdr_.bit_depth == 16 && kind_ == PictureKind::Colour24)
            losses_.sampleBits = 16, losses_.windowHigh = 65535;
        return true;
    }

    bool ReadPixels(const SPictureRows& rows) override {
        // Deep samples are read twice, each time from the start.
        if (started_ && (!Restart() || spng_get_ihdr(ctx_, &ihdr_) != 0))
            return Damaged(SPNG_EINTERNAL);
        started_ = true;
        if (rows.window != nullptr) {
            deep_.assign(static_cast<std::size_t>(rows.width), 0);
            return DecodeRows(SPNG_FMT_RAW, [&](std::uint8_t* raw, int y, samples::SColumns c) {
                samples::DeepGrey(raw, {.channels = Channels(), .bigEndian = true}, c,
                                  deep_.data());
                rows.Deep(y, deep_.data(), c);
            });
        }
        if (kind_ == PictureKind::Palette8) {
            spng_plte plte{};
            if (const int rc = spng_get_plte(ctx_, &plte)) return Damaged(rc);
            for (std::uint32_t i = 0; i < 256; ++i) {
                const spng_plte_entry e = i < plte.n_entries ? plte.entries[i] : spng_plte_entry{};
                rows.SetEntry(static_cast<int>(i), e.red, e.green, e.blue);
            }
            if (ReadsWhole()) return ReadWhole(rows);
            if (ihdr_.bit_depth < 8 && ihdr_.interlace_method != 0) return DecodePackedWhole(rows);
            return DecodeRows(SPNG_FMT_RAW, [&](std::uint8_t* raw, int y, samples::SColumns c) {
                samples::PaletteIndices(raw, ihdr_.bit_depth, c, rows.Row(y));
            });
        }
        if (ReadsWhole()) return ReadWhole(rows);
        if (kind_ == PictureKind::Grey8 && ihdr_.color_type == SPNG_COLOR_TYPE_GRAYSCALE)
            return DecodeInto(SPNG_FMT_G8, rows, [](std::uint8_t*, samples::SColumns) {});
        if (kind_ == PictureKind::Grey8)
            return DecodeRows(SPNG_FMT_RAW, [&](std::uint8_t* raw, int y, samples::SColumns c) {
                samples::GreyLevels(raw, 8, 2, false, c, rows.Row(y));
            });
        if (ihdr_.bit_depth == 16)  // scaled with rounding, as in TIFF and PPM files
            return DecodeRows(SPNG_FMT_RAW, [&](std::uint8_t* raw, int y, samples::SColumns c) {
                samples::ColourBgr(raw, 16, Channels(), true, c, rows.Row(y));
            });
        return DecodeInto(SPNG_FMT_RGB8, rows, [](std::uint8_t* row, samples::SColumns c) {
            samples::ColourBgr(row, 8, 3, true, c, row);
        });
    }

private:
    // Bytes a row of the file holds, without its filter type.
    std::size_t RowBytes() const {
        return (static_cast<std::size_t>(ihdr_.width) * Channels() * ihdr_.bit_depth + 7) / 8;
    }

    bool ReadsWhole() const {
        const bool eightBits =
            ihdr_.bit_depth == 8 && (ihdr_.color_type == SPNG_COLOR_TYPE_GRAYSCALE ||
                                     ihdr_.color_type == SPNG_COLOR_TYPE_TRUECOLOR);
        return ihdr_.interlace_method == 0 &&
               (eightBits || ihdr_.color_type == SPNG_COLOR_TYPE_INDEXED) &&
               (RowBytes() + 1) * ihdr_.height <= kWholeBufferLimit;
    }

    // The image data inflated whole, each row unfiltered into the block's
    // row (8-bit samples) or in place and then unpacked (indices below 8
    // bits) or turned to blue-green-red (colour).
    bool ReadWhole(const SPictureRows& rows) {
        const std::size_t rowBytes = RowBytes();
        const std::string problem =
            InflatePngImageData(input_, (rowBytes + 1) * ihdr_.height, filtered_);
        if (!problem.empty())
            return Fail(CodecStatus::Damaged, "damaged PNG file (" + problem + ")");
        const int bpp = std::max(1, Channels() * ihdr_.bit_depth / 8);
        const bool direct = ihdr_.bit_depth == 8 && ihdr_.color_type != SPNG_COLOR_TYPE_TRUECOLOR;
        const std::vector<std::uint8_t> zeros(rowBytes, 0);
        const std::uint8_t* prior = zeros.data();
        for (int y = 0; y < rows.height; ++y) {
            std::uint8_t* filtered = filtered_.data() + y * (rowBytes + 1);
            std::uint8_t* out = direct ? rows.Row(y) : filtered + 1;
            if (!pngfilter::Unfilter(filtered[0], bpp, filtered + 1, prior, out, rowBytes))
                return Fail(CodecStatus::Damaged, "damaged PNG file (invalid filter type)");
            prior = out;
            const samples::SColumns columns{0, 1, rows.width};
            if (ihdr_.color_type == SPNG_COLOR_TYPE_TRUECOLOR)
                samples::ColourBgr(out, 8, 3, true, columns, rows.Row(y));
            else if (!direct)
                samples::PaletteIndices(out, ihdr_.bit_depth, columns, rows.Row(y));
        }
        return true;
    }

    int Channels() const {
        switch (ihdr_.color_type) {
            case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
                return 2;
            case SPNG_COLOR_TYPE_TRUECOLOR:
                return 3;
            case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA:
                return 4;
            default:
                return 1;
        }
    }

    bool Damaged(int rc) {
        return Fail(CodecStatus::Damaged,
                    std::string("damaged PNG file (") + spng_strerror(rc) + ")");
    }

    // A fresh decoder at the start of the file.
    bool Restart() {
        spng_ctx_free(ctx_);
        ctx_ = spng_ctx_new(0);
        if (ctx_ == nullptr || !input_.Seek(0)) return Damaged(SPNG_EMEM);
        spng_set_image_limits(ctx_, 0x7FFFFFFF, 0x7FFFFFFF);
        spng_set_chunk_limits(ctx_, kChunkLimit, kChunkLimit);
        if (const int rc = spng_set_png_stream(ctx_, ReadFromInput, &input_)) return Damaged(rc);
        return true;
    }

    // Decodes every row (every pass of it) in `format`, calling `use` with
    // the row's samples, its displayed number and the columns it holds.
    template <typename Use>
    bool Decode(int format, std::size_t rowBytes, Use use, std::uint8_t* (*target)(void*, int),
                void* context) {
        if (const int rc = spng_decode_image(ctx_, nullptr, 0, format, SPNG_DECODE_PROGRESSIVE))
            return Damaged(rc);
        for (;;) {
            spng_row_info info{};
            int rc = spng_get_row_info(ctx_, &info);
            if (rc == SPNG_EOI) return CheckEnd();
            if (rc != 0) return Damaged(rc);
            std::uint8_t* row = target(context, static_cast<int>(info.row_num));
            rc = spng_decode_row(ctx_, row, rowBytes);
            if (rc != 0 && rc != SPNG_EOI) return Damaged(rc);
            const bool interlaced = ihdr_.interlace_method != 0;
            const samples::SColumns columns{interlaced ? kAdam7Start[info.pass] : 0,
                                            interlaced ? kAdam7Step[info.pass] : 1,
                                            static_cast<int>(ihdr_.width)};
            use(row, static_cast<int>(info.row_num), columns);
            if (rc == SPNG_EOI) return CheckEnd();
        }
    }

    // libspng checks each chunk's checksum when it reads the next chunk's
    // header: the last image-data chunk is checked only by reading on, to
    // the end chunk. Ancillary chunks whose checksum fails are dropped (the
    // library's default): none of them changes a level Orvex reads.
    bool CheckEnd() {
        const int rc = spng_decode_chunks(ctx_);
        if (rc == SPNG_IO_EOF)
            return Fail(CodecStatus::Damaged, "damaged PNG file (it ends before its end chunk)");
        return rc == 0 || Damaged(rc);
    }

    // libspng gives nothing row by row for interlaced indices below 8 bits:
    // those files are decoded whole, packed (half the picture's size at
    // most), then unpacked.
    bool DecodePackedWhole(const SPictureRows& rows) {
        std::size_t size = 0;
        if (const int rc = spng_decoded_image_size(ctx_, SPNG_FMT_RAW, &size)) return Damaged(rc);
        try {
            raw_.assign(size, 0);
        } catch (const std::bad_alloc&) {
            return Fail(CodecStatus::Unsupported, "not enough memory for the picture");
        }
        if (const int rc = spng_decode_image(ctx_, raw_.data(), size, SPNG_FMT_RAW, 0))
            return Damaged(rc);
        if (!CheckEnd()) return false;
        const std::size_t rowBytes = size / ihdr_.height;
        for (int y = 0; y < rows.height; ++y)
            samples::PaletteIndices(raw_.data() + y * rowBytes, ihdr_.bit_depth, {0, 1, rows.width},
                                    rows.Row(y));
        return true;
    }

    // Through one row of the file's samples.
    template <typename Use>
    bool DecodeRows(int format, Use use) {
        std::size_t rowBytes = 0;
        if (const int rc = spng_decoded_image_size(ctx_, format, &rowBytes)) return Damaged(rc);
        rowBytes /= ihdr_.height;
        raw_.assign(rowBytes, 0);
        return Decode(
            format, rowBytes, use,
            [](void* self, int) { return static_cast<CPngReader*>(self)->raw_.data(); }, this);
    }

    // Straight into the block's rows, then `finish` on the columns written.
    template <typename Finish>
    bool DecodeInto(int format, const SPictureRows& rows, Finish finish) {
        const std::size_t rowBytes =
            static_cast<std::size_t>(rows.width) * (format == SPNG_FMT_RGB8 ? 3 : 1);
        return Decode(
            format, rowBytes, [&](std::uint8_t* row, int, samples::SColumns c) { finish(row, c); },
            [](void* r, int y) { return static_cast<const SPictureRows*>(r)->Row(y); },
            const_cast<SPictureRows*>(&rows));
    }

    CCodecInput& input_;
    spng_ctx* ctx_ = nullptr;
    spng_ihdr ihdr_{};
    PictureKind kind_ = PictureKind::Grey8;
    std::vector<std::uint8_t> raw_;
    largememory::CBytes filtered_;  // the whole image data, inflated
    std::vector<std::uint16_t> deep_;
    bool started_ = false;
};

}  // namespace

bool MatchesPng(const std::uint8_t* head, std::size_t size) {
    return size >= 8 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0;
}

std::unique_ptr<CPictureReader> NewPngReader(CCodecInput& input) {
    return std::make_unique<CPngReader>(input);
}
