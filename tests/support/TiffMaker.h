#pragma once
// One-row grey TIFF files of any depth and sample kind with chosen values,
// written by libtiff itself, for reading tests.

#include <tiffio.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The bytes of a TIFF file whose one row holds `values` as samples of
// `bits` bits in `sampleFormat` (SAMPLEFORMAT_UINT, _INT, _IEEEFP); 8-, 16-
// and 32-bit samples in the machine's order, others packed.
inline std::string TiffOfValues(int bits, int sampleFormat, const std::vector<double>& values) {
    std::vector<std::uint8_t> row((values.size() * bits + 7) / 8);
    for (std::size_t x = 0; x < values.size(); ++x) {
        const double v = values[x];
        if (sampleFormat == SAMPLEFORMAT_IEEEFP) {
            const float f = static_cast<float>(v);
            std::memcpy(row.data() + 4 * x, &f, 4);
        } else if (bits == 16 || bits == 32) {
            const auto u = static_cast<std::uint32_t>(static_cast<std::int64_t>(v));
            if (bits == 16) {
                const auto s = static_cast<std::uint16_t>(u);
                std::memcpy(row.data() + 2 * x, &s, 2);
            } else {
                std::memcpy(row.data() + 4 * x, &u, 4);
            }
        } else {
            const auto u = static_cast<std::uint32_t>(static_cast<std::int64_t>(v));
            for (int b = 0; b < bits; ++b)
                if (u >> (bits - 1 - b) & 1) {
                    const std::size_t bit = x * bits + b;
                    row[bit / 8] |= static_cast<std::uint8_t>(0x80 >> bit % 8);
                }
        }
    }
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("orvex-made-" + std::to_string(::getpid()) + ".tif");
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(values.size()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1u);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, sampleFormat);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFWriteScanline(tiff, row.data(), 0, 0);
    TIFFClose(tiff);
    std::ifstream file(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::filesystem::remove(path);
    return bytes;
}
