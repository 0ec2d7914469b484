// Statistics and histogram of the whole picture, and their display texts.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ImageStatistics.h"
#include "OddPictures.h"
#include "TestSupport.h"

TEST(Statistics, TenValuesWithPadding) {
    CImage image;
    // Stride 8: the three padding bytes of each row must not count.
    FillPicture(image, 5, 2, [](int x, int y) { return 10 * (5 * y + x + 1); });
    PixelAt(image, 6, 0) = 255;
    PixelAt(image, 7, 1) = 1;
    EXPECT_EQ(image.GetMin(), 10);
    EXPECT_EQ(image.GetMax(), 100);
    EXPECT_EQ(image.GetSum(), 550u);
    EXPECT_EQ(image.GetMean(), 55);
    EXPECT_DOUBLE_EQ(image.GetStdev(), std::sqrt(8250.0 / 10));
    ASSERT_TRUE(image.GenerateHistogram());
    for (int v = 10; v <= 100; v += 10) EXPECT_EQ(image.GetHistogramValue(v), 1) << v;
    EXPECT_EQ(image.GetHistogramValue(255), 0);
    EXPECT_EQ(image.GetHistogramValue(0), 0);
    EXPECT_EQ(image.GetHistogramMax(), 1u);
}

TEST(Statistics, DeviationIsTakenAroundTheIntegerMean) {
    CImage image;
    FillPicture(image, 4, 1, [](int x, int) { return 1 + x % 2; });
    EXPECT_EQ(image.GetMean(), 1);
    EXPECT_DOUBLE_EQ(image.GetStdev(), std::sqrt(0.5));
}

TEST(Statistics, UniformPicture) {
    CImage image;
    image.CreateEmptyImage(9, 3, 7);
    EXPECT_EQ(image.GetMin(), 7);
    EXPECT_EQ(image.GetMax(), 7);
    EXPECT_EQ(image.GetMean(), 7);
    EXPECT_EQ(image.GetStdev(), 0.0);
    ASSERT_TRUE(image.GenerateHistogram());
    EXPECT_EQ(image.GetHistogramValue(7), 27);
    EXPECT_EQ(image.GetHistogramMax(), 27u);
    EXPECT_EQ(image.GetHistogramValue(-1), 0);
    EXPECT_EQ(image.GetHistogramValue(256), 0);
}

TEST(Statistics, SumDoesNotWrapAtFourBillion) {
    CImage image;
    ASSERT_TRUE(image.CreateEmptyImage(70000, 280, 255));
    EXPECT_EQ(image.GetSum(), 255ull * 70000 * 280);
    EXPECT_EQ(image.GetMean(), 255);
    EXPECT_EQ(image.GetStdev(), 0.0);
}

TEST(Statistics, HistogramNeedsTwoHundredFiftySixColours) {
    CMessageRecorder recorder;
    CImage image;
    MakeSixteenColours(image);
    EXPECT_FALSE(image.GenerateHistogram());
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Histogram : 256 colors only"});
    // The other measurements do not look at the colour count. The rows now
    // start after a 64-byte table, inside the old grey table: 16, 16, 16, 0, 17.
    EXPECT_EQ(image.GetMin(), 0);
    EXPECT_EQ(image.GetMax(), 19);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST(Statistics, EmptyPictureMessages) {
    CMessageRecorder recorder;
    CImage image;
    EXPECT_EQ(image.GetMin(), 0);
    EXPECT_EQ(image.GetMax(), 0);
    EXPECT_EQ(image.GetSum(), 0u);
    EXPECT_EQ(image.GetMean(), 0);
    EXPECT_EQ(image.GetStdev(), 0.0);
    EXPECT_FALSE(image.GenerateHistogram());
    EXPECT_EQ(recorder.messages, (std::vector<std::string>{
                                     "GetMin : invalid handle", "GetMax : invalid handle",
                                     "GetSum : invalid handle", "GetSum : invalid handle",
                                     "GetStdev : invalid handle", "Histogram : 256 colors only"}));
}

TEST(Statistics, HeaderClaimingMoreRowsThanTheBlockHolds) {
    CMessageRecorder recorder;
    CImage image;
    MakeWithHeaderField(image, 8, 2, 3, header::kHeight, 2000);
    const auto before = BlockBytes(image);
    EXPECT_EQ(image.GetMax(), 0);
    EXPECT_FALSE(image.GenerateHistogram());
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{"GetMax : unable to find data",
                                        "GenerateHistogram : unable to find data"}));
    EXPECT_EQ(BlockBytes(image), before);
}

TEST(Statistics, DialogTexts) {
    CImage image;
    FillPicture(image, 2, 2, [](int x, int) { return x == 0 ? 0 : 255; });
    const CImageStatistics s = CImageStatistics::Measure(image);
    EXPECT_EQ(s.PixelsText(), "4");
    EXPECT_EQ(s.MinimumText(), "0");
    EXPECT_EQ(s.MaximumText(), "255");
    EXPECT_EQ(s.SumText(), "510");
    EXPECT_EQ(s.MeanText(), "127");
    // Deviations 127, 127, 128, 128 around the integer mean: sqrt(16256.5).
    EXPECT_EQ(s.StdevText(), "127.500980388388");

    CImage uniform;
    uniform.CreateEmptyImage(3, 1, 0);
    EXPECT_EQ(CImageStatistics::Measure(uniform).StdevText(), "0");
}

TEST(Statistics, OneCallGivesTheNumbersOfTheFive) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 24; ++trial) {
        const int width = 1 + trial * 11 % 70, height = 1 + trial * 5 % 13;
        CImage image;
        // Narrow spreads too, so that the mean's truncation matters.
        FillPicture(image, width, height, [&](int, int) {
            return trial % 3 ? random() % 256 : 100 + random() % (1 + trial % 4);
        });
        const CLevelStatistics s = image.GetStatistics();
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        EXPECT_EQ(s.minimum, image.GetMin());
        EXPECT_EQ(s.maximum, image.GetMax());
        EXPECT_EQ(s.sum, image.GetSum());
        EXPECT_EQ(s.mean, image.GetMean());
        EXPECT_EQ(s.stdev, image.GetStdev());
        // The squares, which the levels' exact figures come from, as the
        // histogram gives them.
        ASSERT_TRUE(image.GenerateHistogram());
        std::uint64_t squares = 0;
        for (std::uint64_t v = 0; v < 256; ++v)
            squares +=
                static_cast<std::uint64_t>(image.GetHistogramValue(static_cast<int>(v))) * v * v;
        EXPECT_EQ(s.squares, squares);
    }
}

TEST(Statistics, OneCallReportsOnceAndGivesZeros) {
    CMessageRecorder recorder;
    CImage image;
    const CLevelStatistics s = image.GetStatistics();
    EXPECT_EQ(s.minimum, 0);
    EXPECT_EQ(s.maximum, 0);
    EXPECT_EQ(s.stdev, 0.0);
    MakeWithHeaderField(image, 8, 2, 3, header::kHeight, 2000);
    EXPECT_EQ(image.GetStatistics().sum, 0u);
    EXPECT_EQ(recorder.messages, (std::vector<std::string>{"GetStatistics : invalid handle",
                                                           "GetStatistics : unable to find data"}));
}

TEST(Statistics, DeviationMatchesAPixelByPixelSumExactly) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 20; ++trial) {
        const int width = 1 + trial * 7 % 40, height = 1 + trial * 3 % 17;
        CImage image;
        FillPicture(image, width, height,
                    [&](int, int) { return random() % (trial % 2 ? 256 : 9); });
        const int mean = image.GetMean();
        double squares = 0.0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) squares += std::pow(PixelAt(image, x, y) - mean, 2);
        EXPECT_EQ(image.GetStdev(), std::sqrt(squares / (width * height)))
            << width << "x" << height;
    }
}
