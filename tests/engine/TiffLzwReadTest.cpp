// LZW TIFF pages decoded by our own decoder on all cores: grey and colour,
// with and without prediction, strips of one row to the whole page, odd
// widths, read as libtiff reads them; damaged strips either read as libtiff
// reads them without a word from it, or refused.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "ImageDocument.h"
#include "TempFolderTest.h"
#include "TestSupport.h"

namespace {

struct SLzwTiff {
    const char* name;
    int samples;
    bool predicted;
    std::uint32_t rowsPerStrip, width;
    bool minIsWhite = false;
};

constexpr std::uint32_t kHeight = 60;

// Smooth areas and noise, as a photograph's samples are.
std::vector<std::uint8_t> Samples(const SLzwTiff& c) {
    std::mt19937 random(c.width * 31 + c.rowsPerStrip);
    std::vector<std::uint8_t> samples(std::size_t{c.width} * c.samples * kHeight);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i / 97 % 3 == 0 ? random() : i / 400 * 5);
    return samples;
}

void WriteTiff(const std::string& path, const SLzwTiff& c,
               const std::vector<std::uint8_t>& samples) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, c.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, c.samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
                 c.samples == 3 ? PHOTOMETRIC_RGB
                 : c.minIsWhite ? PHOTOMETRIC_MINISWHITE
                                : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, c.predicted ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, c.rowsPerStrip);
    const std::size_t rowBytes = std::size_t{c.width} * c.samples;
    std::vector<std::uint8_t> row(rowBytes);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::copy_n(samples.begin() + static_cast<long>(y * rowBytes), rowBytes, row.begin());
        TIFFWriteScanline(tiff, row.data(), y, 0);  // the library differences the row in place
    }
    TIFFClose(tiff);
}

// What libtiff reads from the file, as the levels Orvex shows; empty when
// it reports an error or a warning on the way.
std::vector<std::uint8_t> LibtiffLevels(const std::string& path, const SLzwTiff& c) {
    static bool complained = false;
    complained = false;
    const auto complain = [](const char*, const char*, va_list) { complained = true; };
    const TIFFErrorHandler errors = TIFFSetErrorHandler(complain);
    const TIFFErrorHandler warnings = TIFFSetWarningHandler(complain);
    std::vector<std::uint8_t> levels;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    std::vector<std::uint8_t> row(std::size_t{c.width} * c.samples);
    for (std::uint32_t y = 0; tiff != nullptr && y < kHeight && !complained; ++y) {
        if (TIFFReadScanline(tiff, row.data(), y, 0) < 0) complained = true;
        for (std::uint32_t x = 0; x < c.width; ++x) {
            if (c.samples == 3) {
                levels.insert(levels.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
            } else {
                levels.push_back(c.minIsWhite ? 255 - row[x] : row[x]);
            }
        }
    }
    if (tiff != nullptr) TIFFClose(tiff);
    TIFFSetErrorHandler(errors);
    TIFFSetWarningHandler(warnings);
    return complained || tiff == nullptr ? std::vector<std::uint8_t>{} : levels;
}

}  // namespace

class LzwTiff : public CTempFolderTest, public ::testing::WithParamInterface<SLzwTiff> {};

TEST_P(LzwTiff, ReadAsLibtiffReadsIt) {
    const SLzwTiff& c = GetParam();
    WriteTiff(P("lzw.tif"), c, Samples(c));
    const std::vector<std::uint8_t> expected = LibtiffLevels(P("lzw.tif"), c);
    ASSERT_FALSE(expected.empty());
    CImageDocument document;
    ASSERT_EQ(document.Open(P("lzw.tif")), FileStatus::Ok) << document.GetFileInfo().problem;
    EXPECT_EQ(DisplayedLevels(*document.GetImage()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LzwTiff,
    ::testing::Values(SLzwTiff{"GreyRowAStrip", 1, false, 1, 333},
                      SLzwTiff{"GreyPredictedSevenRowsAStrip", 1, true, 7, 333},
                      SLzwTiff{"GreyPredictedOneStrip", 1, true, kHeight, 13},
                      SLzwTiff{"GreyOneColumn", 1, true, 5, 1},
                      SLzwTiff{"GreyStripsTallerThanThePage", 1, true, 1000, 64},
                      SLzwTiff{"WhiteIsZero", 1, true, 3, 50, true},
                      SLzwTiff{"ColourPredicted", 3, true, 4, 101},
                      SLzwTiff{"ColourOneStrip", 3, false, kHeight, 64}),
    [](const auto& info) { return std::string(info.param.name); });

// A few bytes of the strips changed, or shifted by one: where our decoder
// reads the page, libtiff reads the same levels and says nothing; otherwise
// the file is refused as damaged.
TEST_F(LzwTiff, DamagedStripsReadAsLibtiffReadsThemOrRefused) {
    const SLzwTiff c{"", 1, true, 7, 333};
    const std::vector<std::uint8_t> samples = Samples(c);
    WriteTiff(P("whole.tif"), c, samples);
    std::ifstream in(P("whole.tif"), std::ios::binary);
    const std::vector<std::uint8_t> whole{std::istreambuf_iterator<char>(in), {}};
    // The strips lie between the 8-byte header and the directory.
    const std::uint32_t directory = whole[4] | whole[5] << 8 | whole[6] << 16 | whole[7] << 24;
    std::mt19937 random(5);
    int read = 0, refused = 0;
    for (int trial = 0; trial < 80; ++trial) {
        std::vector<std::uint8_t> bytes = whole;
        if (trial % 4 == 3) {
            // A byte gone from a stretch of the strips and one put in at its
            // end: the codes after it shift by eight bits.
            const std::size_t from = 8 + random() % (directory - 8);
            const std::size_t to = std::min<std::size_t>(directory, from + 1 + random() % 300);
            std::rotate(bytes.begin() + static_cast<long>(from),
                        bytes.begin() + static_cast<long>(from) + 1,
                        bytes.begin() + static_cast<long>(to));
        } else {
            for (int k = 0; k <= trial % 3; ++k)
                bytes[8 + random() % (directory - 8)] ^=
                    static_cast<std::uint8_t>(1 + random() % 255);
        }
        std::ofstream(P("damaged.tif"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        const std::vector<std::uint8_t> theirs = LibtiffLevels(P("damaged.tif"), c);
        CImageDocument document;
        const FileStatus status = document.Open(P("damaged.tif"));
        if (theirs.empty()) {
            EXPECT_EQ(status, FileStatus::Damaged) << "trial " << trial;
            ++refused;
        } else {
            ASSERT_EQ(status, FileStatus::Ok) << "trial " << trial;
            EXPECT_EQ(DisplayedLevels(*document.GetImage()), theirs) << "trial " << trial;
            ++read;
        }
    }
    EXPECT_GT(refused, 10);
    EXPECT_GT(read, 10);
}
