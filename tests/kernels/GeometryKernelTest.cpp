// The fast geometry kernels against their plain loops, and the turns and
// resizes that split their rows over threads against one thread.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "GeometryKernels.h"
#include "Parallel.h"
#include "TestSupport.h"

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t count, std::mt19937& random) {
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random() >> 24);
    return bytes;
}

void MakeRandom(CImage& image, int width, int height, std::mt19937& random) {
    FillPicture(image, width, height, [&](int, int) { return random() >> 24; });
}

// Restores the default number of threads when a test ends.
struct CWorkerCountGuard {
    ~CWorkerCountGuard() { SetWorkerCount(0); }
};

}  // namespace

TEST(GeometryKernels, RowReversalMatchesThePlainLoopAtEveryLength) {
    std::mt19937 random(1);
    for (std::int64_t count = 0; count <= 200; ++count) {
        std::vector<std::uint8_t> fast = RandomBytes(static_cast<std::size_t>(count) + 2, random);
        std::vector<std::uint8_t> plain = fast;
        geometrykernels::ReverseRow(fast.data() + 1, count);
        geometrykernels::reference::ReverseRow(plain.data() + 1, count);
        EXPECT_EQ(fast, plain) << count;
    }
}

TEST(GeometryKernels, RowSwapMatchesThePlainLoopAtEveryLength) {
    std::mt19937 random(3);
    for (std::int64_t count = 0; count <= 70; ++count) {
        std::vector<std::uint8_t> fast =
            RandomBytes(static_cast<std::size_t>(2 * count) + 3, random);
        std::vector<std::uint8_t> plain = fast;
        geometrykernels::SwapRows(fast.data() + 1, fast.data() + count + 2, count);
        geometrykernels::reference::SwapRows(plain.data() + 1, plain.data() + count + 2, count);
        EXPECT_EQ(fast, plain) << count;
    }
}

TEST(GeometryKernels, QuarterTurnsMatchThePlainLoopOnOddSizesAndBands) {
    std::mt19937 random(2);
    const int sizes[] = {1, 2, 15, 16, 17, 31, 33, 64, 67, 130};
    for (int width : sizes) {
        for (int height : sizes) {
            const std::int64_t stride = (width + 3) / 4 * 4;
            const std::vector<std::uint8_t> source =
                RandomBytes(static_cast<std::size_t>(stride * height), random);
            const std::int64_t dstStride = (height + 3) / 4 * 4 + 4;
            for (const bool clockwise : {true, false}) {
                geometrykernels::CQuarterTurn turn;
                turn.origin =
                    clockwise ? source.data() + width - 1 : source.data() + (height - 1) * stride;
                turn.rowStep = clockwise ? -1 : 1;
                turn.columnStep = clockwise ? stride : -stride;
                turn.newWidth = height;
                turn.dstStride = dstStride;
                std::vector<std::uint8_t> fast(static_cast<std::size_t>(dstStride * width), 7);
                std::vector<std::uint8_t> plain = fast;
                // A band that starts off the tile grid, then the rest.
                const std::int64_t split = width / 3;
                turn.dst = fast.data();
                geometrykernels::QuarterTurnRows(turn, split, width);
                geometrykernels::QuarterTurnRows(turn, 0, split);
                turn.dst = plain.data();
                geometrykernels::reference::QuarterTurnRows(turn, 0, width);
                ASSERT_EQ(fast, plain) << width << " x " << height << " " << clockwise;
            }
        }
    }
}

TEST(GeometryKernels, GatherMatchesThePlainLoop) {
    std::mt19937 random(4);
    const std::vector<std::uint8_t> in = RandomBytes(300, random);
    for (std::int64_t count = 0; count <= 67; ++count) {
        std::vector<std::uint32_t> columns(static_cast<std::size_t>(count));
        for (std::uint32_t& c : columns) c = random() % 300;
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(count)), plain = fast;
        geometrykernels::GatherRow(in.data(), columns.data(), count, fast.data());
        geometrykernels::reference::GatherRow(in.data(), columns.data(), count, plain.data());
        EXPECT_EQ(fast, plain) << count;

        // The halving shortcut is the gather of columns 0, 2, 4, ...
        for (std::int64_t i = 0; i < count; ++i) columns[static_cast<std::size_t>(i)] = 2 * i;
        geometrykernels::EvenBytesRow(in.data(), count, fast.data());
        geometrykernels::reference::GatherRow(in.data(), columns.data(), count, plain.data());
        EXPECT_EQ(fast, plain) << count;
    }
}

TEST(GeometryKernels, TurnsAndResizesAreTheSameOnOneThreadAndOnSeveral) {
    CWorkerCountGuard guard;
    std::mt19937 random(6);
    struct CCase {
        int width, height;
        unsigned angle;
        int newWidth, newHeight;
    };
    const CCase cases[] = {{301, 517, 90, 150, 258},
                           {517, 301, 270, 776, 452},
                           {257, 600, 180, 3, 1201},
                           {1000, 333, 90, 999, 334},
                           {1501, 1203, 270, 1601, 1399}};
    for (const CCase& c : cases) {
        CImage source;
        MakeRandom(source, c.width, c.height, random);
        std::vector<std::uint8_t> results[2];
        for (int threads : {1, 4}) {
            SetWorkerCount(threads);
            CImage image;
            image.SetHandle(CImage::CopyBlock(source.GetHandle()));
            ASSERT_TRUE(image.Rotate(c.angle, 9));
            ASSERT_TRUE(image.Resize(c.newWidth, c.newHeight));
            results[threads == 1 ? 0 : 1] = BlockBytes(image);
        }
        EXPECT_EQ(results[0], results[1]) << c.width << " x " << c.height << " " << c.angle;
    }
}

TEST(GeometryKernels, EnlargedRowsCopiedFromTheirNeighbourAreStillSampledRightly) {
    // 2 x 3 to 4 x 7: storage rows 0 0 0 1 1 2 2 of the source, columns 0 0 1 1.
    CImage image;
    FillPicture(image, 2, 3, [](int x, int y) { return 10 * y + x; });
    ASSERT_TRUE(image.Resize(4, 7));
    const int sourceRow[] = {0, 0, 0, 1, 1, 2, 2};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(image, x, y), 10 * sourceRow[y] + x / 2);
}
