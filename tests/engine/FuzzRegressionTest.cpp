// Every input kept in fuzz/regressions/bmp goes through the fuzz target's own
// checks, one test per file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "BmpReaderProbe.h"
#include "FileRows.h"
#include "PictureReaderProbe.h"
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

// The same for the other readers: fuzz/regressions/<format>/.
struct SPictureRegression {
    PictureFormat format;
    fs::path file;
};

std::vector<SPictureRegression> PictureRegressions() {
    std::vector<SPictureRegression> cases;
    for (const auto& [folder, format] : FuzzedFormats()) {
        const fs::path path = fs::path(ORVEX_FUZZ_REGRESSIONS) / folder;
        if (!fs::is_directory(path)) continue;
        for (const fs::path& file : FilesIn(path)) cases.push_back({format, file});
    }
    return cases;
}

class PictureFuzzRegression : public ::testing::TestWithParam<SPictureRegression> {};

TEST_P(PictureFuzzRegression, ReaderKeepsItsPromise) {
    std::ifstream file(GetParam().file, std::ios::binary);
    ASSERT_TRUE(file) << GetParam().file;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    EXPECT_EQ(ProbePictureReader(GetParam().format, bytes.data(), bytes.size()), "");
    // Files whose data a library reports as broken, although it decodes on.
    if (GetParam().file.filename().string().starts_with("damaged-")) {
        CCodecInput input(bytes);
        CImage image;
        EXPECT_EQ(ReadCodecPicture(image, input, CodecOf(GetParam().format)).status,
                  CodecStatus::Damaged);
    }
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PictureFuzzRegression);
INSTANTIATE_TEST_SUITE_P(Formats, PictureFuzzRegression, ::testing::ValuesIn(PictureRegressions()),
                         [](const auto& info) { return RowName(info.param.file); });
