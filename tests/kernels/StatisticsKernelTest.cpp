// The fast statistics kernels against their plain loops: random pictures of
// odd widths and heights (so both the four-band and the left-over rows run),
// rows with padding, and long rows of 255 that need the 32-bit lanes emptied.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "Parallel.h"
#include "StatKernels.h"
#include "TestSupport.h"

namespace {

struct CRandomRows {
    std::vector<std::uint8_t> bytes;
    CRowsView view;
};

// Padding bytes hold random values too: a kernel that reads them shows.
CRandomRows MakeRows(std::int64_t width, std::int64_t height, std::mt19937& random) {
    CRandomRows rows;
    const std::int64_t stride = (width + 3) / 4 * 4 + 4;
    rows.bytes.resize(static_cast<std::size_t>(stride * height));
    for (std::uint8_t& b : rows.bytes) b = static_cast<std::uint8_t>(random() >> 24);
    rows.view = {rows.bytes.data(), width, height, stride};
    return rows;
}

void ExpectSameAsReference(const CRowsView& view) {
    using namespace statkernels;
    const CLevelSums fast = SumLevels(view, true), plain = reference::SumLevels(view, true);
    EXPECT_EQ(fast.sum, plain.sum);
    EXPECT_EQ(fast.squares, plain.squares);
    EXPECT_EQ(SumLevels(view, false).sum, plain.sum);
    EXPECT_EQ(MinLevel(view), reference::MinLevel(view));
    EXPECT_EQ(MaxLevel(view), reference::MaxLevel(view));
    const CLevelSummary summary = SummarizeLevels(view),
                        plainSummary = reference::SummarizeLevels(view);
    EXPECT_EQ(summary.least, plainSummary.least);
    EXPECT_EQ(summary.most, plainSummary.most);
    EXPECT_EQ(summary.sums.sum, plainSummary.sums.sum);
    EXPECT_EQ(summary.sums.squares, plainSummary.sums.squares);
    EXPECT_EQ(plainSummary.sums.squares, plain.squares);
}

}  // namespace

TEST(StatisticsKernels, RandomPicturesOfOddSizesMatchThePlainLoops) {
    std::mt19937 random(7);
    for (std::int64_t width = 1; width <= 67; ++width) {
        for (std::int64_t height : {1, 2, 3, 4, 5, 7, 9}) {
            SCOPED_TRACE(::testing::Message() << width << " x " << height);
            ExpectSameAsReference(MakeRows(width, height, random).view);
        }
    }
}

TEST(StatisticsKernels, ExtremesFoundInAnyBandAndTail) {
    // One low and one high pixel on a flat picture, moved over every place.
    const std::int64_t width = 37, height = 9, stride = 40;
    std::vector<std::uint8_t> bytes(stride * height, 128);
    const CRowsView view{bytes.data(), width, height, stride};
    for (std::int64_t y = 0; y < height; ++y) {
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint8_t& pixel = bytes[static_cast<std::size_t>(y * stride + x)];
            pixel = 3;
            EXPECT_EQ(statkernels::MinLevel(view), 3);
            EXPECT_EQ(statkernels::SummarizeLevels(view).least, 3);
            EXPECT_EQ(statkernels::SummarizeLevels(view).most, 128);
            pixel = 250;
            EXPECT_EQ(statkernels::MaxLevel(view), 250);
            EXPECT_EQ(statkernels::SummarizeLevels(view).most, 250);
            EXPECT_EQ(statkernels::SummarizeLevels(view).least, 128);
            pixel = 128;
        }
    }
}

TEST(StatisticsKernels, LongWhiteRowsKeepEverySquare) {
    // 140000 x 8 pixels of 255: each 32-bit lane would overflow without being
    // emptied on the way.
    const std::int64_t width = 140000, height = 8;
    std::vector<std::uint8_t> bytes(width * height, 255);
    const CRowsView view{bytes.data(), width, height, width};
    const CLevelSums sums = statkernels::SumLevels(view, true);
    EXPECT_EQ(sums.sum, 255ull * width * height);
    EXPECT_EQ(sums.squares, 255ull * 255ull * width * height);
    EXPECT_EQ(statkernels::MinLevel(view), 255);
    const CLevelSummary summary = statkernels::SummarizeLevels(view);
    EXPECT_EQ(summary.sums.squares, sums.squares);
    EXPECT_EQ(summary.least, 255);
}

TEST(StatisticsKernels, EmptyPictureGivesTheNeutralExtremes) {
    const CRowsView view{nullptr, 0, 0, 0};
    EXPECT_EQ(statkernels::MinLevel(view), 255);
    EXPECT_EQ(statkernels::MaxLevel(view), 0);
    EXPECT_EQ(statkernels::SumLevels(view, true).squares, 0u);
    const CLevelSummary summary = statkernels::SummarizeLevels(view);
    EXPECT_EQ(summary.least, 255);
    EXPECT_EQ(summary.most, 0);
}

TEST(StatisticsKernels, LevelCountsMatchThePlainCount) {
    std::mt19937 random(11);
    for (std::int64_t count = 0; count <= 67; ++count) {
        const CRandomRows rows = MakeRows(count, 1, random);
        CLevelCounts fast;
        statkernels::CountLevelsRow(rows.bytes.data(), count, fast);
        std::uint32_t merged[256], plain[256] = {};
        fast.Merge(merged);
        statkernels::reference::CountLevelsRow(rows.bytes.data(), count, plain);
        EXPECT_TRUE(std::equal(merged, merged + 256, plain)) << count;
    }
}

TEST(StatisticsKernels, LevelCountsPastTheSixteenBitCounters) {
    // Rows of one level (every count on one counter) and of noise, counted
    // row by row: the counters are emptied inside rows and between them.
    const std::int64_t cases[][3] = {
        {65536, 1, 0}, {200003, 1, 0}, {4093, 97, 0}, {7, 40000, 0}, {131071, 3, 1}};
    std::mt19937 random(17);
    for (const auto& [width, height, noisy] : cases) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(width), 201);
        for (std::uint8_t& b : row) b = noisy ? static_cast<std::uint8_t>(random() >> 24) : b;
        CLevelCounts fast;
        std::uint32_t merged[256], plain[256] = {};
        for (std::int64_t y = 0; y < height; ++y) {
            statkernels::CountLevelsRow(row.data(), width, fast);
            statkernels::reference::CountLevelsRow(row.data(), width, plain);
        }
        fast.Merge(merged);
        EXPECT_TRUE(std::equal(merged, merged + 256, plain)) << width << " x " << height;
    }
}

TEST(StatisticsKernels, MeasuresAreTheSameOnOneThreadAndOnSeveral) {
    // Large enough (67 MB) for the sums and extremes to be split too: one
    // random megabyte, repeated.
    CImage image;
    ASSERT_TRUE(image.CreateEmptyImage(8195, 8200, 0));
    std::uint8_t* bits = image.GetBits(image.Lock());
    const std::size_t chunk = 1 << 20;
    std::mt19937 random(13);
    for (std::size_t i = 0; i < chunk; ++i)
        bits[i] = static_cast<std::uint8_t>(20 + random() % 200);
    for (std::size_t i = chunk; i < image.GetImageSize(); i += chunk)
        std::memcpy(bits + i, bits, std::min<std::size_t>(chunk, image.GetImageSize() - i));
    struct CMeasures {
        int least, most;
        double deviation;
        CLevelStatistics together;
        std::vector<int> histogram;
    } results[2];
    for (int threads : {1, 3}) {
        SetWorkerCount(threads);
        CMeasures& m = results[threads == 1 ? 0 : 1];
        m = {image.GetMin(), image.GetMax(), image.GetStdev(), image.GetStatistics(), {}};
        ASSERT_TRUE(image.GenerateHistogram());
        for (int level = 0; level < 256; ++level)
            m.histogram.push_back(image.GetHistogramValue(level));
    }
    SetWorkerCount(0);
    EXPECT_EQ(results[0].least, results[1].least);
    EXPECT_EQ(results[0].most, results[1].most);
    EXPECT_EQ(results[0].deviation, results[1].deviation);
    for (const CMeasures& m : results) {
        EXPECT_EQ(m.together.minimum, results[0].least);
        EXPECT_EQ(m.together.maximum, results[0].most);
        EXPECT_EQ(m.together.stdev, results[0].deviation);
    }
    EXPECT_EQ(results[0].histogram, results[1].histogram);
    EXPECT_GE(results[0].least, 20);
    EXPECT_LE(results[0].most, 219);
}
