// Conversion to grey: the luminance rule at every depth, the grey ramp, the
// step's history and undo, and the pictures that need no conversion.
#include <gtest/gtest.h>

#include <fstream>

#include "BmpBuilder.h"
#include "CliSupport.h"
#include "StepsImage.h"
#include "TempFolderTest.h"
#include "TestSupport.h"

namespace {

struct SColour {
    int red, green, blue;
    int level;  // (299 R + 587 G + 114 B + 500) / 1000
};

// Pure primaries, the ends, a grey that keeps its level, exactly half way
// (7.5 rounds up) and just under it.
const std::vector<SColour> kColours = {
    {255, 0, 0, 76}, {0, 255, 0, 150},     {0, 0, 255, 29}, {255, 255, 255, 255},
    {0, 0, 0, 0},    {128, 128, 128, 128}, {0, 12, 4, 8},   {0, 0, 4, 0},
    {0, 0, 5, 1},    {200, 100, 50, 124},
};

// Reads a BMP file built in memory.
void ReadBmp(CImage& image, const std::vector<std::uint8_t>& bytes) {
    CMemoryStream stream(bytes);
    ASSERT_TRUE(image.ReadFileBMP(stream));
}

// One row of the colours, 24 bits per pixel.
std::vector<std::uint8_t> ColourRow24() {
    const int width = static_cast<int>(kColours.size());
    const int stride = (3 * width + 3) & ~3;
    CBmpBuilder b;
    b.FileHeader(static_cast<std::uint32_t>(54 + stride), 54).InfoHeader(width, 1, 24);
    for (const SColour& c : kColours)
        b.U8(static_cast<std::uint8_t>(c.blue))
            .U8(static_cast<std::uint8_t>(c.green))
            .U8(static_cast<std::uint8_t>(c.red));
    b.Fill(static_cast<std::size_t>(stride - 3 * width), 0xEE);
    return b.bytes;
}

// The colours as the table of an 8-bit picture (padded to `entries` with
// pure red), one row of pixels showing each entry in reverse order.
std::vector<std::uint8_t> ColourTable8(int entries) {
    const int width = static_cast<int>(kColours.size());
    const int stride = (width + 3) & ~3;
    const int offset = 54 + 4 * entries;
    CBmpBuilder b;
    b.FileHeader(static_cast<std::uint32_t>(offset + stride), static_cast<std::uint32_t>(offset))
        .InfoHeader(width, 1, 8, 0, static_cast<std::uint32_t>(entries));
    for (int i = 0; i < entries; ++i) {
        const SColour c = i < width ? kColours[static_cast<std::size_t>(i)] : kColours[0];
        b.U8(static_cast<std::uint8_t>(c.blue))
            .U8(static_cast<std::uint8_t>(c.green))
            .U8(static_cast<std::uint8_t>(c.red))
            .U8(0);
    }
    for (int x = width - 1; x >= 0; --x) b.U8(static_cast<std::uint8_t>(x));
    b.Fill(static_cast<std::size_t>(stride - width), 0);
    return b.bytes;
}

void ExpectGreyRampAndSize(const CImage& image, int width, int height) {
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetSize(), (CSize{width, height}));
    EXPECT_TRUE(image.HasGreyRamp());
}

}  // namespace

TEST(GreyConversion, TwentyFourBitsTakeTheLuminanceOfEachColour) {
    CImage image;
    ReadBmp(image, ColourRow24());
    ASSERT_TRUE(image.ConvertToGrey());
    ExpectGreyRampAndSize(image, static_cast<int>(kColours.size()), 1);
    for (std::size_t x = 0; x < kColours.size(); ++x)
        EXPECT_EQ(PixelAt(image, static_cast<int>(x), 0), kColours[x].level)
            << kColours[x].red << "," << kColours[x].green << "," << kColours[x].blue;
}

TEST(GreyConversion, ColourTablesGiveTheLevelsOfTheirEntries) {
    // A full table (converted in place) and a short one (a new block).
    for (const int entries : {256, 16}) {
        CImage image;
        ReadBmp(image, ColourTable8(entries));
        ASSERT_TRUE(image.ConvertToGrey()) << entries;
        ExpectGreyRampAndSize(image, static_cast<int>(kColours.size()), 1);
        for (std::size_t x = 0; x < kColours.size(); ++x)
            EXPECT_EQ(PixelAt(image, static_cast<int>(x), 0),
                      kColours[kColours.size() - 1 - x].level)
                << entries << " entries, column " << x;
    }
}

TEST(GreyConversion, FewBitsAndBitFieldsAreConvertedToo) {
    // 4 bits: two entries, pure green and blue, pixels 0 1 1 0 1; an index
    // past the table (2) shows black.
    CBmpBuilder four;
    four.FileHeader(54 + 8 + 4, 62).InfoHeader(6, 1, 4, 0, 2);
    four.U32(0x0000FF00).U32(0x000000FF).U8(0x01).U8(0x10).U8(0x12).U8(0);
    // 16 bits, 5-5-5: pure red (31 widens to 255), and a grey of 16 (132).
    CBmpBuilder sixteen;
    sixteen.FileHeader(54 + 4, 54).InfoHeader(2, 1, 16).U16(0x7C00).U16(0x4210);
    const std::vector<std::pair<std::vector<std::uint8_t>, std::vector<int>>> cases = {
        {four.bytes, {150, 29, 29, 150, 29, 0}},
        {sixteen.bytes, {76, 132}},
    };
    for (const auto& [bytes, levels] : cases) {
        CImage image;
        ReadBmp(image, bytes);
        const int depth = image.GetBitCount();
        ASSERT_TRUE(image.ConvertToGrey()) << depth;
        ExpectGreyRampAndSize(image, static_cast<int>(levels.size()), 1);
        for (std::size_t x = 0; x < levels.size(); ++x)
            EXPECT_EQ(PixelAt(image, static_cast<int>(x), 0), levels[x]) << depth << " bits, " << x;
    }
}

TEST(GreyConversion, StepRecordsItsLineAndUndoGivesTheColoursBack) {
    CImageDocument doc;
    ReadBmp(*doc.GetImage(), ColourRow24());
    const auto colour = BlockBytes(*doc.GetImage());
    ASSERT_TRUE(StepGrey(doc));
    EXPECT_EQ(doc.GetHistoryLines().back(), "Conversion en niveaux de gris");
    ASSERT_EQ(doc.GetRecipe().GetEntries().size(), 1u);
    // "Exporter la recette..." writes it for orvex-cli.
    EXPECT_NE(doc.GetRecipe().Format("grey").recipe.find("\n--grey "), std::string::npos)
        << doc.GetRecipe().Format("grey").recipe;
    // Every 256-colour step now runs.
    EXPECT_TRUE(StepCanRun(doc, StepNeeds::FullPalette));
    doc.GetImage()->Undo();
    EXPECT_EQ(BlockBytes(*doc.GetImage()), colour);
}

TEST(GreyConversion, AGreyPictureIsLeftAlone) {
    CMessageRecorder recorder;
    CImageDocument doc;
    FillPicture(*doc.GetImage(), 5, 3, [](int x, int y) { return 7 * x + 50 * y; });
    const auto before = BlockBytes(*doc.GetImage());
    ASSERT_TRUE(doc.GetImage()->HasGreyRamp());
    ASSERT_TRUE(StepGrey(doc));
    EXPECT_EQ(BlockBytes(*doc.GetImage()), before);
    EXPECT_EQ(doc.GetHistoryLines().size(), 1u);
    EXPECT_FALSE(doc.GetImage()->HasBackup());
    EXPECT_TRUE(doc.GetRecipe().GetEntries().empty());
    EXPECT_TRUE(recorder.messages.empty());
}

class GreyConversionCli : public CTempFolderTest {};

// orvex-cli: a colour picture becomes grey once; asked again, nothing changes.
TEST_F(GreyConversionCli, ConvertsOnceAndWritesAGreyPicture) {
    const std::vector<std::uint8_t> bytes = ColourRow24();
    std::ofstream(P("colour.bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const CliResult r =
        RunTool({P("colour.bmp"), "--grey", "--grey", "--history", "-o", P("grey.bmp")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMAGE BITMAP - HISTORIQUE\nImage : 10 x 1\nConversion en niveaux de gris\n");
    CImageDocument grey;
    ASSERT_EQ(grey.Open(P("grey.bmp")), FileStatus::Ok);
    ExpectGreyRampAndSize(*grey.GetImage(), 10, 1);
    EXPECT_EQ(PixelAt(*grey.GetImage(), 0, 0), 76);
}
