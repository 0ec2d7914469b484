// Every input kept in fuzz/regressions/bmp goes through the fuzz target's own
// checks, one test per file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "BmpReaderProbe.h"
#include "FileRows.h"
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
