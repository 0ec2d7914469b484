// Real BMP files made by other programs: good, questionable and bad ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FileRows.h"
#include "PictureFiles.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSuite = fs::path(ORVEX_TESTDATA) / "bmpsuite";

// The files of the good (g), questionable (q) and bad (b) folders.
std::vector<fs::path> SuiteFiles(std::initializer_list<const char*> folders) {
    std::vector<fs::path> files;
    for (const char* folder : folders)
        for (const fs::path& file : FilesIn(kSuite / folder)) files.push_back(file);
    return files;
}

std::string NameOf(const ::testing::TestParamInfo<fs::path>& info) { return RowName(info.param); }

// Pixels of an 8-bit picture, row by row without padding, plus its colours.
struct Pixels8 {
    std::vector<std::uint8_t> levels;
    std::vector<std::uint32_t> colours;  // colour of each pixel, through the table
    bool operator==(const Pixels8&) const = default;
};

Pixels8 PixelsOf(CImage& image) {
    Pixels8 p;
    const std::uint8_t* bits = image.GetBits(image.Lock());
    const auto& table = *image.GetPalette();
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const std::uint8_t v = bits[y * CImage::GetWidthBytes(image.GetWidth()) + x];
            p.levels.push_back(v);
            const auto& e = table.entries[v];
            p.colours.push_back(v < table.count ? (e.red << 16 | e.green << 8 | e.blue)
                                                : 0xFFFFFFFFu);
        }
    return p;
}

// An uncompressed 8-bit picture saved to a file and read again shows the
// same pixels and colours.
void ExpectFileRoundTripKeepsPixels(CImage& image, const fs::path& file) {
    const fs::path saved = fs::temp_directory_path() / ("orvex-suite-" + file.filename().string());
    ASSERT_EQ(SaveBmpAt(image, saved.string()), FileStatus::Ok);
    CImage again;
    ASSERT_EQ(ReadPictureAt(again, saved.string()), FileStatus::Ok);
    EXPECT_EQ(PixelsOf(again), PixelsOf(image));
    fs::remove(saved);
}

}  // namespace

// One row per file of the whole suite.
class BmpSuiteFile : public ::testing::TestWithParam<fs::path> {};

TEST_P(BmpSuiteFile, IsReadOrRefusedCleanly) {
    const fs::path& file = GetParam();
    CMessageRecorder recorder;
    CImage image;
    const FileStatus status = ReadPictureAt(image, file.string());
    if (status == FileStatus::Ok) {
        EXPECT_TRUE(recorder.messages.empty());
        EXPECT_GT(image.GetWidth(), 0);
        EXPECT_GT(image.GetHeight(), 0);
        // Whatever opens can be saved, and reads back the same.
        CMemoryStream out;
        ASSERT_TRUE(image.SaveFileBMP(out));
        CImage again;
        CMemoryStream in(out.Bytes());
        ASSERT_TRUE(again.ReadFileBMP(in));
        EXPECT_EQ(BlockBytes(again), BlockBytes(image));
        if (image.GetBitCount() == 8) ExpectFileRoundTripKeepsPixels(image, file);
    } else {
        EXPECT_EQ(status, FileStatus::Refused);
        EXPECT_FALSE(image.IsValid());
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].rfind("ReadFileBMP : ", 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Suite, BmpSuiteFile, ::testing::ValuesIn(SuiteFiles({"g", "q", "b"})),
                         NameOf);

// One row per good file.
class BmpSuiteGoodFile : public ::testing::TestWithParam<fs::path> {};

TEST_P(BmpSuiteGoodFile, Opens) {
    CImage image;
    EXPECT_EQ(ReadPictureAt(image, GetParam().string()), FileStatus::Ok);
}

INSTANTIATE_TEST_SUITE_P(Suite, BmpSuiteGoodFile, ::testing::ValuesIn(SuiteFiles({"g"})), NameOf);

// The same picture stored with other headers, orders and encodings, one row
// per file.
class BmpSuiteEightBitVariant : public ::testing::TestWithParam<fs::path> {};

TEST_P(BmpSuiteEightBitVariant, ShowsTheSamePicture) {
    CImage reference;
    ASSERT_EQ(ReadPictureAt(reference, (kSuite / "g/pal8.bmp").string()), FileStatus::Ok);
    const Pixels8 expected = PixelsOf(reference);
    CImage image;
    ASSERT_EQ(ReadPictureAt(image, GetParam().string()), FileStatus::Ok);
    EXPECT_EQ(PixelsOf(image).colours, expected.colours);
}

INSTANTIATE_TEST_SUITE_P(Suite, BmpSuiteEightBitVariant,
                         ::testing::Values(kSuite / "g/pal8-0.bmp", kSuite / "g/pal8os2.bmp",
                                           kSuite / "g/pal8rle.bmp", kSuite / "g/pal8topdown.bmp",
                                           kSuite / "g/pal8v4.bmp", kSuite / "g/pal8v5.bmp",
                                           kSuite / "q/pal8offs.bmp", kSuite / "q/pal8os2sp.bmp",
                                           kSuite / "q/pal8os2v2.bmp",
                                           kSuite / "q/pal8os2v2-16.bmp",
                                           kSuite / "q/pal8oversizepal.bmp"),
                         NameOf);
