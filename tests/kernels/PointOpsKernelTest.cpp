// The tone-curve and negative kernels against their plain loops, and the tone curve on
// regions of interest along the picture's edges.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "PointKernels.h"
#include "TestSupport.h"

TEST(PointOpsKernel, TableLookupMatchesThePlainLoopAtEveryLength) {
    std::mt19937 random(3);
    std::uint8_t table[256];
    for (std::uint8_t& entry : table) entry = static_cast<std::uint8_t>(random() >> 24);
    for (std::int64_t count = 0; count <= 67; ++count) {
        // Guard bytes on both sides must not move.
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(count) + 2);
        for (std::uint8_t& b : fast) b = static_cast<std::uint8_t>(random() >> 24);
        std::vector<std::uint8_t> plain = fast;
        pointkernels::MapRow(fast.data() + 1, count, table);
        pointkernels::reference::MapRow(plain.data() + 1, count, table);
        EXPECT_EQ(fast, plain) << count;
    }
}

TEST(PointOpsKernel, EveryLevelAtEveryAlignmentGoesThroughItsOwnEntry) {
    std::mt19937 random(9);
    std::uint8_t table[256];
    for (std::uint8_t& entry : table) entry = static_cast<std::uint8_t>(random() >> 24);
    for (int shift = 0; shift < 32; ++shift) {
        std::vector<std::uint8_t> fast(1024 + 32);
        for (std::size_t i = 0; i < fast.size(); ++i)
            fast[i] = static_cast<std::uint8_t>(i + static_cast<std::size_t>(shift));
        const std::vector<std::uint8_t> before = fast;
        pointkernels::MapRow(fast.data() + shift, 1024, table);
        for (std::size_t i = 0; i < fast.size(); ++i) {
            const bool mapped =
                i >= static_cast<std::size_t>(shift) && i < static_cast<std::size_t>(shift) + 1024;
            const std::uint8_t expected = mapped ? table[before[i]] : before[i];
            ASSERT_EQ(fast[i], expected) << shift << " " << i;
        }
    }
}

TEST(PointOpsKernel, NegativeAtEveryAlignmentAndLengthTurnsOverExactlyItsBytes) {
    // Lengths across the 32-byte head, the 128-byte turns and the tail.
    for (int shift = 0; shift < 32; ++shift)
        for (const std::int64_t count : {0, 1, 31, 32, 33, 127, 128, 160, 300, 1031}) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) + 64);
            for (std::size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<std::uint8_t>(i * 37);
            const std::vector<std::uint8_t> before = bytes;
            pointkernels::InvertRow(bytes.data() + shift, count);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const bool inside = i >= static_cast<std::size_t>(shift) &&
                                    i < static_cast<std::size_t>(shift + count);
                ASSERT_EQ(bytes[i], inside ? 255 - before[i] : before[i]) << shift << " " << count;
            }
        }
}

TEST(PointOpsKernel, ToneCurveOnEdgeRegionsChangesExactlyTheRegion) {
    std::mt19937 random(5);
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(255 - i / 3);
    const int width = 29, height = 11;
    const CRect regions[] = {{0, 0, width, height},
                             {0, 0, 1, 1},
                             {width - 1, 0, width, height},
                             {3, height - 2, width, height},
                             {0, 4, 17, 5}};
    for (const CRect& region : regions) {
        CImage image;
        FillPicture(image, width, height, [&](int, int) { return random() >> 24; });
        const std::vector<std::uint8_t> before = BlockBytes(image);
        ASSERT_TRUE(image.SetRoi(region));
        const CRect roi = image.GetRoi();
        ASSERT_TRUE(image.SetDynamic(table));
        const std::vector<std::uint8_t> after = BlockBytes(image);
        const std::size_t offset = CImage::kEngineHeaderBytes;
        const int stride = CImage::GetWidthBytes(width);
        for (std::size_t i = 0; i < before.size(); ++i) {
            const bool pixel = i >= offset;
            const int y = pixel ? static_cast<int>((i - offset) / stride) : -1;
            const int x = pixel ? static_cast<int>((i - offset) % stride) : -1;
            const bool inside =
                pixel && x >= roi.left && x < roi.right && y >= roi.top && y < roi.bottom;
            ASSERT_EQ(after[i], inside ? table[before[i]] : before[i]) << i;
        }
    }
}

TEST(PointOpsKernel, LargeRegionsInBandsMatchOneCore) {
    // Regions of some megabytes are split over the cores; the bands must meet
    // exactly, whatever the region's edges.
    std::mt19937 random(8);
    std::uint8_t table[256];
    for (std::uint8_t& entry : table) entry = static_cast<std::uint8_t>(random() >> 24);
    CImage source;
    FillPicture(source, 1517, 1999, [&](int, int) { return random() >> 24; });
    for (const CRect& region : {CRect{0, 0, 1517, 1999}, CRect{3, 1, 1510, 1998}}) {
        std::vector<std::uint8_t> results[2];
        for (const int threads : {1, 3}) {
            const CWorkerCount workers(threads);
            CImage image;
            image.SetHandle(CImage::CopyBlock(source.GetHandle()));
            ASSERT_TRUE(image.SetRoi(region));
            ASSERT_TRUE(image.SetDynamic(table));
            ASSERT_TRUE(image.Reverse());
            results[threads == 1 ? 0 : 1] = BlockBytes(image);
        }
        EXPECT_EQ(results[0], results[1]) << region.left << ", " << region.top;
    }
}
