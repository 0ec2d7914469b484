// Processing steps for palettes, point operations and geometry: history
// lines, undo copies and results.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "StepsImage.h"
#include "TestSupport.h"

namespace {

// A document holding a 6 x 4 picture of varied levels.
void MakeDocument(CImageDocument& doc) {
    FillPicture(*doc.GetImage(), 6, 4, [](int x, int y) { return 40 * y + 10 * x; });
}

std::string LastLine(const CImageDocument& doc) { return doc.GetHistoryLines().back(); }

}  // namespace

TEST(StepsImage, EachStepRecordsItsLineAndTakesTheUndoCopy) {
    std::uint8_t table[256], red[256], green[256], blue[256];
    for (int v = 0; v < 256; ++v) {
        table[v] = static_cast<std::uint8_t>(v / 3);
        red[v] = green[v] = blue[v] = static_cast<std::uint8_t>(v ^ 0x55);
    }
    const std::vector<std::pair<std::string, std::function<bool(CImageDocument&)>>> steps = {
        {"Inverse", StepNegative},
        {"Retournement horizontal", StepFlipHorizontal},
        {"Retournement vertical", StepFlipVertical},
        {"Rotation(90)", [](CImageDocument& d) { return StepRotate(d, 90); }},
        {"Rotation(270)", [](CImageDocument& d) { return StepRotate(d, 270); }},
        {"Redimensionnement(3,9)", [](CImageDocument& d) { return StepResize(d, 3, 9); }},
        {"Ajout de la palette(20)", StepPaletteBar},
        {"Palette niveaux de gris",
         [](CImageDocument& d) { return StepPalette(d, PaletteKind::Grey); }},
        {"Palette fausses couleurs",
         [](CImageDocument& d) { return StepPalette(d, PaletteKind::Rainbow); }},
        {"Palette thermique", [](CImageDocument& d) { return StepPalette(d, PaletteKind::Heat); }},
        {"Palette métallique",
         [](CImageDocument& d) { return StepPalette(d, PaletteKind::Metal); }},
        {"Palette binaire", [](CImageDocument& d) { return StepPalette(d, PaletteKind::Binary); }},
        {"Palette personalisée",
         [&](CImageDocument& d) { return StepCustomPalette(d, red, green, blue); }},
        {"Seuillage(20,90)", [](CImageDocument& d) { return StepManualThreshold(d, 20, 90); }},
        {"Seuillage adaptatif", [](CImageDocument& d) { return StepAdaptiveThreshold(d, 0.5f); }},
        {"Dynamique", [&](CImageDocument& d) { return StepDynamic(d, table); }},
    };
    for (const auto& [line, step] : steps) {
        CMessageRecorder recorder;
        CImageDocument doc;
        MakeDocument(doc);
        const auto original = BlockBytes(*doc.GetImage());
        ASSERT_TRUE(step(doc)) << line;
        EXPECT_EQ(doc.GetHistoryLines(),
                  (std::vector<std::string>{"IMAGE BITMAP - HISTORIQUE", line}));
        // The picture already shows the grey palette; every other step changes it.
        if (line != "Palette niveaux de gris") {
            EXPECT_NE(BlockBytes(*doc.GetImage()), original) << line;
        }
        ASSERT_TRUE(doc.GetImage()->HasBackup()) << line;
        doc.GetImage()->Undo();
        EXPECT_EQ(BlockBytes(*doc.GetImage()), original) << line;
        EXPECT_TRUE(recorder.messages.empty()) << line;
    }
}

TEST(StepsImage, ManualThresholdAppliesTheBinaryPalette) {
    CImageDocument doc;
    MakeDocument(doc);
    ASSERT_TRUE(StepManualThreshold(doc, 100, 150));
    CImage& image = *doc.GetImage();
    EXPECT_EQ(PixelAt(image, 0, 3), 255);  // 120
    EXPECT_EQ(PixelAt(image, 4, 1), 0);    // 80
    EXPECT_EQ(PixelAt(image, 5, 3), 0);    // 170
    EXPECT_EQ(image.GetPalette()->entries[255], (CPaletteTable::Entry{255, 0, 0}));
}

TEST(StepsImage, CancelledManualThresholdRestoresGreyWithoutUndoOrHistory) {
    CImageDocument doc;
    MakeDocument(doc);
    CImage& image = *doc.GetImage();
    image.PaletteThreshold(10, 50);  // the dialog's preview
    ASSERT_TRUE(StepCancelManualThreshold(doc));
    EXPECT_EQ(image.GetPalette()->entries[20], (CPaletteTable::Entry{20, 20, 20}));
    EXPECT_FALSE(image.HasBackup());
    EXPECT_EQ(doc.GetHistoryLines().size(), 1u);
}

TEST(StepsImage, AdaptiveThresholdAtMeanPlusTruncatedDeviations) {
    // Levels 0 .. 170: integer mean 85, deviation about 48.
    CImageDocument doc;
    MakeDocument(doc);
    CImage& image = *doc.GetImage();
    const int mean = image.GetMean();
    const double stdev = image.GetStdev();
    ASSERT_TRUE(StepAdaptiveThreshold(doc, 0.0f));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(image, x, y), 40 * y + 10 * x >= mean ? 255 : 0) << x << "," << y;

    CImageDocument second;
    MakeDocument(second);
    ASSERT_TRUE(StepAdaptiveThreshold(second, -0.5f));
    const int t = mean + static_cast<int>(std::trunc(stdev * -0.5));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(*second.GetImage(), x, y), 40 * y + 10 * x >= t ? 255 : 0);
}

TEST(StepsImage, AdaptiveThresholdTakesKAsTheDialogsFloat) {
    // Mean 100, standard deviation exactly 10: 11 pixels each at 94 and 106,
    // 16 each at 88 and 112. k = 0.7 as a float is 0.699999988, so the
    // threshold is 100 + trunc(6.99999988) = 106 and the pixels at 106 turn
    // white; 0.7 in double would give 107 and leave them black.
    CImageDocument doc;
    FillPicture(*doc.GetImage(), 9, 6, [](int x, int y) {
        const int i = 9 * y + x;
        return i < 11 ? 94 : i < 22 ? 106 : i < 38 ? 88 : 112;
    });
    ASSERT_EQ(doc.GetImage()->GetMean(), 100);
    ASSERT_EQ(doc.GetImage()->GetStdev(), 10.0);
    ASSERT_TRUE(StepAdaptiveThreshold(doc, 0.7f));
    ASSERT_TRUE(doc.GetImage()->GenerateHistogram());
    EXPECT_EQ(doc.GetImage()->GetHistogramValue(255), 27);
}

TEST(StepsImage, AdaptiveThresholdRefusesAboveTwoHundredFiftyFive) {
    for (float k : {4.0f, std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        CMessageRecorder recorder;
        CImageDocument doc;
        MakeDocument(doc);
        const auto before = BlockBytes(*doc.GetImage());
        EXPECT_FALSE(StepAdaptiveThreshold(doc, k)) << k;
        EXPECT_EQ(recorder.messages, std::vector<std::string>{"Invalid threshold"}) << k;
        EXPECT_EQ(LastLine(doc), "Seuillage adaptatif");
        EXPECT_TRUE(doc.GetImage()->HasBackup());
        EXPECT_EQ(BlockBytes(*doc.GetImage()), before);
    }
    // Far below zero: every pixel white, no overflow on the way.
    CImageDocument doc;
    MakeDocument(doc);
    ASSERT_TRUE(StepAdaptiveThreshold(doc, -std::numeric_limits<float>::max()));
    EXPECT_EQ(doc.GetImage()->GetMin(), 255);
}

TEST(StepsImage, ResizeToTheSameSizeIsNoFailure) {
    CMessageRecorder recorder;
    CImageDocument doc;
    MakeDocument(doc);
    const auto before = BlockBytes(*doc.GetImage());
    EXPECT_TRUE(StepResize(doc, 6, 4));
    EXPECT_EQ(LastLine(doc), "Redimensionnement(6,4)");
    EXPECT_EQ(BlockBytes(*doc.GetImage()), before);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(StepsImage, EngineFailureStillRecordsTheLine) {
    CMessageRecorder recorder;
    CImageDocument doc;  // no picture
    EXPECT_FALSE(StepFlipVertical(doc));
    EXPECT_FALSE(StepRotate(doc, 180));
    EXPECT_FALSE(StepResize(doc, 0, 0));
    EXPECT_EQ(doc.GetHistoryLines(),
              (std::vector<std::string>{"IMAGE BITMAP - HISTORIQUE", "Retournement vertical",
                                        "Rotation(180)", "Redimensionnement(0,0)"}));
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{"FlipVertical : invalid handle", "Rotate : invalid handle",
                                        "Resize : invalid handle"}));
}
