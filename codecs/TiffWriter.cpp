// TIFF files through libtiff, written straight into the file (the library
// goes back to finish its header; a stream that cannot go back, such as
// standard output, gets the file built in memory): grey when the table is
// the grey ramp, palette (1, 4 or 8 bits, the whole table) otherwise, RGB for
// colour. LZW, with the horizontal predictor for grey and colour.

#include <algorithm>
#include <vector>

#include "PictureReader.h"
#include "PictureSource.h"
#include "TiffClient.h"

namespace {

constexpr std::uint64_t kStripBytes = 256 * 1024;

}  // namespace

CodecStatus WriteTiff(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "TIFF", problem)) return CodecStatus::Unsupported;
    const int bits = source.BitCount();
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(source.Width()) * bits + 7) / 8;
    CTiffClient client;
    // Room for the rows as they are; compressed they seldom take more.
    TIFF* tiff =
        client.OpenWrite(out, rowBytes * static_cast<std::uint64_t>(source.Height()) + 4096);
    auto failed = [&] {
        problem = "TIFF file not written";
        if (!client.Error().empty()) problem += " (" + client.Error() + ")";
        return CodecStatus::Damaged;
    };
    if (tiff == nullptr) return failed();
    const bool colour = bits == 24, palette = !colour && !source.IsGrey();
    const auto rowsPerStrip = static_cast<std::uint32_t>(
        std::max<std::uint64_t>(1, kStripBytes / std::max<std::uint64_t>(rowBytes, 1)));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(source.Width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(source.Height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(colour ? 8 : bits));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(colour ? 3 : 1));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(
        tiff, TIFFTAG_PHOTOMETRIC,
        colour ? PHOTOMETRIC_RGB : (palette ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    if (bits >= 8 && !palette) TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    if (palette) {
        std::uint16_t map[3][256] = {};
        for (int i = 0; i < (1 << bits) && i < source.Palette().count; ++i) {
            const CPaletteTable::Entry& e = source.Palette().entries[static_cast<std::size_t>(i)];
            map[0][i] = static_cast<std::uint16_t>(e.red * 257);
            map[1][i] = static_cast<std::uint16_t>(e.green * 257);
            map[2][i] = static_cast<std::uint16_t>(e.blue * 257);
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, map[0], map[1], map[2]);
    }
    // The predictor works on the row it is given: it gets a copy.
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < source.Height(); ++y) {
        std::copy_n(source.Row(y), rowBytes, row.data());
        if (TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) < 0)
            return failed();
    }
    if (!client.Close()) return failed();
    return CodecStatus::Ok;
}
