// Perspective rendering: result size, bar shading, base positions, cloud
// points, and parameters that would draw outside the new picture.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "StepsFilter.h"
#include "TestSupport.h"

namespace {

// A 100 x 80 black picture with one lit pixel.
void OnePixel(CImage& image, int x, int y, int value) {
    image.CreateEmptyImage(100, 80, 0);
    PixelAt(image, x, y) = static_cast<std::uint8_t>(value);
}

// Storage row of the base of source pixel (x, y) with the default angles and border.
int BaseRow(int x, int y) {
    const float s = static_cast<float>(std::sin(30 * 0.01745327843560113));
    const float c = static_cast<float>(std::cos(30 * 0.01745327843560113));
    return static_cast<int>(static_cast<double>(static_cast<float>(x) * s) +
                            y * static_cast<double>(c) + 10);
}

}  // namespace

TEST(Perspective, DefaultsGiveTheDocumentedSize) {
    CImage image;
    image.CreateEmptyImage(100, 80, 0);
    EXPECT_TRUE(image.Perspective(0, 64, 10, 30, 30, 100, 255));
    EXPECT_EQ(image.GetSize(), (CSize{200, 203}));
    EXPECT_EQ(image.GetRoi(), (CRect{0, 0, 200, 203}));
    EXPECT_EQ(image.GetNumColors(), 256);
}

TEST(Perspective, BarsShadeFromZeroToTheirLevel) {
    CImage image;
    OnePixel(image, 50, 40, 255);
    EXPECT_TRUE(image.Perspective(0, 64, 10, 30, 30, 100, 255));
    const int column = 50 + (80 - 40) + 10, base = BaseRow(50, 40);
    const int expected[] = {0, 3, 7, 11, 15};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(PixelAt(image, column, base + k), expected[k]);
    EXPECT_EQ(PixelAt(image, column, base + 32), 127);
    EXPECT_EQ(PixelAt(image, column, base + 64), 255);
    EXPECT_EQ(PixelAt(image, column, base + 65), 100);

    OnePixel(image, 50, 40, 128);
    EXPECT_TRUE(image.Perspective(0, 64, 10, 30, 30, 100, 255));
    EXPECT_EQ(PixelAt(image, column, base + 32), 127);
}

TEST(Perspective, BlackPictureLeavesBasePointsAndEdges) {
    CImage image;
    image.CreateEmptyImage(100, 80, 0);
    EXPECT_TRUE(image.Perspective(0, 64, 10, 30, 30, 100, 255));
    // Source pixel (1, 1) is drawn last: its base at column h + 10, row 11.
    EXPECT_EQ(BaseRow(1, 1), 11);
    EXPECT_EQ(PixelAt(image, 90, 11), 0);
    // The base edges one row below the projected bottom and left sides.
    EXPECT_EQ(PixelAt(image, 99 + 80 + 10, static_cast<int>(99 * 0.4999996f) + 9), 255);
    EXPECT_EQ(PixelAt(image, 80 - 79 + 10, static_cast<int>(79 * 0.8660256f) + 9), 255);
    // Column 0 and storage row 0 of the source are not drawn.
    EXPECT_EQ(PixelAt(image, 80 + 10, 10), 100);
}

TEST(Perspective, CloudDrawsOnePointPerPixelAndNoEdges) {
    CImage image;
    OnePixel(image, 50, 40, 255);
    EXPECT_TRUE(image.Perspective(1, 64, 10, 30, 30, 100, 255));
    const int column = 100, base = BaseRow(50, 40);
    EXPECT_EQ(PixelAt(image, column, base + 64), 255);
    EXPECT_EQ(PixelAt(image, column, base + 63), 100);
    EXPECT_EQ(PixelAt(image, 99 + 80 + 10, static_cast<int>(99 * 0.4999996f) + 9), 100);
    int black = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) black += PixelAt(image, x, y) == 0;
    EXPECT_GT(black, 7000);  // one point for each of the 99 x 79 drawn pixels, a few covered

    // Any other mode draws nothing on the background.
    image.CreateEmptyImage(10, 10, 255);
    EXPECT_TRUE(image.Perspective(7, 64, 10, 30, 30, 100, 255));
    EXPECT_EQ(BlockBytes(image).back(), 100);
}

TEST(Perspective, KeepsTheSourceColours) {
    CImage image;
    image.CreateEmptyImage(8, 8, 9);
    std::uint8_t* table = image.Lock() + CImage::kInfoHeaderSize;
    for (int i = 0; i < 1024; ++i) table[i] = static_cast<std::uint8_t>(i * 7);
    image.FillPalette();
    const auto before = BlockBytes(image);
    EXPECT_TRUE(image.Perspective(0, 64, 10, 30, 30, 100, 255));
    const auto after = BlockBytes(image);
    for (int i = 0; i < 1024; i += 4) {
        EXPECT_EQ(std::vector(after.begin() + 40 + i, after.begin() + 43 + i),
                  std::vector(before.begin() + 40 + i, before.begin() + 43 + i))
            << i / 4;
    }
    EXPECT_EQ(image.GetPalette()->entries[5].red, static_cast<std::uint8_t>(22 * 7));
}

TEST(Perspective, OddParametersStayInsideTheNewPicture) {
    struct Case {
        int amplitude, border, right, left;
    };
    for (const Case c : {Case{0, 10, 30, 30}, Case{-50, 10, 30, 30}, Case{64, -10, 30, 30},
                         Case{64, 0, 30, 30}, Case{64, 10, 200, 30}, Case{64, 10, -400, 135},
                         Case{255, 3, 90, 90}, Case{1000, -40, 45, 60}}) {
        for (int mode : {0, 1}) {
            CImage image;
            FillPicture(image, 37, 29, [](int x, int y) { return (x * 31 + y * 17) % 256; });
            CMessageRecorder recorder;
            const bool done =
                image.Perspective(mode, c.amplitude, c.border, c.right, c.left, 100, 255);
            EXPECT_TRUE(done || !recorder.messages.empty()) << c.amplitude << " " << c.border;
            EXPECT_GT(image.GetWidth(), 0);
        }
    }
}

TEST(Perspective, RefusesEmptyAndOversizedResults) {
    CMessageRecorder recorder;
    CImage image;
    image.CreateEmptyImage(100, 80, 5);
    const auto before = BlockBytes(image);
    EXPECT_FALSE(image.Perspective(0, 64, -100, 30, 30, 100, 255));
    EXPECT_FALSE(image.Perspective(0, 64, 100000, 30, 30, 100, 255));
    EXPECT_FALSE(image.Perspective(0, INT_MAX, 10, 30, 30, 100, 255));
    EXPECT_FALSE(image.Perspective(1, 64, INT_MAX, 30, 30, 100, 255));
    EXPECT_EQ(BlockBytes(image), before);
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{
                  "Perspective : empty result", "Perspective : result too large",
                  "Perspective : result too large", "Perspective : result too large"}));

    CImage empty;
    EXPECT_FALSE(empty.Perspective(0, 64, 10, 30, 30, 100, 255));
    EXPECT_EQ(recorder.messages.back(), "Perspective : invalid handle");
}

TEST(Perspective, StepRecordsItsLineAfterTheRendering) {
    CImageDocument doc;
    doc.GetImage()->CreateEmptyImage(20, 10, 0);
    EXPECT_TRUE(StepPerspective(doc, PerspectiveMode::Cloud, {}));
    EXPECT_TRUE(doc.GetImage()->HasBackup());
    EXPECT_EQ(doc.GetImage()->GetWidth(), 50);
    CMessageRecorder recorder;
    EXPECT_FALSE(StepPerspective(doc, PerspectiveMode::Gradient, {64, -1000, 30, 30, 100, 255}));
    EXPECT_EQ(doc.GetHistoryLines(),
              (std::vector<std::string>{"IMAGE BITMAP - HISTORIQUE", "Perpective nuage",
                                        "Perspective gradient"}));
}
