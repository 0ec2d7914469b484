// The conversion to grey's row kernel against its plain loop: every colour,
// rows of every short width read and written to their exact ends, and a
// picture large enough to be converted in bands on two cores.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "GreyKernels.h"
#include "TestSupport.h"

TEST(GreyKernel, EveryColourGivesThePlainLoopsLevel) {
    // One row per red level holds every green and blue.
    constexpr std::int64_t kWidth = 65536;
    std::vector<std::uint8_t> row(3 * kWidth), fast(kWidth), plain(kWidth);
    for (int red = 0; red < 256; ++red) {
        for (std::int64_t i = 0; i < kWidth; ++i) {
            row[3 * i] = static_cast<std::uint8_t>(i);
            row[3 * i + 1] = static_cast<std::uint8_t>(i >> 8);
            row[3 * i + 2] = static_cast<std::uint8_t>(red);
        }
        greykernels::BgrRow(row.data(), kWidth, fast.data());
        greykernels::reference::BgrRow(row.data(), kWidth, plain.data());
        ASSERT_EQ(0, std::memcmp(fast.data(), plain.data(), kWidth)) << "red " << red;
    }
}

TEST(GreyKernel, ShortRowsAreReadAndWrittenToTheirEndsOnly) {
    // Buffers of the exact sizes: a byte read or written past them is caught
    // by the address checker of the test build.
    std::mt19937 random(11);
    for (std::int64_t width = 1; width <= 99; ++width) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(3 * width));
        for (std::uint8_t& b : row) b = static_cast<std::uint8_t>(random() >> 24);
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(width)), plain(fast.size());
        greykernels::BgrRow(row.data(), width, fast.data());
        greykernels::reference::BgrRow(row.data(), width, plain.data());
        EXPECT_EQ(fast, plain) << width;
    }
}

TEST(GreyKernel, LargeColourPictureConvertedInBandsMatchesEachPixel) {
    // 1021 x 777 pixels: odd width, row padding, two bands of rows.
    const CWorkerCount twoCores(2);
    const int width = 1021, height = 777, stride = (3 * width + 3) & ~3;
    HBLOCK block =
        CMemBlock::Allocate(CImage::kInfoHeaderSize + static_cast<std::uint64_t>(stride) * height);
    ASSERT_TRUE(block);
    CImage::WriteHeader(block.get(), CImage::kInfoHeaderSize, width, height, 1, 24, 0,
                        static_cast<std::uint32_t>(stride * height), 0, 0, 0, 0);
    std::uint8_t* bits = block->Data() + CImage::kInfoHeaderSize;
    std::mt19937 random(13);
    for (int i = 0; i < stride * height; ++i) bits[i] = static_cast<std::uint8_t>(random() >> 24);
    const std::vector<std::uint8_t> colour(bits, bits + stride * height);
    CImage image;
    image.SetHandle(std::move(block));
    ASSERT_TRUE(image.ConvertToGrey());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = colour.data() + y * stride + 3 * x;
            ASSERT_EQ(PixelAt(image, x, y), greykernels::Luminance(p[2], p[1], p[0]))
                << x << ", " << y;
        }
    }
}
