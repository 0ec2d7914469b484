// Palette generators: the telling entries of every ramp, and refusals.
#include <gtest/gtest.h>

#include "OddPictures.h"
#include "TestSupport.h"

namespace {

using Rgb = CPaletteTable::Entry;

// Entry i of the colour table as stored in the block (blue, green, red, 0).
Rgb TableEntry(const CImage& image, int i) {
    const auto block = BlockBytes(image);
    const std::size_t at = 40 + 4 * static_cast<std::size_t>(i);
    EXPECT_EQ(block[at + 3], 0) << "entry " << i;
    return {block[at + 2], block[at + 1], block[at]};
}

void ExpectEntries(const CImage& image, const std::vector<std::pair<int, Rgb>>& rows) {
    for (const auto& [i, rgb] : rows) {
        EXPECT_EQ(TableEntry(image, i), rgb) << "entry " << i;
        // The palette object is rebuilt from the table.
        EXPECT_EQ(image.GetPalette()->entries[i], rgb) << "palette object, entry " << i;
    }
}

struct Generator {
    const char* name;
    bool (*run)(CImage&);
};
const Generator kGenerators[] = {
    {"PaletteGradient", [](CImage& i) { return i.PaletteGradient(1, 1, 1); }},
    {"PaletteThreshold", [](CImage& i) { return i.PaletteThreshold(10, 20); }},
    {"PaletteRainbow", [](CImage& i) { return i.PaletteRainbow(); }},
    {"PaletteHeat", [](CImage& i) { return i.PaletteHeat(); }},
    {"PaletteHeat", [](CImage& i) { return i.PaletteMetal(); }},
    {"PaletteBinary", [](CImage& i) { return i.PaletteBinary(); }},
};

}  // namespace

TEST(PaletteGenerators, GradientFactorsWrap) {
    CImage image;
    image.CreateEmptyImage(4, 4, 0);
    ASSERT_TRUE(image.PaletteGradient(2, 2, 2));
    ExpectEntries(
        image, {{0, {0, 0, 0}}, {100, {200, 200, 200}}, {128, {0, 0, 0}}, {200, {144, 144, 144}}});
    ASSERT_TRUE(image.PaletteGradient(1, 0, -1));
    ExpectEntries(image, {{1, {1, 0, 255}}, {255, {255, 0, 1}}});
}

TEST(PaletteGenerators, GradientTables) {
    CImage image;
    image.CreateEmptyImage(4, 4, 0);
    std::uint8_t red[256], green[256], blue[256];
    for (int i = 0; i < 256; ++i) {
        red[i] = static_cast<std::uint8_t>(255 - i);
        green[i] = static_cast<std::uint8_t>(i / 2);
        blue[i] = 7;
    }
    ASSERT_TRUE(image.PaletteGradient(red, green, blue));
    ExpectEntries(image, {{0, {255, 0, 7}}, {255, {0, 127, 7}}, {77, {178, 38, 7}}});
}

TEST(PaletteGenerators, ThresholdUpperBoundExclusiveAndClamped) {
    CImage image;
    image.CreateEmptyImage(4, 4, 0);
    ASSERT_TRUE(image.PaletteThreshold(100, 150));
    ExpectEntries(
        image,
        {{99, {99, 99, 99}}, {100, {255, 0, 0}}, {149, {255, 0, 0}}, {150, {150, 150, 150}}});
    ASSERT_TRUE(image.PaletteThreshold(0, 256));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(TableEntry(image, i), (Rgb{255, 0, 0})) << i;
    ASSERT_TRUE(image.PaletteThreshold(-40, 1000));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(TableEntry(image, i), (Rgb{255, 0, 0})) << i;
    for (const auto& [low, high] : {std::pair{0, 0}, {150, 100}, {256, 300}, {-9, -1}}) {
        ASSERT_TRUE(image.PaletteThreshold(low, high));
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            EXPECT_EQ(TableEntry(image, i), (Rgb{v, v, v})) << low << "," << high << ": " << i;
        }
    }
}

TEST(PaletteGenerators, RainbowTellingRows) {
    CImage image;
    image.CreateEmptyImage(4, 4, 0);
    ASSERT_TRUE(image.PaletteRainbow());
    ExpectEntries(image, {{0, {0, 0, 255}},
                          {63, {0, 252, 255}},
                          {64, {0, 255, 254}},
                          {127, {0, 255, 2}},
                          {128, {2, 255, 0}},
                          {191, {254, 255, 0}},
                          {192, {255, 252, 0}},
                          {254, {255, 4, 0}},
                          {255, {255, 4, 0}}});
}

TEST(PaletteGenerators, HeatAndMetalTellingRows) {
    CImage image;
    image.CreateEmptyImage(4, 4, 0);
    ASSERT_TRUE(image.PaletteHeat());
    ExpectEntries(image, {{0, {0, 0, 0}},
                          {127, {127, 0, 0}},
                          {128, {128, 1, 0}},
                          {191, {191, 127, 0}},
                          {192, {192, 129, 3}},
                          {253, {253, 251, 247}},
                          {254, {254, 253, 251}},
                          {255, {254, 253, 251}}});
    ASSERT_TRUE(image.PaletteMetal());
    ExpectEntries(
        image,
        {{127, {0, 0, 127}}, {192, {3, 129, 192}}, {254, {251, 253, 254}}, {255, {251, 253, 254}}});
}

TEST(PaletteGenerators, BinaryCycle) {
    CImage image;
    image.CreateEmptyImage(4, 4, 0);
    ASSERT_TRUE(image.PaletteBinary());
    ExpectEntries(image, {{1, {255, 0, 255}},
                          {2, {0, 255, 0}},
                          {3, {0, 0, 255}},
                          {4, {255, 255, 0}},
                          {5, {0, 255, 255}},
                          {6, {255, 255, 255}}});
    for (int i = 0; i < 256; i += 8) EXPECT_EQ(TableEntry(image, i), (Rgb{0, 0, 0})) << i;
    for (int i = 7; i < 256; i += 8) EXPECT_EQ(TableEntry(image, i), (Rgb{255, 0, 0})) << i;
}

TEST(PaletteGenerators, PixelsUntouchedAndUndoRestoresTable) {
    CImage image;
    FillPicture(image, 7, 3, [](int x, int y) { return 30 * y + x; });
    const auto before = BlockBytes(image);
    image.SaveBackup();
    ASSERT_TRUE(image.PaletteRainbow());
    const auto after = BlockBytes(image);
    EXPECT_TRUE(std::equal(before.begin() + 1064, before.end(), after.begin() + 1064));
    image.Undo();
    EXPECT_EQ(BlockBytes(image), before);
    EXPECT_EQ(image.GetPalette()->entries[0], (Rgb{0, 0, 0}));
}

TEST(PaletteGenerators, WriteTheFourthByteAsZero) {
    for (const Generator& g : kGenerators) {
        CImage image;
        FillPicture(image, 7, 3, [](int x, int y) { return 30 * y + x; });
        {  // a file's table whose fourth bytes are not 0
            std::uint8_t* table = image.Lock() + image.GetTableOffset();
            for (int i = 0; i < 256; ++i) table[4 * i + 3] = static_cast<std::uint8_t>(i + 1);
        }
        const auto before = BlockBytes(image);
        image.SaveBackup();
        ASSERT_TRUE(g.run(image)) << g.name;
        const auto after = BlockBytes(image);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(after[40 + 4 * i + 3], 0) << g.name << " " << i;
        image.Undo();  // the file's own bytes come back
        EXPECT_EQ(BlockBytes(image), before) << g.name;
    }
}

TEST(PaletteGenerators, RefusalsLeaveThePictureUnchanged) {
    for (const Generator& g : kGenerators) {
        CMessageRecorder recorder;
        CImage empty;
        EXPECT_FALSE(g.run(empty));
        CImage sixteen, trueColour;
        MakeSixteenColours(sixteen);
        MakeTrueColour(trueColour);
        const auto sixteenBefore = BlockBytes(sixteen), trueColourBefore = BlockBytes(trueColour);
        EXPECT_FALSE(g.run(sixteen));
        EXPECT_FALSE(g.run(trueColour));
        EXPECT_EQ(BlockBytes(sixteen), sixteenBefore) << g.name;
        EXPECT_EQ(BlockBytes(trueColour), trueColourBefore) << g.name;
        const std::string name = g.name;
        EXPECT_EQ(recorder.messages,
                  (std::vector<std::string>{name + " : invalid handle", name + " : 256 colors only",
                                            name + " : 256 colors only"}));
    }
}
