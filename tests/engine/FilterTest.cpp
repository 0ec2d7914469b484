// Convolution: the computed area, orientation, divisor, clamping, failures,
// and every catalogue kernel against a straightforward reference.
#include <gtest/gtest.h>

#include <random>

#include "KernelCatalogue.h"
#include "TestSupport.h"

namespace {

using Pixels = std::vector<std::vector<int>>;  // [storage row][column]

Pixels Snapshot(CImage& image) {
    Pixels p(image.GetHeight(), std::vector<int>(image.GetWidth()));
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) p[y][x] = PixelAt(image, x, y);
    return p;
}

// Convolution written out from its definition, on the picture as it was.
Pixels Reference(const Pixels& in, const CRect& roi, const CMask& mask) {
    Pixels out = in;
    const int n = mask.GetMaskSize(), half = (n - 1) / 2;
    int norm = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) norm += std::abs(mask.GetCell(i, j));
    if (norm < 1) norm = 1;
    for (int y = roi.top + half; y < roi.bottom - half; ++y) {
        for (int x = roi.left + half; x < roi.right - half; ++x) {
            int sum = 0;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    sum += in[y - half + i][x - half + j] * mask.GetCell(i, j);
            const int q = sum / norm;  // C++ truncates toward zero
            out[y][x] = q < 0 ? 0 : (q > 255 ? 255 : q);
        }
    }
    return out;
}

void RandomPicture(CImage& image, int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    FillPicture(image, width, height, [&](int, int) { return random() % 256; });
}

CMask Mask3(std::initializer_list<int> cells) {
    std::int8_t values[9];
    std::copy(cells.begin(), cells.end(), values);
    CMask mask;
    mask.Set3x3(values);
    return mask;
}

}  // namespace

TEST(Mask, StartsAsFlatThreeByThree) {
    const CMask mask;
    EXPECT_EQ(mask.GetMaskSize(), 3);
    EXPECT_EQ(mask.GetNorm(), 9);
    EXPECT_EQ(mask.GetCell(2, 2), 1);
    EXPECT_EQ(mask.GetCell(3, 3), 0);
    // Row and column are taken modulo 256 and never leave the 11 x 11 cells.
    EXPECT_EQ(mask.GetCell(256, 257), mask.GetCell(0, 1));
    EXPECT_NO_FATAL_FAILURE(mask.GetCell(-1, 255));
}

TEST(Filter, OnlyTheRegionLessHalfTheKernelIsComputed) {
    CImage image;
    image.CreateEmptyImage(20, 20, 100);
    EXPECT_TRUE(image.Filter(CMask{}));
    EXPECT_EQ(Snapshot(image), Pixels(20, std::vector<int>(20, 100)));

    // Zero kernel: divisor 1, computed pixels become 0, the ROI's ring stays.
    ASSERT_TRUE(image.SetRoi({3, 4, 11, 15}));  // storage rows 5 .. 15
    EXPECT_TRUE(image.Filter(Mask3({0, 0, 0, 0, 0, 0, 0, 0, 0})));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool computed = x >= 4 && x <= 9 && y >= 6 && y <= 14;
            EXPECT_EQ(PixelAt(image, x, y), computed ? 0 : 100) << x << "," << y;
        }
}

TEST(Filter, FiveByFiveOnTenByTenComputesRowsAndColumnsTwoToSeven) {
    CImage image;
    image.CreateEmptyImage(10, 10, 50);
    std::int8_t zeros[25] = {};
    CMask mask;
    mask.Set5x5(zeros);
    EXPECT_TRUE(image.Filter(mask));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(PixelAt(image, x, y), (x >= 2 && x <= 7 && y >= 2 && y <= 7) ? 0 : 50);
}

TEST(Filter, KernelsWiderThanTheRegionChangeNothing) {
    CImage image;
    RandomPicture(image, 12, 12, 7);
    const auto before = BlockBytes(image);
    std::int8_t zeros[49] = {};
    CMask seven;
    seven.Set7x7(zeros);
    ASSERT_TRUE(image.SetRoi({2, 0, 8, 12}));  // 6 columns
    EXPECT_TRUE(image.Filter(seven));
    EXPECT_EQ(BlockBytes(image), before);

    for (const auto& [w, h] : {std::pair{1, 1}, {2, 9}, {6, 6}, {3, 2}}) {
        CImage small;
        RandomPicture(small, w, h, 3);
        const auto bytes = BlockBytes(small);
        EXPECT_TRUE(small.Filter(seven));
        EXPECT_EQ(BlockBytes(small), bytes) << w << "x" << h;
    }
}

TEST(Filter, IdentityAndOrientation) {
    CImage image;
    RandomPicture(image, 9, 7, 11);
    const Pixels before = Snapshot(image);
    EXPECT_TRUE(image.Filter(Mask3({0, 0, 0, 0, 1, 0, 0, 0, 0})));
    EXPECT_EQ(Snapshot(image), before);

    // Kernel row 0 lies on the storage row below the centre, which is the
    // line displayed below it.
    EXPECT_TRUE(image.Filter(Mask3({0, 1, 0, 0, 0, 0, 0, 0, 0})));
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 8; ++x) EXPECT_EQ(PixelAt(image, x, y), before[y - 1][x]);
}

TEST(Filter, DividesBySumOfAbsoluteValuesTruncatingAndClamping) {
    // Laplacian: divisor 16. Centre 0 among 8 neighbours summing to 300
    // gives -300 / 16 = -18, clamped to 0; centre 40 among neighbours of 10
    // gives 240 / 16 = 15.
    CImage image;
    FillPicture(image, 3, 3,
                [](int x, int y) { return (x == 1 && y == 1) ? 0 : (x == 0 && y == 0 ? 20 : 40); });
    EXPECT_TRUE(image.Filter(Mask3({-1, -1, -1, -1, 8, -1, -1, -1, -1})));
    EXPECT_EQ(PixelAt(image, 1, 1), 0);
    FillPicture(image, 3, 3, [](int x, int y) { return (x == 1 && y == 1) ? 40 : 10; });
    EXPECT_TRUE(image.Filter(Mask3({-1, -1, -1, -1, 8, -1, -1, -1, -1})));
    EXPECT_EQ(PixelAt(image, 1, 1), 15);
}

TEST(Filter, EveryCatalogueKernelMatchesTheReference) {
    CImage image;
    for (const CKernelEntry& entry : GetKernelCatalogue()) {
        const CMask mask = MakeKernelMask(entry);
        RandomPicture(image, 23, 17, 5);
        ASSERT_TRUE(image.SetRoi({2, 1, 21, 16}));
        const Pixels expected = Reference(Snapshot(image), image.GetRoi(), mask);
        EXPECT_TRUE(image.Filter(mask));
        EXPECT_EQ(Snapshot(image), expected) << entry.key;
        // Padding bytes are never written.
        EXPECT_EQ(BlockBytes(image).back(), 0) << entry.key;
    }
}

TEST(Filter, MissingOrTruncatedPicturesAreRefusedByEveryOperation) {
    CMessageRecorder recorder;
    CImage image;
    HBLOCK block = CMemBlock::Allocate(CImage::kEngineHeaderBytes + 10);
    CImage::WriteHeader(block.get(), 40, 100, 100, 1, 8, 0, 10000, 0, 0, 256, 256);
    image.SetHandle(std::move(block));
    const auto before = BlockBytes(image);
    EXPECT_FALSE(image.Filter(CMask{}));
    EXPECT_FALSE(image.MorphoDilate(CMask{}));
    EXPECT_FALSE(image.MorphoErode(CMask{}));
    EXPECT_FALSE(image.Perspective(0, 64, 10, 30, 30, 100, 255));
    EXPECT_EQ(BlockBytes(image), before);
    CImage empty;
    EXPECT_FALSE(empty.Filter(CMask{}));
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{
                  "Filter : unable to find data", "MorphoDilate : unable to find data",
                  "MorphoErode : unable to find data", "Perspective : unable to find data",
                  "Filter : invalid handle"}));
}
