// The file's own values kept beside the levels: their statistics against
// numpy's on the same samples, the window made again, undo, and orvex-cli.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "StepsBasic.h"
#include "StepsImage.h"
#include "StepsMeasure.h"
#include "StepsValues.h"
#include "TempFolderTest.h"
#include "TestSupport.h"
#include "TiffMaker.h"

namespace {

class FileValues : public CTempFolderTest {
protected:
    // A one-row TIFF of `values` opened as a document.
    void Open(CImageDocument& doc, int bits, int format, const std::vector<double>& values) {
        std::ofstream(P("in.tif"), std::ios::binary) << TiffOfValues(bits, format, values);
        ASSERT_EQ(doc.Open(P("in.tif")), FileStatus::Ok);
    }

    // numpy's figures of `values` (NaN left out): min max mean std nan, then
    // percentile(0.35, lower) and percentile(99.65, higher).
    std::vector<double> Numpy(const std::vector<double>& values) {
        std::ofstream list(P("values.txt"));
        list.precision(17);
        for (const double v : values) list << v << '\n';
        list.close();
        std::istringstream out(CommandOutput(
            std::string(ORVEX_PYTHON) + " -c \"import numpy as np; a = np.loadtxt('" +
            P("values.txt") +
            "'); n = np.isnan(a).sum(); a = a[~np.isnan(a)]; print(*map(repr, map(float, ["
            "a.min(), a.max(), a.mean(), a.std(), n, np.percentile(a, 0.35, method='lower'), "
            "np.percentile(a, 99.65, method='higher')])))\""));
        std::vector<double> figures;
        for (double f; out >> f;) figures.push_back(f);
        return figures;
    }

    static std::vector<std::uint8_t> Levels(const CImage& image) {
        const CStoredRows rows = image.GetStoredRows();
        return {rows.bits, rows.bits + rows.width};
    }
};

struct SKind {
    const char* name;
    int bits, format;
    double least, most;
    const char* depth;
};

}  // namespace

TEST_F(FileValues, StatisticsAndWindowsOfEveryKindAgreeWithNumpy) {
    const std::vector<SKind> kinds = {
        {"10-bit", 10, SAMPLEFORMAT_UINT, 0, 1023, "10"},
        {"12-bit", 12, SAMPLEFORMAT_UINT, 3, 4095, "12"},
        {"16-bit", 16, SAMPLEFORMAT_UINT, 0, 65535, "16"},
        {"32-bit", 32, SAMPLEFORMAT_UINT, 0, 4294967295.0, "32"},
        {"16-bit signed", 16, SAMPLEFORMAT_INT, -32768, 32767, "16s"},
        {"float", 32, SAMPLEFORMAT_IEEEFP, -3e4, 7e4, "32f"},
    };
    for (const SKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        // Spread over the whole scale, ends included; a float file has
        // fractions and NaN.
        std::vector<double> values = {kind.least, kind.most};
        std::uint64_t seed = 12345;
        for (int i = 0; i < 2001; ++i) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            const double place = static_cast<double>(seed >> 11) / 9007199254740992.0;
            double v = kind.least + place * (kind.most - kind.least);
            v = kind.format == SAMPLEFORMAT_IEEEFP ? static_cast<float>(v) : std::floor(v);
            values.push_back(i % 97 == 5 && kind.format == SAMPLEFORMAT_IEEEFP ? NAN : v);
        }
        CImageDocument doc;
        Open(doc, kind.bits, kind.format, values);
        ASSERT_NE(doc.GetSamples(), nullptr);
        EXPECT_EQ(doc.GetSamples()->DepthName(), kind.depth);
        EXPECT_EQ(doc.GetSamples()->ValueAt(1, 0), kind.most);
        CMeasureRow row;
        ASSERT_TRUE(StepMeasure(doc, false, row));
        const std::vector<double> numpy = Numpy(values);
        ASSERT_EQ(numpy.size(), 7u);
        EXPECT_EQ(row.values.depth, kind.depth);
        EXPECT_EQ(row.values.minimum, numpy[0]);
        EXPECT_EQ(row.values.maximum, numpy[1]);
        EXPECT_NEAR(row.values.mean, numpy[2], std::abs(numpy[2]) * 1e-12);
        EXPECT_NEAR(row.values.sd, numpy[3], numpy[3] * 1e-9);
        EXPECT_EQ(static_cast<double>(row.values.nan), numpy[4]);
        const auto saturated = SaturatedWindow(*doc.GetSamples(), 0.35);
        ASSERT_TRUE(saturated);
        EXPECT_EQ(saturated->first, numpy[5]);
        EXPECT_EQ(saturated->second, numpy[6]);

        // The window the reader chose, set again after another, gives the
        // reader's levels back; the samples stay kept all along.
        const std::vector<std::uint8_t> read = Levels(*doc.GetImage());
        const auto ends = *doc.GetWindow();
        EXPECT_EQ(AutoWindow(*doc.GetSamples()), std::optional(ends));
        ASSERT_TRUE(StepWindow(doc, saturated->first, saturated->second));
        EXPECT_NE(Levels(*doc.GetImage()), read);
        ASSERT_TRUE(StepWindow(doc, ends.first, ends.second));
        EXPECT_EQ(Levels(*doc.GetImage()), read);
        ASSERT_NE(doc.GetSamples(), nullptr);
    }
}

// A window of the user's: value v at LOW..HIGH is (v - LOW) x 255 / (HIGH -
// LOW) rounded half up, below LOW 0, above HIGH 255.
TEST_F(FileValues, AWindowLevelsAsTheReaderRounds) {
    std::vector<double> values;
    for (int v = 900; v <= 3100; v += 7) values.push_back(v);
    CImageDocument doc;
    Open(doc, 12, SAMPLEFORMAT_UINT, values);
    ASSERT_TRUE(StepWindow(doc, 1000, 3000));
    const std::vector<std::uint8_t> levels = Levels(*doc.GetImage());
    for (std::size_t x = 0; x < values.size(); ++x) {
        const std::int64_t v =
            std::clamp<std::int64_t>(static_cast<std::int64_t>(values[x]), 1000, 3000) - 1000;
        EXPECT_EQ(levels[x], (2 * v * 255 + 2000) / 4000) << values[x];
    }
    EXPECT_EQ(doc.GetHistoryLines().back(), "Image 12 bits : fenêtre 1000..3000");
    EXPECT_EQ(doc.GetRecipe().GetEntries().back().operation.argument, "1000,3000");
    // Ends that are no integers for integer samples, or out of order.
    EXPECT_FALSE(StepWindow(doc, 1000.5, 3000));
    EXPECT_FALSE(StepWindow(doc, 3000, 1000));
}

// Undo of a window brings the previous one back; a step that changes the
// levels lets the samples go, saying so once, and its undo brings them back.
TEST_F(FileValues, UndoGivesBackTheWindowAndTheSamples) {
    CImageDocument doc;
    Open(doc, 16, SAMPLEFORMAT_INT, {-500, -20, 0, 20, 700});
    const std::vector<std::uint8_t> read = Levels(*doc.GetImage());
    ASSERT_TRUE(StepWindow(doc, -20, 20));
    const std::vector<std::uint8_t> windowed = Levels(*doc.GetImage());
    EXPECT_EQ(windowed, (std::vector<std::uint8_t>{0, 0, 128, 255, 255}));
    ASSERT_TRUE(StepUndo(doc));
    EXPECT_EQ(Levels(*doc.GetImage()), read);
    EXPECT_EQ(*doc.GetWindow(), std::pair(-500.0, 700.0));
    ASSERT_TRUE(StepUndo(doc));
    EXPECT_EQ(*doc.GetWindow(), std::pair(-20.0, 20.0));

    ASSERT_TRUE(StepPalette(doc, PaletteKind::Heat));  // colours only
    ASSERT_NE(doc.GetSamples(), nullptr);
    ASSERT_TRUE(StepNegative(doc));
    EXPECT_EQ(doc.GetSamples(), nullptr);
    EXPECT_FALSE(doc.GetWindow());
    ASSERT_TRUE(StepFlipHorizontal(doc));
    const std::vector<std::string> history = doc.GetHistoryLines();
    const std::vector<std::string> last(history.end() - 6, history.end());
    const std::vector<std::string> expected = {"Image 16 bits signés : fenêtre -500..700",
                                               "Image 16 bits signés : fenêtre -20..20",
                                               "Palette thermique",
                                               "Inverse",
                                               "Valeurs du fichier abandonnées",
                                               "Retournement horizontal"};
    EXPECT_EQ(last, expected) << "undo writes no line";
    ASSERT_TRUE(StepUndo(doc));  // the flip
    EXPECT_EQ(doc.GetSamples(), nullptr);
    CImageDocument again;
    Open(again, 16, SAMPLEFORMAT_INT, {-500, -20, 0, 20, 700});
    ASSERT_TRUE(StepNegative(again));
    ASSERT_TRUE(StepUndo(again));
    ASSERT_NE(again.GetSamples(), nullptr);
    EXPECT_EQ(Levels(*again.GetImage()), read);
    CMeasureRow row;
    ASSERT_TRUE(StepMeasure(again, false, row));
    EXPECT_EQ(row.values.minimum, -500);
}

// orvex-cli's --window then --measure gives the table the desktop's steps
// give; --info says the depth and window; an 8-bit input is refused.
TEST_F(FileValues, OrvexCliWindowsAndMeasuresAsTheSteps) {
    std::vector<double> values;
    for (int i = 0; i < 500; ++i) values.push_back((i * 7919) % 4096);
    std::ofstream(P("deep.tif"), std::ios::binary) << TiffOfValues(12, SAMPLEFORMAT_UINT, values);
    const CliResult run = RunTool({P("deep.tif"), "--window", "saturate:0.35", "--info",
                                   "--measure", "--table", P("cli.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("deep.tif")), FileStatus::Ok);
    const auto ends = *SaturatedWindow(*doc.GetSamples(), 0.35);
    ASSERT_TRUE(StepWindow(doc, ends.first, ends.second));
    CMeasureRow row;
    ASSERT_TRUE(StepMeasure(doc, false, row));
    row.file = P("deep.tif");
    std::ostringstream table;
    table << std::ifstream(P("cli.csv")).rdbuf();
    EXPECT_EQ(table.str(), CMeasureTable(TableFormat::Csv).Text({row}));
    EXPECT_NE(run.out.find("sample: 12-bit unsigned\nwindow: " +
                           std::to_string(static_cast<int>(ends.first)) + ".." +
                           std::to_string(static_cast<int>(ends.second)) + "\n"),
              std::string::npos)
        << run.out;

    ASSERT_EQ(RunTool({"--uniform", "4,4,9", "-o", P("flat.bmp")}).status, 0);
    const CliResult refused = RunTool({P("flat.bmp"), "--window", "auto", "-o", P("out.bmp")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--window: needs the file's own samples"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(P("out.bmp")));
    EXPECT_EQ(RunTool({P("deep.tif"), "--window", "9,3", "--info"}).status, 2);
}
