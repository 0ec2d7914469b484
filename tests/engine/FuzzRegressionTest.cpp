// Every input kept in fuzz/regressions goes through the fuzz targets' own
// checks, one test per file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "BmpReaderProbe.h"
#include "FileRows.h"
#include "PictureReaderProbe.h"
#include "PictureWriterProbe.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

class FuzzRegression : public ::testing::TestWithParam<fs::path> {};

TEST_P(FuzzRegression, ReaderKeepsItsPromise) {
    std::ifstream file(GetParam(), std::ios::binary);
    ASSERT_TRUE(file) << GetParam();
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    CMessageRecorder quiet;
    EXPECT_EQ(ProbeBmpReader(bytes.data(), bytes.size()), "");
}

INSTANTIATE_TEST_SUITE_P(Bmp, FuzzRegression,
                         ::testing::ValuesIn(FilesIn(fs::path(ORVEX_FUZZ_REGRESSIONS) / "bmp")),
                         [](const auto& info) { return RowName(info.param); });

// Every input kept in fuzz/regressions goes through the picture readers too,
// each to the reader its first bytes call for.
class PictureFuzzRegression : public ::testing::TestWithParam<fs::path> {};

TEST_P(PictureFuzzRegression, ReaderKeepsItsPromise) {
    std::ifstream file(GetParam(), std::ios::binary);
    ASSERT_TRUE(file) << GetParam();
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    EXPECT_EQ(ProbePictureReader(bytes.data(), bytes.size()), "");
    // Files whose data a library reports as broken, although it decodes on.
    if (GetParam().filename().string().starts_with("damaged-")) {
        CCodecInput input(bytes);
        CImage image;
        const auto format = DetectPictureFormat(bytes.data(), bytes.size());
        ASSERT_TRUE(format.has_value());
        EXPECT_EQ(ReadFormatPicture(image, input, *format).status, CodecStatus::Damaged);
    }
}

std::vector<fs::path> PictureRegressions() {
    std::vector<fs::path> files;
    for (const auto& folder : fs::directory_iterator(ORVEX_FUZZ_REGRESSIONS))
        if (folder.is_directory())
            for (const fs::path& file : FilesIn(folder.path())) files.push_back(file);
    return files;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFuzzRegression, ::testing::ValuesIn(PictureRegressions()),
                         [](const auto& info) { return RowName(info.param); });

// The writer target's promise on pictures of every depth it makes: each
// depth, narrow and wide, one row and many, few table entries and all.
TEST(PictureWriterProbe, EveryDepthWrittenInEveryFormatReadsBackAlike) {
    std::mt19937 random(3);
    for (std::uint8_t kind = 0; kind < 5; ++kind) {
        for (const std::size_t size : {1, 5, 40, 700, 9000}) {
            std::vector<std::uint8_t> input(size);
            for (std::uint8_t& b : input) b = static_cast<std::uint8_t>(random());
            input[0] = kind;
            // Two levels only now and then, so that PBM and PGM take part.
            if (size == 40)
                for (std::size_t i = 5; i < size; ++i) input[i] = input[i] & 1 ? 255 : 0;
            EXPECT_EQ(ProbePictureWriter(input.data(), input.size()), "")
                << int(kind) << ", " << size << " bytes";
        }
    }
}
