// Binary morphology: single pixels, opening and closing, grey levels, the
// untouched border, and random pictures against a reference.
#include <gtest/gtest.h>

#include <random>

#include "KernelCatalogue.h"
#include "StepsFilter.h"
#include "TestSupport.h"

namespace {

// White pixels of a picture, as (x, storage row) pairs.
std::vector<std::pair<int, int>> WhitePixels(CImage& image) {
    std::vector<std::pair<int, int>> white;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (PixelAt(image, x, y) == 255) white.emplace_back(x, y);
    return white;
}

std::vector<std::pair<int, int>> Square(int x0, int y0, int side) {
    std::vector<std::pair<int, int>> cells;
    for (int y = y0; y < y0 + side; ++y)
        for (int x = x0; x < x0 + side; ++x) cells.emplace_back(x, y);
    return cells;
}

// Dilation or erosion written out from the definition.
std::vector<int> Reference(CImage& image, const CMask& element, bool dilate) {
    const int w = image.GetWidth(), h = image.GetHeight(), n = element.GetMaskSize(),
              half = (n - 1) / 2;
    std::vector<int> in, out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) in.push_back(PixelAt(image, x, y));
    out = in;
    for (int y = half; y < h - half; ++y)
        for (int x = half; x < w - half; ++x)
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    const int p = in[(y - half + i) * w + (x - half + j)];
                    if (element.GetCell(i, j) != 0 && dilate && p == 255) out[y * w + x] = 255;
                    if (element.GetCell(i, j) != 0 && !dilate && p != 255) out[y * w + x] = 0;
                }
    return out;
}

std::vector<int> Pixels(CImage& image) {
    std::vector<int> p;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) p.push_back(PixelAt(image, x, y));
    return p;
}

}  // namespace

TEST(Morphology, SinglePixelGrowsToASquareAndBack) {
    CImage image;
    image.CreateEmptyImage(9, 8, 0);
    PixelAt(image, 4, 3) = 255;
    EXPECT_TRUE(image.MorphoDilate(CMask{}));
    EXPECT_EQ(WhitePixels(image), Square(3, 2, 3));
    EXPECT_TRUE(image.MorphoErode(CMask{}));
    EXPECT_EQ(WhitePixels(image), Square(4, 3, 1));
    EXPECT_TRUE(image.MorphoErode(CMask{}));
    EXPECT_TRUE(WhitePixels(image).empty());
}

TEST(Morphology, OpeningRemovesSpecksAndClosingFillsHoles) {
    CImageDocument doc;
    CImage& image = *doc.GetImage();
    FillPicture(image, 12, 10, [](int x, int y) { return (x % 4 == 1 && y % 3 == 1) ? 255 : 0; });
    EXPECT_TRUE(StepOpen(doc));
    EXPECT_TRUE(WhitePixels(image).empty());

    FillPicture(image, 12, 10,
                [](int x, int y) { return (x == 5 && y == 4) || (x == 8 && y == 6) ? 0 : 255; });
    EXPECT_TRUE(StepClose(doc));
    EXPECT_EQ(WhitePixels(image).size(), 120u);
    EXPECT_EQ(doc.GetHistoryLines(),
              (std::vector<std::string>{"IMAGE BITMAP - HISTORIQUE", "Ouverture morphologique",
                                        "Fermeture morphologique"}));
}

TEST(Morphology, OnlyExactWhiteIsObject) {
    CImage image;
    FillPicture(image, 7, 7, [](int x, int y) { return (x == 3 && y == 3) ? 254 : 0; });
    EXPECT_TRUE(image.MorphoDilate(CMask{}));
    EXPECT_TRUE(WhitePixels(image).empty());
    EXPECT_EQ(PixelAt(image, 3, 3), 254);

    FillPicture(image, 7, 7, [](int x, int y) { return (x == 3 && y == 3) ? 254 : 255; });
    EXPECT_TRUE(image.MorphoErode(CMask{}));
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 6; ++x)
            EXPECT_EQ(PixelAt(image, x, y), (x >= 2 && x <= 4 && y >= 2 && y <= 4) ? 0 : 255);
    // The outermost rows and columns keep their values.
    EXPECT_EQ(PixelAt(image, 0, 3), 255);
    EXPECT_EQ(PixelAt(image, 6, 6), 255);
}

TEST(Morphology, RandomPicturesMatchTheDefinition) {
    std::mt19937 random(42);
    std::int8_t cells[49];
    for (int n : {3, 5, 7}) {
        // An element with holes and negative cells: any non-zero cell counts.
        for (int i = 0; i < n * n; ++i)
            cells[i] = static_cast<std::int8_t>(random() % 3 == 0 ? 0 : -3 + i % 5);
        const CMask element = MakeMask(n, cells);
        for (bool dilate : {true, false}) {
            CImage image;
            FillPicture(image, 13, 11,
                        [&](int, int) { return random() % 3 == 0 ? 128 : (random() % 2) * 255; });
            const std::vector<int> expected = Reference(image, element, dilate);
            EXPECT_TRUE(dilate ? image.MorphoDilate(element) : image.MorphoErode(element));
            EXPECT_EQ(Pixels(image), expected) << n << (dilate ? " dilate" : " erode");
        }
    }
}

TEST(Morphology, EmptyElementSmallPicturesAndMissingPicture) {
    CMessageRecorder recorder;
    CImage image;
    FillPicture(image, 6, 6, [](int x, int y) { return (x * y) % 2 ? 255 : 3; });
    const auto before = BlockBytes(image);
    std::int8_t zeros[9] = {};
    CMask none;
    none.Set3x3(zeros);
    EXPECT_TRUE(image.MorphoDilate(none));
    EXPECT_TRUE(image.MorphoErode(none));
    EXPECT_EQ(BlockBytes(image), before);

    for (const auto& [w, h] : {std::pair{1, 1}, {2, 5}, {5, 2}}) {
        CImage small;
        FillPicture(small, w, h, [](int x, int) { return x ? 255 : 0; });
        const auto bytes = BlockBytes(small);
        EXPECT_TRUE(small.MorphoDilate(CMask{}));
        EXPECT_TRUE(small.MorphoErode(CMask{}));
        EXPECT_EQ(BlockBytes(small), bytes);
    }

    CImage empty;
    EXPECT_FALSE(empty.MorphoDilate(CMask{}));
    EXPECT_FALSE(empty.MorphoErode(CMask{}));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(Morphology, DilatingTwiceThenUndoingRemovesOnlyTheSecond) {
    CImageDocument doc;
    CImage& image = *doc.GetImage();
    image.CreateEmptyImage(11, 11, 0);
    PixelAt(image, 5, 5) = 255;
    EXPECT_TRUE(StepDilate(doc));
    EXPECT_TRUE(StepDilate(doc));
    EXPECT_EQ(WhitePixels(image).size(), 25u);
    image.Undo();
    EXPECT_EQ(WhitePixels(image), Square(4, 4, 3));
    EXPECT_TRUE(StepErode(doc));
    EXPECT_EQ(doc.GetHistoryLines().back(), "Erosion morphologique");
}
