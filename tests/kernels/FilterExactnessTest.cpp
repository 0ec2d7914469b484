// The fast convolution against the plain loop, byte for byte: every width
// from 1 to 67, rows with padding, regions touching the edges, kernels that
// split into a column times a row or not, sums in 16 or 32 bits, and any
// number of threads.
#include <gtest/gtest.h>

#include <random>

#include "ConvolutionKernel.h"
#include "TestSupport.h"

namespace {

// The whole block after the plain loop has run on a copy of the picture.
std::vector<std::uint8_t> ReferenceBlock(CImage& image, const CMask& mask) {
    std::vector<std::uint8_t> block = BlockBytes(image);
    const detail::KernelTable kernel = detail::MakeKernelTable(mask);
    const int half = (kernel.side - 1) / 2;
    const CRect& roi = image.GetRoi();
    const detail::PixelArea area{roi.left + half, roi.top + half,
                                 std::min(roi.right, image.GetWidth()) - half,
                                 std::min(roi.bottom, image.GetHeight()) - half};
    if (area.IsEmpty()) return block;
    const std::uint8_t* bits = image.GetBits(image.Lock());
    const std::size_t offset = static_cast<std::size_t>(bits - image.Lock());
    detail::FilterReference(bits, block.data() + offset,
                            static_cast<std::size_t>(CImage::GetWidthBytes(image.GetWidth())), area,
                            kernel);
    return block;
}

void RandomBlock(CImage& image, int width, int height, std::mt19937& random) {
    FillBlock(image, width, height, [&] { return random(); });
}

CMask MakeMask(int side, const std::vector<int>& cells) {
    std::int8_t values[49];
    for (int k = 0; k < side * side; ++k) values[k] = static_cast<std::int8_t>(cells[k]);
    CMask mask;
    if (side == 3) mask.Set3x3(values);
    if (side == 5) mask.Set5x5(values);
    if (side == 7) mask.Set7x7(values);
    return mask;
}

// Kernels of every kind the fast loop tells apart: flat, a column times a
// row (small or large weights), any cells (small or large), all zero.
CMask RandomMask(int side, int kind, std::mt19937& random) {
    std::vector<int> cells(static_cast<std::size_t>(side * side), 1);
    auto weight = [&](int limit) { return static_cast<int>(random() % (2 * limit + 1)) - limit; };
    if (kind == 1 || kind == 2) {
        const int limit = kind == 1 ? 2 : 11;
        std::vector<int> column(static_cast<std::size_t>(side)),
            row(static_cast<std::size_t>(side));
        for (int& w : column) w = weight(limit);
        for (int& w : row) w = weight(limit);
        for (int i = 0; i < side; ++i)
            for (int j = 0; j < side; ++j) cells[side * i + j] = column[i] * row[j];
    } else if (kind == 3 || kind == 4) {
        const int limit = kind == 3 ? 2 : 128;
        for (int& c : cells) c = std::clamp(weight(limit), -128, 127);
    } else if (kind == 5) {
        std::fill(cells.begin(), cells.end(), 0);
    }
    return MakeMask(side, cells);
}

}  // namespace

TEST(FilterExactness, ReciprocalDivisionIsExactForEveryAllowedDivisor) {
    // The quotient only grows with the sum, so checking both sides of every
    // multiple of the divisor checks every sum up to 256 times it.
    for (int divisor = 1; divisor <= detail::kMaxFastDivisor; ++divisor) {
        const float inverse = 1.0f / static_cast<float>(divisor);
        for (int k = 0; k <= 256; ++k) {
            const int expected = std::min(k, 255);
            ASSERT_EQ(detail::QuotientByte(k * divisor, inverse), expected) << divisor << " " << k;
            if (k > 0) {
                ASSERT_EQ(detail::QuotientByte(k * divisor - 1, inverse), k - 1)
                    << divisor << " " << k;
            }
        }
        // Negative sums truncate toward zero, then clamp to 0.
        ASSERT_EQ(detail::QuotientByte(-1, inverse), 0);
        ASSERT_EQ(detail::QuotientByte(-255 * divisor, inverse), 0);
    }
}

TEST(FilterExactness, PlainLoopTruncatesTowardZeroThenClamps) {
    // Sums no catalogue kernel reaches, straight through the kernel loop.
    struct Case {
        int cell, pixel, expected;
    };
    for (const Case c : {Case{-20, 15, 0}, Case{20, 250, 255}, Case{-1, 15, 0}, Case{1, 31, 1}}) {
        detail::KernelTable table;
        table.side = 1;
        table.divisor = 16;
        table.cells[0] = static_cast<std::int8_t>(c.cell);
        const std::uint8_t source[1] = {static_cast<std::uint8_t>(c.pixel)};
        std::uint8_t target[1] = {77};
        detail::FilterReference(source, target, 1, {0, 0, 1, 1}, table);
        EXPECT_EQ(target[0], c.expected) << c.cell << " x " << c.pixel;
    }
}

TEST(FilterExactness, SplitsOnlyKernelsOfRankOne) {
    detail::FilterPlan plan;
    ASSERT_TRUE(detail::MakeFilterPlan(detail::MakeKernelTable(CMask{}), plan));
    EXPECT_TRUE(plan.separable);
    EXPECT_TRUE(plan.narrow);
    // Sobel: (1 2 1) down times (-1 0 1) across.
    const CMask sobel = MakeMask(3, {-1, 0, 1, -2, 0, 2, -1, 0, 1});
    ASSERT_TRUE(detail::MakeFilterPlan(detail::MakeKernelTable(sobel), plan));
    EXPECT_TRUE(plan.separable);
    EXPECT_EQ(plan.rowWeights[1] * plan.columnWeights[2], 2);
    // Rows proportional to the first one but not integer multiples of it.
    const CMask thirds = MakeMask(3, {2, 2, 2, 3, 3, 3, 0, 0, 0});
    ASSERT_TRUE(detail::MakeFilterPlan(detail::MakeKernelTable(thirds), plan));
    EXPECT_TRUE(plan.separable);
    const CMask laplacian = MakeMask(3, {-1, -1, -1, -1, 8, -1, -1, -1, -1});
    ASSERT_TRUE(detail::MakeFilterPlan(detail::MakeKernelTable(laplacian), plan));
    EXPECT_FALSE(plan.separable);
    // 127 x 49 in one sum needs 32 bits.
    ASSERT_TRUE(detail::MakeFilterPlan(
        detail::MakeKernelTable(MakeMask(7, std::vector<int>(49, 127))), plan));
    EXPECT_FALSE(plan.narrow);
}

TEST(FilterExactness, EveryWidthAndKernelKindMatchesThePlainLoop) {
    std::mt19937 random(2024);
    CImage image;
    for (int width = 1; width <= 67; ++width) {
        const int height = 1 + static_cast<int>(random() % 24);
        for (int side : {3, 5, 7}) {
            for (int kind = 0; kind < 6; ++kind) {
                RandomBlock(image, width, height, random);
                const CMask mask = RandomMask(side, kind, random);
                const auto expected = ReferenceBlock(image, mask);
                ASSERT_TRUE(image.Filter(mask));
                ASSERT_EQ(BlockBytes(image), expected)
                    << width << "x" << height << " side " << side << " kind " << kind;
            }
        }
    }
}

TEST(FilterExactness, RegionsAtTheEdgesAndAnyThreadCountMatchThePlainLoop) {
    std::mt19937 random(77);
    CImage image;
    for (int trial = 0; trial < 60; ++trial) {
        const int width = 1 + static_cast<int>(random() % 67);
        const int height = 1 + static_cast<int>(random() % 150);
        const int side = 3 + 2 * static_cast<int>(random() % 3);
        const CMask mask = RandomMask(side, static_cast<int>(random() % 6), random);
        RandomBlock(image, width, height, random);
        // Regions touching one or more edges, or inside.
        const int left = random() % 2 ? 0 : static_cast<int>(random() % width);
        const int top = random() % 2 ? 0 : static_cast<int>(random() % height);
        const int right =
            random() % 2 ? width : left + static_cast<int>(random() % (width - left + 1));
        const int bottom =
            random() % 2 ? height : top + static_cast<int>(random() % (height - top + 1));
        ASSERT_TRUE(image.SetRoi({left, top, right, bottom}));
        const auto expected = ReferenceBlock(image, mask);
        const auto before = BlockBytes(image);
        for (int threads : {1, 2, 3, 7}) {
            const CWorkerCount workers(threads);
            ASSERT_TRUE(image.Filter(mask));
            ASSERT_EQ(BlockBytes(image), expected)
                << width << "x" << height << " side " << side << " threads " << threads;
            std::copy(before.begin(), before.end(), image.GetHandle()->Data());
        }
    }
}
