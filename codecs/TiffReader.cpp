// TIFF and BigTIFF files through libtiff: any page (directory), row by row
// into the engine's rows. Stripped files are read a scanline at a time (8-bit grey,
// palette and RGB straight into the block), except LZW strips of 8-bit
// samples, which our own decoder does on all cores; tiled files a row of
// tiles at a time; YCbCr through the library's conversion to RGB. Byte
// order, fill order and the other compressions are the library's business.
// Grey samples deeper than 8 bits, signed or floating-point go to the read
// driver's window.

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <vector>

#include "PictureReader.h"
#include "TiffClient.h"
#include "TiffLzwStrips.h"

namespace {

constexpr bool kNativeBigEndian = std::endian::native == std::endian::big;
// Tiles larger than this must at least fit the picture twice over, and
// none may exceed the largest.
constexpr std::uint64_t kTileBytesWithoutPicture = std::uint64_t{16} << 20;
constexpr std::uint64_t kMaxTileBytes = std::uint64_t{256} << 20;
constexpr int kMaxSamples = 8;
// The largest strip our own LZW decoder takes, decoded.
constexpr std::uint64_t kOwnLzwStripBytes = std::uint64_t{32} << 20;

class CTiffReader : public CPictureReader {
public:
    explicit CTiffReader(CCodecInput& input) : input_(input) {}

    bool ReadHeader(SPictureHeader& header) override {
        tiff_ = client_.OpenRead(input_);
        if (tiff_ == nullptr) return Damaged();
        losses_.pages = static_cast<int>(TIFFNumberOfDirectories(tiff_));
        return ReadDirectory(header);
    }

    bool GoToPage(int index, SPictureHeader& header) override {
        if (index >= losses_.pages) return false;
        client_.StopWatching();
        // The next directory is read from where the library is; setting one
        // walks the chain from the first.
        const bool next = static_cast<int>(TIFFCurrentDirectory(tiff_)) + 1 == index;
        if (!(next ? TIFFReadDirectory(tiff_)
                   : TIFFSetDirectory(tiff_, static_cast<tdir_t>(index))))
            return Damaged();
        bits_ = 1, channels_ = 1, compression_ = COMPRESSION_NONE;
        converted_ = false;
        return ReadDirectory(header);
    }

    // Whatever the library reported while decoding makes the file damaged,
    // although its calls succeeded.
    bool ReadPixels(const SPictureRows& rows) override {
        client_.WatchDecoding();
        return DecodePixels(rows) && (client_.Error().empty() || Damaged());
    }

private:
    // The current directory's size and kind.
    bool ReadDirectory(SPictureHeader& header) {
        std::uint32_t width = 0, height = 0;
        std::uint16_t photometric = 0, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
        if (!TIFFGetField(tiff_, TIFFTAG_IMAGEWIDTH, &width) ||
            !TIFFGetField(tiff_, TIFFTAG_IMAGELENGTH, &height))
            return Damaged();
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_BITSPERSAMPLE, &bits_);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_SAMPLESPERPIXEL, &channels_);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_SAMPLEFORMAT, &format);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_COMPRESSION, &compression_);
        if (!TIFFGetField(tiff_, TIFFTAG_PHOTOMETRIC, &photometric))
            photometric = channels_ >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
        if (photometric == PHOTOMETRIC_YCBCR && compression_ == COMPRESSION_JPEG &&
            TIFFSetField(tiff_, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
            photometric = PHOTOMETRIC_RGB;
        minIsWhite_ = photometric == PHOTOMETRIC_MINISWHITE;
        sampleKind_ = format == SAMPLEFORMAT_INT      ? SampleKind::Signed
                      : format == SAMPLEFORMAT_IEEEFP ? SampleKind::Float
                                                      : SampleKind::Unsigned;

        // Kinds of file Orvex does not open, each named.
        if (compression_ == COMPRESSION_OJPEG) return Unsupported("old-style JPEG compression");
        if (!TIFFIsCODECConfigured(compression_))
            return Unsupported("compression " + std::to_string(compression_));
        if (photometric == PHOTOMETRIC_SEPARATED) return Unsupported("CMYK colours");
        if (photometric == PHOTOMETRIC_CIELAB || photometric == PHOTOMETRIC_ICCLAB ||
            photometric == PHOTOMETRIC_ITULAB)
            return Unsupported("Lab colours");
        if (planar != PLANARCONFIG_CONTIG && channels_ > 1)
            return Unsupported("samples stored in separate planes");
        if (bits_ > 32) return Unsupported(std::to_string(bits_) + "-bit samples");
        if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID &&
            format != SAMPLEFORMAT_INT && format != SAMPLEFORMAT_IEEEFP)
            return Unsupported("complex samples");
        // Grey or colour and a few extra samples (alpha, masks) a pixel.
        if (channels_ > kMaxSamples)
            return Unsupported(std::to_string(channels_) + " samples a pixel");
        if (!ChooseKind(photometric)) return false;
        header.width = width;
        header.height = height;
        header.kind = kind_;
        if (kind_ == PictureKind::Grey8 && (bits_ > 8 || sampleKind_ != SampleKind::Unsigned)) {
            header.sampleBits = bits_;
            header.sampleKind = sampleKind_;
            header.white = (std::uint64_t{1} << bits_) - 1;
            header.invertedSamples = minIsWhite_;
        }
        // Grey and one more sample is grey and alpha; grey and more than one
        // is samples of other kinds, of which only the first is read.
        if (kind_ == PictureKind::Grey8 && channels_ > 2)
            losses_.samples = channels_;
        else
            losses_.alpha = losses_.alpha || channels_ > (kind_ == PictureKind::Colour24 ? 3 : 1);
        // Deep colour is brought to 8 bits by rounding; grey by the window.
        if (kind_ == PictureKind::Colour24 && bits_ == 16)
            losses_.sampleBits = 16, losses_.windowHigh = 65535;
        return true;
    }

    bool DecodePixels(const SPictureRows& rows) {
        const samples::SColumns all{0, 1, rows.width};
        if (converted_) return ConvertedRows(rows);
        if (kind_ == PictureKind::Palette8 && !ReadTable(rows)) return false;
        if (rows.window != nullptr) {
            const samples::SDeepLayout layout{bits_, sampleKind_, channels_, kNativeBigEndian,
                                              minIsWhite_};
            // libtiff hands 16- and 32-bit samples in the machine's order.
            if (bits_ == 32) {
                numbers_.assign(static_cast<std::size_t>(rows.width), 0);
                return ForEachRow(rows, false, [&](int y, std::uint8_t* raw) {
                    samples::DeepGrey(raw, layout, all, numbers_.data());
                    rows.Deep(y, numbers_.data(), all);
                });
            }
            deep_.assign(static_cast<std::size_t>(rows.width), 0);
            return ForEachRow(rows, false, [&](int y, std::uint8_t* raw) {
                samples::DeepGrey(raw, layout, all, deep_.data());
                rows.Deep(y, deep_.data(), all);
            });
        }
        // 8-bit samples that fill no more than a block row are read into it.
        const bool direct =
            bits_ == 8 && (channels_ == 1 || (kind_ == PictureKind::Colour24 && channels_ == 3));
        return ForEachRow(rows, direct, [&](int y, std::uint8_t* raw) {
            std::uint8_t* out = rows.Row(y);
            const bool ready = raw == out && kind_ != PictureKind::Colour24 && !minIsWhite_;
            if (ready) return;
            if (kind_ == PictureKind::Palette8)
                samples::PaletteIndices(raw, bits_, all, out, channels_);
            else if (kind_ == PictureKind::Grey8)
                samples::GreyLevels(raw, bits_, channels_, minIsWhite_, all, out);
            else
                samples::ColourBgr(raw, bits_, channels_, kNativeBigEndian, all, out);
        });
    }

    // What the picture opens as, from the photometric interpretation and the
    // samples; false, with the reason, for what Orvex does not open.
    bool ChooseKind(std::uint16_t photometric) {
        const bool unsignedSamples = sampleKind_ == SampleKind::Unsigned;
        const bool indexBits = bits_ == 1 || bits_ == 2 || bits_ == 4 || bits_ == 8;
        const bool greyBits = sampleKind_ == SampleKind::Float ? bits_ == 32
                              : sampleKind_ == SampleKind::Signed
                                  ? (bits_ >= 2 && bits_ <= 16) || bits_ == 32
                                  : (bits_ >= 1 && bits_ <= 16) || bits_ == 32;
        if ((photometric == PHOTOMETRIC_MINISBLACK || minIsWhite_) && greyBits) {
            kind_ = PictureKind::Grey8;
        } else if (photometric == PHOTOMETRIC_PALETTE && indexBits && unsignedSamples) {
            kind_ = PictureKind::Palette8;
        } else if (photometric == PHOTOMETRIC_RGB && channels_ >= 3 && unsignedSamples &&
                   (bits_ == 8 || bits_ == 16)) {
            kind_ = PictureKind::Colour24;
        } else if (photometric == PHOTOMETRIC_YCBCR && unsignedSamples) {
            // Whatever the compression and subsampling, through the
            // library's own conversion to RGB.
            char why[1024] = "";
            if (!TIFFRGBAImageOK(tiff_, why)) return Unsupported(std::string("YCbCr: ") + why);
            kind_ = PictureKind::Colour24;
            converted_ = true;
        } else {
            const char* kind = sampleKind_ == SampleKind::Signed  ? " signed"
                               : sampleKind_ == SampleKind::Float ? " floating-point"
                                                                  : "";
            return Unsupported("photometric interpretation " + std::to_string(photometric) + ", " +
                               std::to_string(channels_) + " x " + std::to_string(bits_) + "-bit" +
                               kind + " samples");
        }
        return true;
    }

    bool Damaged() {
        return Fail(CodecStatus::Damaged,
                    "damaged TIFF file (" +
                        (client_.Error().empty() ? std::string("unreadable") : client_.Error()) +
                        ")");
    }
    bool Unsupported(const std::string& what) {
        return Fail(CodecStatus::Unsupported, "unsupported TIFF file (" + what + ")");
    }

    // The colour map's 16-bit entries (or 8-bit ones, from some writers) as
    // the table, padded with black.
    bool ReadTable(const SPictureRows& rows) {
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tiff_, TIFFTAG_COLORMAP, &red, &green, &blue)) return Damaged();
        const int entries = 1 << bits_;
        bool eightBit = true;
        for (int i = 0; i < entries; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < 256; ++i) {
            if (i < entries)
                rows.SetEntry(i, static_cast<std::uint8_t>(red[i] >> shift),
                              static_cast<std::uint8_t>(green[i] >> shift),
                              static_cast<std::uint8_t>(blue[i] >> shift));
            else
                rows.SetEntry(i, 0, 0, 0);
        }
        return true;
    }

    // Pictures the library turns into RGB (YCbCr), a band of rows at a time:
    // a strip's rows, or a row of tiles.
    bool ConvertedRows(const SPictureRows& rows) {
        std::uint32_t band = 0;
        if (TIFFIsTiled(tiff_))
            TIFFGetField(tiff_, TIFFTAG_TILELENGTH, &band);
        else
            TIFFGetFieldDefaulted(tiff_, TIFFTAG_ROWSPERSTRIP, &band);
        // A band's pixels take no more than the largest tile; a band that
        // cuts strips starts at a multiple of every vertical subsampling.
        const std::uint64_t mostRows = kMaxTileBytes / (4 * static_cast<std::uint64_t>(rows.width));
        if (band > mostRows)
            band = static_cast<std::uint32_t>(std::max<std::uint64_t>(16, mostRows / 16 * 16));
        band = std::clamp<std::uint32_t>(band, 1, static_cast<std::uint32_t>(rows.height));
        char why[1024] = "";
        TIFFRGBAImage picture{};
        if (!TIFFRGBAImageBegin(&picture, tiff_, 0, why))
            return Fail(CodecStatus::Damaged, std::string("damaged TIFF file (") + why + ")");
        picture.req_orientation = ORIENTATION_TOPLEFT;
        std::vector<std::uint32_t> raster(static_cast<std::size_t>(rows.width) * band);
        bool ok = true;
        for (std::uint32_t top = 0; ok && top < static_cast<std::uint32_t>(rows.height);
             top += band) {
            const std::uint32_t count =
                std::min<std::uint32_t>(band, static_cast<std::uint32_t>(rows.height) - top);
            picture.row_offset = static_cast<int>(top);
            picture.col_offset = 0;
            ok = TIFFRGBAImageGet(&picture, raster.data(), static_cast<std::uint32_t>(rows.width),
                                  count) != 0;
            for (std::uint32_t r = 0; ok && r < count; ++r) {
                const std::uint32_t* in = raster.data() + static_cast<std::size_t>(r) * rows.width;
                std::uint8_t* out = rows.Row(static_cast<int>(top + r));
                for (int x = 0; x < rows.width; ++x) {
                    out[3 * x] = static_cast<std::uint8_t>(TIFFGetB(in[x]));
                    out[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(in[x]));
                    out[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(in[x]));
                }
            }
        }
        TIFFRGBAImageEnd(&picture);
        return ok || Damaged();
    }

    // Calls `use` with every row of samples, top row first; with `direct`,
    // scanlines are read into the block's own rows.
    bool ForEachRow(const SPictureRows& rows, bool direct,
                    const std::function<void(int, std::uint8_t*)>& use) {
        const std::uint64_t scanline = static_cast<std::uint64_t>(TIFFScanlineSize64(tiff_));
        if (scanline == 0) return Damaged();
        if (TIFFIsTiled(tiff_)) return ForEachTiledRow(rows, scanline, use);
        if (direct && IsPlainBytes()) return ReadPlainRows(rows, scanline, use);
        if (direct && DecodeOwnLzw(rows, scanline, use)) return true;
        if (!direct) buffer_.assign(scanline, 0);
        for (int y = 0; y < rows.height; ++y) {
            std::uint8_t* raw = direct ? rows.Row(y) : buffer_.data();
            if (TIFFReadScanline(tiff_, raw, static_cast<std::uint32_t>(y), 0) < 0)
                return Damaged();
            use(y, raw);
        }
        return true;
    }

    // LZW strips of whole bytes, in their natural bit order, with or without
    // horizontal prediction: decoded on all cores by our own decoder. False
    // when the page is of another kind or a strip is refused, before the
    // library has decoded anything.
    bool DecodeOwnLzw(const SPictureRows& rows, std::uint64_t scanline,
                      const std::function<void(int, std::uint8_t*)>& use) {
        // Only the prediction codecs know the predictor tag: asking another
        // one is an error of the library's.
        if (compression_ != COMPRESSION_LZW || bits_ != 8) return false;
        std::uint16_t fillOrder = FILLORDER_MSB2LSB, predictor = PREDICTOR_NONE;
        std::uint32_t rowsPerStrip = 0;
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_FILLORDER, &fillOrder);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_PREDICTOR, &predictor);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        // Each worker decodes a whole strip before its rows go into the
        // block: larger strips are left to the library, which decodes them
        // a row at a time, so that the picture does not need twice its
        // memory.
        if (fillOrder != FILLORDER_MSB2LSB ||
            (predictor != PREDICTOR_NONE && predictor != PREDICTOR_HORIZONTAL) ||
            rowsPerStrip == 0 ||
            std::min<std::uint64_t>(rowsPerStrip, rows.height) * scanline > kOwnLzwStripBytes)
            return false;
        STiffLzwPage page;
        page.height = rows.height;
        page.rowsPerStrip = std::min<std::uint32_t>(rowsPerStrip, rows.height);
        page.scanline = static_cast<std::size_t>(scanline);
        page.predictedFrom = predictor == PREDICTOR_HORIZONTAL ? channels_ : 0;
        const std::uint32_t strips =
            (static_cast<std::uint32_t>(rows.height) - 1) / page.rowsPerStrip + 1;
        if (TIFFNumberOfStrips(tiff_) < strips) return false;
        page.strips.resize(strips);
        for (std::uint32_t s = 0; s < strips; ++s) {
            int error = 0;
            page.strips[s].offset = TIFFGetStrileOffsetWithErr(tiff_, s, &error);
            page.strips[s].bytes = TIFFGetStrileByteCountWithErr(tiff_, s, &error);
            if (error != 0) return false;
        }
        return DecodeTiffLzwStrips(
            input_, page, [&](int y) { return rows.Row(y); }, use);
    }

    // Uncompressed strips of whole bytes in their natural bit order: each
    // strip's rows are read from the file straight into the block's rows,
    // as BMP rows are.
    bool IsPlainBytes() {
        std::uint16_t fillOrder = FILLORDER_MSB2LSB;
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_FILLORDER, &fillOrder);
        return compression_ == COMPRESSION_NONE && bits_ == 8 && fillOrder == FILLORDER_MSB2LSB;
    }

    // Rows that follow each other in the file, across strips (a writer may
    // put one row in each), are read in one call, up to kRowsAtOnce.
    bool ReadPlainRows(const SPictureRows& rows, std::uint64_t scanline,
                       const std::function<void(int, std::uint8_t*)>& use) {
        std::uint32_t rowsPerStrip = 0;
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, rows.height);
        constexpr std::size_t kRowsAtOnce = 4096;
        std::vector<std::uint8_t*> targets;
        targets.reserve(kRowsAtOnce);
        std::uint64_t runOffset = 0;
        int runTop = 0;
        auto flush = [&] {
            if (!targets.empty() &&
                !input_.ReadRows(runOffset, targets.data(), targets.size(), scanline))
                return false;
            for (std::size_t k = 0; k < targets.size(); ++k)
                use(runTop + static_cast<int>(k), targets[k]);
            targets.clear();
            return true;
        };
        const auto cutShort = [&] {
            return Fail(CodecStatus::Damaged, "damaged TIFF file (the pixel data is cut short)");
        };
        for (std::uint32_t top = 0, strip = 0; top < static_cast<std::uint32_t>(rows.height);
             top += rowsPerStrip, ++strip) {
            const std::uint32_t count = std::min<std::uint32_t>(rowsPerStrip, rows.height - top);
            int error = 0;
            const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tiff_, strip, &error);
            const std::uint64_t bytes = TIFFGetStrileByteCountWithErr(tiff_, strip, &error);
            if (error != 0 || bytes < count * scanline) return Damaged();
            for (std::uint32_t k = 0; k < count; ++k) {
                const std::uint64_t at = offset + k * scanline;
                const bool follows = at == runOffset + targets.size() * scanline;
                if (!targets.empty() && (!follows || targets.size() == kRowsAtOnce) && !flush())
                    return cutShort();
                if (targets.empty()) runOffset = at, runTop = static_cast<int>(top + k);
                targets.push_back(rows.Row(static_cast<int>(top + k)));
            }
        }
        return flush() || cutShort();
    }

    bool ForEachTiledRow(const SPictureRows& rows, std::uint64_t scanline,
                         const std::function<void(int, std::uint8_t*)>& use) {
        std::uint32_t tileWidth = 0, tileHeight = 0;
        TIFFGetField(tiff_, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tiff_, TIFFTAG_TILELENGTH, &tileHeight);
        const std::uint64_t tileBytes = static_cast<std::uint64_t>(TIFFTileSize64(tiff_));
        const std::uint64_t tileRow = static_cast<std::uint64_t>(TIFFTileRowSize64(tiff_));
        const std::uint64_t bandRows = std::min<std::uint64_t>(tileHeight, rows.height);
        if (tileWidth == 0 || tileHeight == 0 || tileBytes == 0 || tileRow == 0 ||
            tileBytes > std::max(kTileBytesWithoutPicture, 2 * scanline * rows.height) ||
            tileBytes > kMaxTileBytes)
            return Damaged();
        const std::uint64_t bitsPerPixel = static_cast<std::uint64_t>(bits_) * channels_;
        std::vector<std::uint8_t> tile(tileBytes);
        buffer_.assign(bandRows * scanline, 0);
        for (std::uint32_t top = 0; top < static_cast<std::uint32_t>(rows.height);
             top += tileHeight) {
            const std::uint64_t height = std::min<std::uint64_t>(tileHeight, rows.height - top);
            for (std::uint32_t left = 0; left < static_cast<std::uint32_t>(rows.width);
                 left += tileWidth) {
                if (TIFFReadTile(tiff_, tile.data(), left, top, 0, 0) < 0) return Damaged();
                const std::uint64_t offset = left * bitsPerPixel / 8;
                const std::uint64_t bytes = std::min(tileRow, scanline - offset);
                for (std::uint64_t r = 0; r < height; ++r)
                    std::copy_n(tile.data() + r * tileRow, bytes,
                                buffer_.data() + r * scanline + offset);
            }
            for (std::uint64_t r = 0; r < height; ++r)
                use(static_cast<int>(top + r), buffer_.data() + r * scanline);
        }
        return true;
    }

    CCodecInput& input_;
    CTiffClient client_;
    TIFF* tiff_ = nullptr;
    std::uint16_t bits_ = 1, channels_ = 1, compression_ = COMPRESSION_NONE;
    bool minIsWhite_ = false;
    SampleKind sampleKind_ = SampleKind::Unsigned;
    PictureKind kind_ = PictureKind::Grey8;
    bool converted_ = false;  // by the library's conversion to RGB
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint16_t> deep_;
    std::vector<double> numbers_;
};

}  // namespace

// Classic TIFF and BigTIFF, in either byte order.
bool MatchesTiff(const std::uint8_t* head, std::size_t size) {
    return size >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0 ||
                         std::memcmp(head, "II+\0", 4) == 0 || std::memcmp(head, "MM\0+", 4) == 0);
}

std::unique_ptr<CPictureReader> NewTiffReader(CCodecInput& input) {
    return std::make_unique<CTiffReader>(input);
}
