// Mirrors, rotation, resizing and the palette bar.
#include <gtest/gtest.h>

#include "OddPictures.h"
#include "TestSupport.h"

namespace {

// The picture as displayed, top line first, one character per pixel.
std::vector<std::string> Displayed(CImage& image) {
    std::vector<std::string> lines;
    for (int y = image.GetHeight() - 1; y >= 0; --y) {
        std::string line;
        for (int x = 0; x < image.GetWidth(); ++x) line += static_cast<char>(PixelAt(image, x, y));
        lines.push_back(line);
    }
    return lines;
}

// A picture made from its displayed lines, top line first.
void MakeDisplayed(CImage& image, const std::vector<std::string>& lines) {
    const int height = static_cast<int>(lines.size());
    FillPicture(image, static_cast<int>(lines[0].size()), height,
                [&](int x, int y) { return lines[height - 1 - y][x]; });
}

// Values no two pixels share on pictures of up to 256 pixels.
void MakeNumbered(CImage& image, int width, int height) {
    FillPicture(image, width, height, [=](int x, int y) { return y * width + x; });
}

}  // namespace

TEST(Geometry, RotationCornersOfTheThreeByTwoPicture) {
    CImage image;
    MakeDisplayed(image, {"abc", "def"});
    ASSERT_TRUE(image.Rotate(90, 0));
    EXPECT_EQ(image.GetSize(), (CSize{2, 3}));
    EXPECT_EQ(Displayed(image), (std::vector<std::string>{"da", "eb", "fc"}));

    MakeDisplayed(image, {"abc", "def"});
    ASSERT_TRUE(image.Rotate(270, 0));
    EXPECT_EQ(Displayed(image), (std::vector<std::string>{"cf", "be", "ad"}));

    MakeDisplayed(image, {"abc", "def"});
    ASSERT_TRUE(image.Rotate(180, 0));
    EXPECT_EQ(Displayed(image), (std::vector<std::string>{"fed", "cba"}));
}

TEST(Geometry, RotationsComposeOnOddSizes) {
    for (int width = 1; width <= 9; ++width)
        for (int height = 1; height <= 4; ++height) {
            CImage image, twice;
            MakeNumbered(image, width, height);
            MakeNumbered(twice, width, height);
            const auto original = BlockBytes(image);
            ASSERT_TRUE(image.Rotate(90, 0));
            ASSERT_TRUE(image.Rotate(270, 0));
            EXPECT_EQ(BlockBytes(image), original) << width << "x" << height;
            ASSERT_TRUE(image.Rotate(90, 0));
            ASSERT_TRUE(image.Rotate(90, 0));
            ASSERT_TRUE(twice.Rotate(180, 0));
            EXPECT_EQ(BlockBytes(image), BlockBytes(twice)) << width << "x" << height;
        }
}

TEST(Geometry, RotationKeepsTheColourTableAndFillsPadding) {
    CImage image;
    MakeNumbered(image, 3, 5);
    image.PaletteRainbow();
    const auto before = BlockBytes(image);
    ASSERT_TRUE(image.Rotate(90, 9));
    const auto after = BlockBytes(image);
    EXPECT_TRUE(std::equal(before.begin() + 40, before.begin() + 1064, after.begin() + 40));
    EXPECT_EQ(image.GetPalette()->entries[255], (CPaletteTable::Entry{255, 4, 0}));
    // New stride 8 for width 5: three padding bytes per row take the fill.
    for (int y = 0; y < 3; ++y)
        for (int x = 5; x < 8; ++x) EXPECT_EQ(after[1064 + y * 8 + x], 9);
    EXPECT_EQ(image.GetRoi(), (CRect{0, 0, 5, 3}));
}

TEST(Geometry, RotationRefusals) {
    CMessageRecorder recorder;
    CImage empty;
    EXPECT_TRUE(empty.Rotate(0, 0));
    EXPECT_TRUE(empty.Rotate(720, 0));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(empty.Rotate(90, 0));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Rotate : invalid handle"});

    CImage image;
    MakeNumbered(image, 3, 2);
    const auto before = BlockBytes(image);
    EXPECT_TRUE(image.Rotate(360, 0));
    for (unsigned angle : {45u, 450u, static_cast<unsigned>(-90)})
        EXPECT_FALSE(image.Rotate(angle, 0));
    EXPECT_EQ(BlockBytes(image), before);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST(Geometry, ResizeRatios) {
    CImage image;
    MakeNumbered(image, 4, 4);
    ASSERT_TRUE(image.Resize(2, 2));  // source columns and storage rows 0 and 2
    EXPECT_EQ(PixelAt(image, 0, 0), 0);
    EXPECT_EQ(PixelAt(image, 1, 0), 2);
    EXPECT_EQ(PixelAt(image, 0, 1), 8);
    EXPECT_EQ(PixelAt(image, 1, 1), 10);

    MakeNumbered(image, 2, 2);
    ASSERT_TRUE(image.Resize(4, 4));  // each pixel repeated in a 2 x 2 square
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(image, x, y), (y / 2) * 2 + x / 2) << x << "," << y;

    MakeNumbered(image, 3, 1);
    ASSERT_TRUE(image.Resize(4, 1));  // ratio 0.75: columns 0, 0, 1, 2
    EXPECT_EQ(Displayed(image), (std::vector<std::string>{std::string{0, 0, 1, 2}}));

    MakeNumbered(image, 1, 3);
    ASSERT_TRUE(image.Resize(1, 7));  // rows floor(3 / 7 * y)
    for (int y = 0; y < 7; ++y) EXPECT_EQ(PixelAt(image, 0, y), (3 * y) / 7) << y;
}

TEST(Geometry, ResizeUpThenDownRestoresThePicture) {
    for (int width = 1; width <= 9; ++width) {
        CImage image;
        MakeNumbered(image, width, 3);
        const auto original = BlockBytes(image);
        ASSERT_TRUE(image.Resize(3 * width, 6));
        ASSERT_TRUE(image.Resize(width, 3));
        EXPECT_EQ(BlockBytes(image), original) << width;
        ASSERT_TRUE(image.Resize(width, 1));  // one row: never past the source rows
        ASSERT_TRUE(image.Resize(width + 1, 1));
    }
}

TEST(Geometry, ResizeRefusals) {
    CMessageRecorder recorder;
    CImage empty;
    EXPECT_FALSE(empty.Resize(4, 4));
    CImage image;
    MakeNumbered(image, 5, 3);
    const auto before = BlockBytes(image);
    EXPECT_FALSE(image.Resize(5, 3));  // same size: silently
    EXPECT_FALSE(image.Resize(0, 3));
    EXPECT_FALSE(image.Resize(5, -1));
    EXPECT_FALSE(image.Resize(100000, 100000));
    EXPECT_EQ(BlockBytes(image), before);
    EXPECT_EQ(
        recorder.messages,
        (std::vector<std::string>{"Resize : invalid handle", "Resize : invalid size",
                                  "Resize : invalid size", "Resize image : Insuffisant memory"}));
}

TEST(Geometry, PaletteBarOnAWidthOf256) {
    CImage image;
    image.CreateEmptyImage(256, 100, 77);
    PixelAt(image, 3, 99) = 5;  // the top line as displayed
    ASSERT_TRUE(image.AddPaletteBar(20));
    EXPECT_EQ(image.GetSize(), (CSize{256, 120}));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(PixelAt(image, x, y), (255 * x) / 256) << x << "," << y;
    EXPECT_EQ(PixelAt(image, 1, 0), 0);
    EXPECT_EQ(PixelAt(image, 255, 0), 254);
    EXPECT_EQ(PixelAt(image, 0, 20), 77);
    EXPECT_EQ(PixelAt(image, 3, 119), 5);
    EXPECT_EQ(image.GetRoi(), (CRect{0, 0, 256, 120}));
}

TEST(Geometry, PaletteBarOnAWidthOf100) {
    CImage image;
    image.CreateEmptyImage(100, 3, 1);
    ASSERT_TRUE(image.AddPaletteBar(20));
    const std::uint8_t expected[] = {0, 2, 5, 7};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(image, x, 5), expected[x]);
    EXPECT_EQ(PixelAt(image, 99, 19), 252);
}

TEST(Geometry, PaletteBarOnNarrowPicturesAndRefusals) {
    CMessageRecorder recorder;
    for (int width = 1; width <= 9; ++width) {
        CImage image;
        MakeNumbered(image, width, 1);
        ASSERT_TRUE(image.AddPaletteBar(20));
        EXPECT_EQ(image.GetSize(), (CSize{width, 21}));
        const auto block = BlockBytes(image);
        const int stride = CImage::GetWidthBytes(width);
        for (int x = width; x < stride; ++x) EXPECT_EQ(block[1064 + 20 * stride + x], 0);
        const auto before = BlockBytes(image);
        EXPECT_FALSE(image.AddPaletteBar(-1));
        EXPECT_EQ(BlockBytes(image), before);
    }
    CImage empty;
    EXPECT_FALSE(empty.AddPaletteBar(20));
    std::vector<std::string> expected(9, "Resize : invalid size");
    expected.push_back("Resize : invalid handle");
    EXPECT_EQ(recorder.messages, expected);
}

TEST(Geometry, FlipHorizontalKeepsPadding) {
    CImage image;
    MakeDisplayed(image, {"abcde", "fghij"});
    std::uint8_t* bits = image.GetBits(image.Lock());
    for (int y = 0; y < 2; ++y)
        for (int x = 5; x < 8; ++x) bits[y * 8 + x] = static_cast<std::uint8_t>('0' + x + y);
    ASSERT_TRUE(image.FlipHorizontal());
    EXPECT_EQ(Displayed(image), (std::vector<std::string>{"edcba", "jihgf"}));
    for (int y = 0; y < 2; ++y)
        for (int x = 5; x < 8; ++x) EXPECT_EQ(bits[y * 8 + x], '0' + x + y);
}

TEST(Geometry, FlipVerticalReversesRowsAndClearsPadding) {
    CImage image;
    MakeDisplayed(image, {"abc", "def", "ghi"});
    std::uint8_t* bits = image.GetBits(image.Lock());
    bits[3] = bits[7] = 99;
    ASSERT_TRUE(image.FlipVertical());
    EXPECT_EQ(Displayed(image), (std::vector<std::string>{"ghi", "def", "abc"}));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(bits[4 * y + 3], 0);
}

TEST(Geometry, MirrorsTwiceRestoreAndEmptyPicturesAreRefused) {
    for (int width = 1; width <= 9; ++width) {
        CImage image;
        MakeNumbered(image, width, 1);
        const auto before = BlockBytes(image);
        ASSERT_TRUE(image.FlipHorizontal());
        ASSERT_TRUE(image.FlipHorizontal());
        ASSERT_TRUE(image.FlipVertical());
        EXPECT_EQ(BlockBytes(image), before) << width;
    }
    CMessageRecorder recorder;
    CImage empty;
    EXPECT_FALSE(empty.FlipHorizontal());
    EXPECT_FALSE(empty.FlipVertical());
    EXPECT_EQ(recorder.messages, (std::vector<std::string>{"FlipHorizontal : invalid handle",
                                                           "FlipVertical : invalid handle"}));
}

TEST(Geometry, RowsTheBlockCannotHoldAreNeverTouched) {
    CMessageRecorder recorder;
    CImage image;
    MakeWithHeaderField(image, 8, 2, 3, header::kHeight, 2000);
    const auto before = BlockBytes(image);
    EXPECT_FALSE(image.FlipHorizontal());
    EXPECT_FALSE(image.FlipVertical());
    EXPECT_FALSE(image.Rotate(90, 0));
    EXPECT_FALSE(image.Resize(3, 3));
    EXPECT_FALSE(image.AddPaletteBar(20));
    EXPECT_EQ(BlockBytes(image), before);
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{
                  "FlipHorizontal : unable to find data", "FlipVertical : unable to find data",
                  "Rotate : unable to find data", "Resize : unable to find data",
                  "Resize : unable to find data"}));
}
