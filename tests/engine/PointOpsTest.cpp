// Point operations: negative and tone curve inside the region of interest,
// threshold over whole rows.
#include <gtest/gtest.h>

#include <random>

#include "OddPictures.h"
#include "TestSupport.h"

namespace {

std::vector<std::uint8_t> PixelBytes(const CImage& image) {
    auto block = BlockBytes(image);
    block.erase(block.begin(), block.begin() + 1064);
    return block;
}

// A picture of varied values with distinct padding bytes.
void MakeVaried(CImage& image, int width, int height) {
    FillPicture(image, width, height, [](int x, int y) { return (37 * x + 91 * y + 5) % 256; });
    const int stride = CImage::GetWidthBytes(width);
    std::uint8_t* bits = image.GetBits(image.Lock());
    for (int y = 0; y < height; ++y)
        for (int x = width; x < stride; ++x)
            bits[y * stride + x] = static_cast<std::uint8_t>(200 + x);
}

}  // namespace

TEST(PointOps, ReverseStaysInsideTheRegion) {
    CImage image;
    MakeVaried(image, 13, 100);
    const auto before = PixelBytes(image);
    ASSERT_TRUE(image.SetRoi({0, 0, 10, 10}));  // the ten top lines on screen
    ASSERT_TRUE(image.Reverse());
    const auto after = PixelBytes(image);
    const int stride = 16;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < stride; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * stride + x);
            const bool inside = y >= 90 && x < 10;
            EXPECT_EQ(after[i], inside ? 255 - before[i] : before[i]) << x << "," << y;
        }
    ASSERT_TRUE(image.Reverse());
    EXPECT_EQ(PixelBytes(image), before);
}

TEST(PointOps, ReverseOfWholeRowsWithoutPaddingTurnsOverExactlyThem) {
    // Rows of a multiple of four bytes lie end to end and go as one run.
    for (const CRect region : {CRect{0, 10, 64, 30}, CRect{0, 0, 64, 50}, CRect{0, 49, 64, 50}}) {
        CImage image;
        MakeVaried(image, 64, 50);
        const auto before = PixelBytes(image);
        ASSERT_TRUE(image.SetRoi(region));
        ASSERT_TRUE(image.Reverse());
        const auto after = PixelBytes(image);
        for (int y = 0; y < 50; ++y) {  // stored bottom-up: row y is 49 - y on screen
            const bool inside = 49 - y >= region.top && 49 - y < region.bottom;
            for (int x = 0; x < 64; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * 64 + x);
                ASSERT_EQ(after[i], inside ? 255 - before[i] : before[i]) << x << "," << y;
            }
        }
    }
}

TEST(PointOps, EmptyRegionChangesNothing) {
    CImage image;
    MakeVaried(image, 6, 4);
    const auto before = BlockBytes(image);
    ASSERT_TRUE(image.SetRoi({3, 2, 3, 4}));
    ASSERT_TRUE(image.Reverse());
    EXPECT_EQ(BlockBytes(image), before);
}

TEST(PointOps, SetDynamicAppliesTheTableInTheRegion) {
    CImage image;
    MakeVaried(image, 7, 5);
    const auto before = PixelBytes(image);
    std::uint8_t identity[256], half[256];
    for (int v = 0; v < 256; ++v) {
        identity[v] = static_cast<std::uint8_t>(v);
        half[v] = static_cast<std::uint8_t>(v / 2);
    }
    ASSERT_TRUE(image.SetDynamic(identity));
    EXPECT_EQ(PixelBytes(image), before);

    ASSERT_TRUE(image.SetRoi({2, 1, 5, 3}));  // storage rows 2 .. 3, columns 2 .. 4
    ASSERT_TRUE(image.SetDynamic(half));
    const auto after = PixelBytes(image);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * 8 + x);
            const bool inside = y >= 2 && y <= 3 && x >= 2 && x <= 4;
            EXPECT_EQ(after[i], inside ? before[i] / 2 : before[i]) << x << "," << y;
        }
}

TEST(PointOps, SetDynamicRefusals) {
    CMessageRecorder recorder;
    CImage image;
    MakeVaried(image, 5, 3);
    const auto before = BlockBytes(image);
    const std::vector<std::uint8_t> shortTable(255, 0), longTable(257, 0);
    EXPECT_FALSE(image.SetDynamic(std::span<const std::uint8_t>(shortTable)));
    EXPECT_FALSE(image.SetDynamic(std::span<const std::uint8_t>(longTable)));
    EXPECT_FALSE(image.SetDynamic(static_cast<const std::uint8_t*>(nullptr)));
    EXPECT_EQ(BlockBytes(image), before);
    CImage empty;
    const std::vector<std::uint8_t> table(256, 0);
    EXPECT_FALSE(empty.SetDynamic(std::span<const std::uint8_t>(table)));
    EXPECT_FALSE(empty.Reverse());  // silently
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{"Set Dynamic : invalid dynamic conversion array",
                                        "Set Dynamic : invalid dynamic conversion array",
                                        "Set Dynamic : invalid dynamic conversion array",
                                        "SetDynamic : invalid handle"}));
}

TEST(PointOps, ThresholdBoundsAreInclusive) {
    CImage image;
    const int values[] = {99, 100, 150, 151};
    FillPicture(image, 4, 1, [&](int x, int) { return values[x]; });
    ASSERT_TRUE(image.Threshold(100, 150));
    EXPECT_EQ(PixelBytes(image), (std::vector<std::uint8_t>{0, 255, 255, 0}));
}

TEST(PointOps, ThresholdCoversPaddingAndMatchesTheRuleForAnyBounds) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> bound(-300, 300);
    for (int trial = 0; trial < 60; ++trial) {
        const int low = trial == 0 ? 0 : bound(random), high = trial == 0 ? 255 : bound(random);
        CImage image;
        MakeVaried(image, 5, 3);
        const auto before = PixelBytes(image);
        ASSERT_TRUE(image.Threshold(low, high));
        const auto after = PixelBytes(image);
        for (std::size_t i = 0; i < before.size(); ++i) {
            const int v = before[i];
            EXPECT_EQ(after[i], (v < low || v > high) ? 0 : 255)
                << low << "," << high << " at " << i;
        }
    }
}

TEST(PointOps, ThresholdRefusesPicturesWithoutTwoHundredFiftySixColours) {
    CMessageRecorder recorder;
    CImage empty, sixteen;
    MakeSixteenColours(sixteen);
    const auto before = BlockBytes(sixteen);
    EXPECT_FALSE(empty.Threshold(0, 255));
    EXPECT_FALSE(sixteen.Threshold(0, 255));
    EXPECT_EQ(BlockBytes(sixteen), before);
    EXPECT_EQ(recorder.messages, std::vector<std::string>(2, "Threshold : 256 colors only"));
}

TEST(PointOps, NarrowPicturesUnderTheSanitizers) {
    for (int width = 1; width <= 9; ++width) {
        CImage image;
        MakeVaried(image, width, 1);
        const auto before = PixelBytes(image);
        ASSERT_TRUE(image.Reverse());
        std::uint8_t table[256];
        for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(255 - v);
        ASSERT_TRUE(image.SetDynamic(table));
        EXPECT_EQ(PixelBytes(image), before) << width;
        ASSERT_TRUE(image.Threshold(128, 255));
    }
}

TEST(PointOps, RowsTheBlockCannotHoldAreNeverTouched) {
    CMessageRecorder recorder;
    CImage image;
    MakeWithHeaderField(image, 8, 2, 3, header::kHeight, 2000);
    const auto before = BlockBytes(image);
    std::uint8_t table[256] = {};
    EXPECT_FALSE(image.Reverse());
    EXPECT_FALSE(image.SetDynamic(table));
    EXPECT_FALSE(image.Threshold(0, 255));
    EXPECT_EQ(BlockBytes(image), before);
    EXPECT_EQ(recorder.messages, (std::vector<std::string>{"Reverse : unable to find data",
                                                           "SetDynamic : unable to find data",
                                                           "Threshold : unable to find data"}));
}
