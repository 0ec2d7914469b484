// The fast dilation and erosion against the plain loops, byte for byte: every
// width from 1 to 67, rows with padding, any element, any number of threads.
#include <gtest/gtest.h>

#include <random>

#include "MorphologyKernel.h"
#include "TestSupport.h"

namespace {

std::vector<std::uint8_t> ReferenceBlock(CImage& image, const CMask& element,
                                         detail::MorphoOperation operation) {
    std::vector<std::uint8_t> block = BlockBytes(image);
    const std::uint8_t* bits = image.GetBits(image.Lock());
    const std::size_t offset = static_cast<std::size_t>(bits - image.Lock());
    detail::MorphoReference(bits, block.data() + offset,
                            static_cast<std::size_t>(CImage::GetWidthBytes(image.GetWidth())),
                            image.GetWidth(), image.GetHeight(), detail::MakeElementTable(element),
                            operation);
    return block;
}

// Mostly white and black, with 254 and other levels.
void RandomBlock(CImage& image, int width, int height, std::mt19937& random) {
    constexpr std::uint8_t kLevels[] = {0, 255, 255, 255, 0, 254, 1, 128};
    FillBlock(image, width, height, [&] { return kLevels[random() % 8]; });
}

// Full squares, the empty element, and random cells of any sign.
CMask RandomElement(int side, int kind, std::mt19937& random) {
    std::int8_t cells[49];
    for (int k = 0; k < side * side; ++k)
        cells[k] = kind == 0   ? 1
                   : kind == 1 ? 0
                               : static_cast<std::int8_t>(random() % 3 == 0 ? 0 : random());
    CMask mask;
    if (side == 3) mask.Set3x3(cells);
    if (side == 5) mask.Set5x5(cells);
    if (side == 7) mask.Set7x7(cells);
    return mask;
}

}  // namespace

TEST(MorphoExactness, EveryWidthElementAndThreadCountMatchesThePlainLoops) {
    std::mt19937 random(99);
    CImage image;
    for (int width = 1; width <= 67; ++width) {
        const int height = 1 + static_cast<int>(random() % 90);
        for (int side : {3, 5, 7}) {
            for (int kind = 0; kind < 4; ++kind) {
                const CMask element = RandomElement(side, kind, random);
                for (const auto operation :
                     {detail::MorphoOperation::Dilate, detail::MorphoOperation::Erode}) {
                    RandomBlock(image, width, height, random);
                    const auto before = BlockBytes(image);
                    const auto expected = ReferenceBlock(image, element, operation);
                    for (int threads : {1, 3}) {
                        const CWorkerCount workers(threads);
                        std::copy(before.begin(), before.end(), image.GetHandle()->Data());
                        ASSERT_TRUE(operation == detail::MorphoOperation::Dilate
                                        ? image.MorphoDilate(element)
                                        : image.MorphoErode(element));
                        ASSERT_EQ(BlockBytes(image), expected)
                            << width << "x" << height << " side " << side << " kind " << kind
                            << " threads " << threads;
                    }
                }
            }
        }
    }
}

TEST(MorphoExactness, RowsSharingColumnsAreMergedOnce) {
    // A cross: the middle row covers three columns, the others one.
    const std::int8_t cross[9] = {0, 1, 0, 1, 1, 1, 0, 1, 0};
    CMask mask;
    mask.Set3x3(cross);
    const detail::MorphoPlan plan =
        detail::MakeMorphoPlan(detail::MakeElementTable(mask), detail::MorphoOperation::Erode);
    EXPECT_EQ(plan.patternCount, 2);
    EXPECT_FALSE(plan.fullSquare);
    EXPECT_EQ(plan.rowPattern[0], plan.rowPattern[2]);
    EXPECT_TRUE(
        detail::MakeMorphoPlan(detail::MakeElementTable(CMask{}), detail::MorphoOperation::Dilate)
            .fullSquare);
}
