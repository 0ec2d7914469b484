// Pictures in the other formats, as other programs make them: every file of
// tests/data/formats opens with the size, kind and levels its description
// gives (expected.json), or is refused with a reason when damaged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "ImageDocument.h"
#include "JsonLite.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFolder = fs::path(ORVEX_TESTDATA) / "formats";

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct SFormatCase {
    std::string name;
    CJson description;
};

std::vector<SFormatCase> FormatCases() {
    const std::vector<std::uint8_t> text = FileBytes(kFolder / "expected.json");
    const CJson all = CJson::Parse(std::string(text.begin(), text.end()));
    std::vector<SFormatCase> cases;
    for (const auto& [name, description] : all.members) cases.push_back({name, description});
    return cases;
}

// The picture's row bytes, top row first, without row padding: its levels
// at 8 bits.
std::vector<std::uint8_t> DisplayedLevels(const CImage& image) {
    const CStoredRows rows = image.GetStoredRows();
    const int bytes = rows.width * rows.bitCount / 8;
    std::vector<std::uint8_t> levels;
    for (int y = rows.height - 1; y >= 0; --y)
        levels.insert(levels.end(), rows.Row(y), rows.Row(y) + bytes);
    return levels;
}

std::vector<std::string> LinesAfterSize(const CImageDocument& document) {
    std::vector<std::string> lines = document.GetHistoryLines();
    return {lines.begin() + std::min<std::size_t>(2, lines.size()), lines.end()};
}

}  // namespace

class FormatFile : public ::testing::TestWithParam<SFormatCase> {};

TEST_P(FormatFile, OpensAsDescribed) {
    const CJson& d = GetParam().description;
    const std::string mode = d["mode"].text;
    CMessageRecorder quiet;
    CImageDocument document;
    const FileStatus status = document.Open((kFolder / d["file"].text).string());
    const CImage& image = *document.GetImage();

    if (mode == "damaged") {
        EXPECT_EQ(status, FileStatus::Damaged);
        EXPECT_FALSE(document.GetFileInfo().problem.empty());
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(document.GetHistoryLines().size(), 1u);
        return;
    }
    ASSERT_EQ(status, FileStatus::Ok) << document.GetFileInfo().problem;
    EXPECT_EQ(image.GetWidth(), d["size"].items.at(0).number);
    EXPECT_EQ(image.GetHeight(), d["size"].items.at(1).number);
    EXPECT_EQ(image.GetBitCount(), mode == "colour" ? 24 : 8);
    if (mode == "grey8" || mode == "grey16") EXPECT_TRUE(image.GetPalette()->IsGreyRamp());
    if (mode == "palette8") EXPECT_EQ(image.GetPalette()->count, 256);

    if (!d["levels"].IsNull())
        EXPECT_EQ(DisplayedLevels(image), FileBytes(kFolder / d["levels"].text));

    std::vector<std::string> notes = LinesAfterSize(document);
    if (mode == "grey16") {
        // The window spans the picture's own samples: both ends are used.
        const std::vector<std::uint8_t> levels = DisplayedLevels(image);
        EXPECT_EQ(*std::min_element(levels.begin(), levels.end()), 0);
        EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), 255);
        ASSERT_EQ(notes.size(), 1u);
        std::smatch values;
        if (std::regex_search(d["note"].text, values, std::regex(R"((\d+)\.\.(\d+))")))
            EXPECT_EQ(notes[0], "Image 16 bits : fenêtre " + values.str(0));
        else
            EXPECT_TRUE(
                std::regex_match(notes[0], std::regex(R"(Image 16 bits : fenêtre \d+\.\.\d+)")));
    } else if (d["note"].text.find("pages") != std::string::npos) {
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_TRUE(std::regex_match(notes[0], std::regex(R"(Page 1 / [2-9]\d*)"))) << notes[0];
    } else {
        EXPECT_TRUE(notes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatFile, ::testing::ValuesIn(FormatCases()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The level rules on small files made here: PGM maxima below 255, and the
// 16-bit window, rounded half up; a flat picture keeps its level on its scale.
struct SLevelRule {
    const char* name;
    std::string file;
    std::vector<std::uint8_t> levels;
    std::vector<std::string> notes;
};

class LevelRule : public ::testing::TestWithParam<SLevelRule> {};

TEST_P(LevelRule, GivesTheLevels) {
    CMemoryStream in(std::vector<std::uint8_t>(GetParam().file.begin(), GetParam().file.end()));
    CImageDocument document;
    ASSERT_EQ(document.Open(in), FileStatus::Ok) << document.GetFileInfo().problem;
    EXPECT_EQ(DisplayedLevels(*document.GetImage()), GetParam().levels);
    EXPECT_EQ(LinesAfterSize(document), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Pgm, LevelRule,
    ::testing::Values(
        SLevelRule{"max100", "P2 6 1 100 0 1 2 50 99 100", {0, 3, 5, 128, 252, 255}, {}},
        SLevelRule{"max1_binary", std::string("P5 4 1 1\n\0\1\1\0", 13), {0, 255, 255, 0}, {}},
        SLevelRule{"window16",
                   "P2 4 1 65535 1000 1001 1500 2000",
                   {0, 0, 128, 255},
                   {"Image 16 bits : fenêtre 1000..2000"}},
        SLevelRule{"window16_binary",
                   std::string("P5 2 2 65535\n\x01\x00\x01\x01\x01\xff\x01\x80", 21),
                   {0, 1, 255, 128},
                   {"Image 16 bits : fenêtre 256..511"}},
        SLevelRule{"flat16",
                   "P2 3 1 4000 700 700 700",
                   {45, 45, 45},
                   {"Image 16 bits : fenêtre 700..700"}},
        // Stored blue, green, red.
        SLevelRule{"colour_max15", "P3 1 1 15 15 0 7", {119, 0, 255}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A few bytes claiming a huge picture are refused before any allocation.
TEST(PictureFile, DecompressionBombIsRefused) {
    std::vector<std::uint8_t> png = FileBytes(kFolder / "png-grey8.png");
    // IHDR: 40000 x 40000 (within the 2 GiB limit), with its checksum made again.
    const std::uint8_t size[8] = {0, 0, 0x9C, 0x40, 0, 0, 0x9C, 0x40};
    std::copy(size, size + 8, png.begin() + 16);
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc ^= 0xFFFFFFFF;
    for (int k = 0; k < 4; ++k) png[29 + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
    CMemoryStream in(png);
    CImage image;
    SPictureFileInfo info;
    EXPECT_EQ(ReadPicture(image, in, info), FileStatus::Damaged);
    EXPECT_NE(info.problem.find("larger than its data"), std::string::npos) << info.problem;
}

// Uncompressed strips are read straight from the file into the rows: a file
// cut inside them is refused, from memory and from disk alike.
TEST(PictureFile, UncompressedTiffCutInItsRowsIsDamaged) {
    std::vector<std::uint8_t> tiff = FileBytes(kFolder / "tiff-grey8-raw.tif");
    tiff.resize(400);
    CMemoryStream in(tiff);
    CImage image;
    SPictureFileInfo info;
    EXPECT_EQ(ReadPicture(image, in, info), FileStatus::Damaged);
    EXPECT_NE(info.problem.find("TIFF"), std::string::npos) << info.problem;

    const fs::path path =
        fs::temp_directory_path() / ("orvex-cut-" + std::to_string(::getpid()) + ".tif");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tiff.data()), 400);
    SPictureFileInfo fileInfo;
    EXPECT_EQ(ReadPictureFile(image, path.string(), fileInfo), FileStatus::Damaged);
    EXPECT_FALSE(image.IsValid());
    fs::remove(path);
}
