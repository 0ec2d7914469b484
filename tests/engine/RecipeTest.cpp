// Recipes: a document's steps written as orvex-cli operations and replayed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "CliPlan.h"
#include "CliSupport.h"
#include "KernelCatalogue.h"
#include "OperationForms.h"
#include "RecipeWords.h"
#include "StepsBasic.h"
#include "StepsFilter.h"
#include "StepsImage.h"
#include "StepsMeasure.h"
#include "TempFolderTest.h"
#include "TestSupport.h"
#include "ToneCurve.h"

namespace fs = std::filesystem;

namespace {

using Step = std::function<bool(CImageDocument&)>;

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

CMask Kernel(int side, int seed) {
    std::int8_t cells[49];
    for (int i = 0; i < side * side; ++i)
        cells[i] = static_cast<std::int8_t>((i * seed) % 199 - 99);
    return MakeMask(side, cells);
}

class Recipe : public CTempFolderTest {
protected:
    // A 37 x 23 picture of varied levels, saved as `name`.
    std::string MakeOriginal(const std::string& name) {
        CImageDocument doc;
        FillPicture(*doc.GetImage(), 37, 23,
                    [](int x, int y) { return (x * 7 + y * 13) ^ (x * y); });
        EXPECT_EQ(doc.Save(P(name)), FileStatus::Ok);
        return P(name);
    }
};

}  // namespace

// Everything a user can do by hand, in one session through the steps the
// menus use; the recipe replayed by orvex-cli on the same original gives the
// same file and the same history.
TEST_F(Recipe, SessionReplayedGivesTheSameBytesAndHistory) {
    const std::string original = MakeOriginal("original.bmp");
    CImageDocument doc;
    ASSERT_EQ(doc.Open(original), FileStatus::Ok);
    CImage& image = *doc.GetImage();
    std::uint8_t red[256], green[256], blue[256];
    for (int v = 0; v < 256; ++v) {
        red[v] = static_cast<std::uint8_t>(v);
        green[v] = static_cast<std::uint8_t>(255 - v);
        blue[v] = static_cast<std::uint8_t>(v * 7);
    }
    {
        CMessageRecorder quiet;
        image.SetRoi({3, 2, 30, 20});  // drawn with the mouse
        ASSERT_TRUE(StepNegative(doc));
        ASSERT_TRUE(StepFlipVertical(doc));  // the region stays
        ASSERT_TRUE(StepFilter(doc, MakeKernelMask(*FindKernel("Lissage Gaussien 3x3 1 "))));
        image.SetRoi({5, 5, 25, 15});
        ASSERT_TRUE(StepFilter(doc, Kernel(5, 3)));  // typed in
        image.SetDefaultRoi();                       // region of interest switched off
        ASSERT_TRUE(StepToneCurve(doc, kCurvePower, 3));
        ASSERT_TRUE(StepRotate(doc, 90));
        image.SetRoi({1, 1, 9, 30});
        ASSERT_TRUE(StepContours(doc));
        ASSERT_TRUE(StepResize(doc, 41, 29));  // the region is the whole picture again
        ASSERT_TRUE(StepDynamic(doc, ComputeToneCurve(kCurveLogarithmic, 2).data()));
        ASSERT_TRUE(StepPalette(doc, PaletteKind::Rainbow));
        ASSERT_TRUE(StepCancelManualThreshold(doc));  // back to grey, no history line
        ASSERT_TRUE(StepCustomPalette(doc, red, green, blue));
        ASSERT_TRUE(StepPaletteBar(doc));
        ASSERT_FALSE(StepAdaptiveThreshold(doc, 1e6));  // "Invalid threshold"
        ASSERT_TRUE(StepAdaptiveThreshold(doc, 0.3));
        ASSERT_TRUE(StepUndo(doc));
        ASSERT_TRUE(StepClose(doc));
        ASSERT_TRUE(StepPerspective(doc, PerspectiveMode::Cloud, {40, 7, 25, 35, 90, 200}));
        ASSERT_TRUE(StepUndo(doc));
        ASSERT_TRUE(StepUndo(doc));
        ASSERT_TRUE(StepManualThreshold(doc, 40, 180));
    }
    ASSERT_EQ(doc.Save(P("by-hand.bmp")), FileStatus::Ok);
    ASSERT_TRUE(doc.GetRecipe().Write(P("my recipe.txt")));
    const std::string text = ReadText(P("my recipe.txt"));
    EXPECT_NE(text.find("--roi all"), std::string::npos) << text;
    EXPECT_NE(text.find("--palette-file \"my recipe-1.pal\""), std::string::npos) << text;
    EXPECT_NE(text.find("# --adaptive 1e+06 "), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(P("my recipe-1.pal")));

    fs::create_directory(P("elsewhere"));
    fs::current_path(P("elsewhere"));  // palette files are found beside the recipe
    const CliResult replay =
        RunTool({original, "--recipe", P("my recipe.txt"), "--history", "-o", P("replayed.bmp")});
    fs::current_path(folder);
    ASSERT_EQ(replay.status, 0) << replay.err << text;
    EXPECT_EQ(ReadText(P("replayed.bmp")), ReadText(P("by-hand.bmp"))) << text;
    std::string history;
    for (const std::string& line : doc.GetHistoryLines()) history += line + "\n";
    // The failed adaptive threshold is left out of the replay, so its line too.
    const std::string failedLine = "Seuillage adaptatif\n";
    history.erase(history.find(failedLine), failedLine.size());
    EXPECT_EQ(replay.out, history);
}

TEST_F(Recipe, RunsOnAFolderOfPicturesInParallel) {
    CImageDocument doc;
    ASSERT_EQ(doc.Open(MakeOriginal("a.bmp")), FileStatus::Ok);
    ASSERT_TRUE(StepFlipHorizontal(doc));
    ASSERT_TRUE(StepDilate(doc));
    ASSERT_TRUE(doc.GetRecipe().Write(P("r.txt")));
    MakeOriginal("b.bmp");
    fs::create_directory(P("out"));
    const CliResult r = RunTool({P("a.bmp"), P("b.bmp"), "--recipe", P("r.txt"), "-o", P("out")});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(doc.Save(P("expected.bmp")), FileStatus::Ok);
    EXPECT_EQ(ReadText(P("out/a.bmp")), ReadText(P("expected.bmp")));
    EXPECT_EQ(ReadText(P("out/b.bmp")), ReadText(P("expected.bmp")));
}

// Each step's recorded form, read back by orvex-cli's parser and run on the
// same picture, does the same thing and records the same form again.
TEST_F(Recipe, EveryRecordedFormReadsBackAndRepeatsTheStep) {
    std::uint8_t red[256], green[256], blue[256];
    for (int v = 0; v < 256; ++v) {
        red[v] = static_cast<std::uint8_t>(v ^ 0x5A);
        green[v] = static_cast<std::uint8_t>(v / 2);
        blue[v] = static_cast<std::uint8_t>(255 - v / 3);
    }
    std::vector<Step> steps = {
        [](CImageDocument& d) { return StepUniform(d, 13, 9, 200); },
        [](CImageDocument& d) { return StepNegative(d) && StepUndo(d); },
        StepNegative,
        StepFlipHorizontal,
        StepFlipVertical,
        StepPaletteBar,
        StepContours,
        StepDilate,
        StepErode,
        StepOpen,
        StepClose,
        [](CImageDocument& d) { return StepRotate(d, 90); },
        [](CImageDocument& d) { return StepRotate(d, 180); },
        [](CImageDocument& d) { return StepRotate(d, 270); },
        [](CImageDocument& d) { return StepResize(d, 50, 7); },
        [&](CImageDocument& d) { return StepCustomPalette(d, red, green, blue); },
        [](CImageDocument& d) { return StepManualThreshold(d, 0, 255); },
        [](CImageDocument& d) { return StepManualThreshold(d, 90, 91); },
        [](CImageDocument& d) {
            return StepPalette(d, PaletteKind::Heat) && StepCancelManualThreshold(d);
        },
        [](CImageDocument& d) {
            return StepPerspective(d, PerspectiveMode::Gradient, {5, 0, 45, 10, 0, 17});
        },
        [](CImageDocument& d) { return StepPerspective(d, PerspectiveMode::Cloud, {}); },
        [](CImageDocument& d) { return StepFilter(d, Kernel(3, 1)); },
        [](CImageDocument& d) { return StepFilter(d, Kernel(7, 5)); },
        [](CImageDocument& d) {
            CMeasureRow row;
            return StepMeasure(d, false, row) && StepMeasure(d, true, row);
        },
    };
    for (PaletteKind kind : {PaletteKind::Grey, PaletteKind::Rainbow, PaletteKind::Heat,
                             PaletteKind::Metal, PaletteKind::Binary})
        steps.push_back([kind](CImageDocument& d) { return StepPalette(d, kind); });
    for (double k : {0.0, 0.1, -1.5, 1e-7, 2.0 / 3.0})
        steps.push_back([k](CImageDocument& d) { return StepAdaptiveThreshold(d, k); });
    for (int curve = kCurveLinear; curve <= kCurveLogarithmic; ++curve)
        for (int gamma : {1, 2, 57, 99})
            steps.push_back([=](CImageDocument& d) { return StepToneCurve(d, curve, gamma); });
    for (const CKernelEntry& entry : GetKernelCatalogue())
        steps.push_back(
            [&entry](CImageDocument& d) { return StepFilter(d, MakeKernelMask(entry)); });

    const std::string original = MakeOriginal("original.bmp");
    for (std::size_t n = 0; n < steps.size(); ++n) {
        SCOPED_TRACE(n);
        CMessageRecorder quiet;
        CImageDocument byHand, replayed;
        ASSERT_EQ(byHand.Open(original), FileStatus::Ok);
        ASSERT_EQ(replayed.Open(original), FileStatus::Ok);
        byHand.GetImage()->SetRoi({2, 3, 30, 19});
        ASSERT_TRUE(steps[n](byHand));
        ASSERT_TRUE(byHand.GetRecipe().HasReplayableStep());
        ASSERT_TRUE(byHand.GetRecipe().Write(P("step.txt")));

        std::vector<CliStep> parsed;
        ASSERT_EQ(ReadRecipe(P("step.txt"), parsed), "") << ReadText(P("step.txt"));
        std::ostringstream out;
        const CMeasureTable table(TableFormat::Csv, true);
        CliRows rows{&table};
        const std::string input;
        CliContext context{replayed, out, input, false, rows, {512, 200}};
        for (const CliStep& step : parsed) ASSERT_TRUE(step.action(context));
        EXPECT_EQ(BlockBytes(*replayed.GetImage()), BlockBytes(*byHand.GetImage()))
            << ReadText(P("step.txt"));
        EXPECT_EQ(replayed.GetHistory(), byHand.GetHistory());
        fs::create_directories(P("again"));
        ASSERT_TRUE(replayed.GetRecipe().Write(P("again/step.txt")));
        EXPECT_EQ(ReadText(P("again/step.txt")), ReadText(P("step.txt")));
    }
}

TEST(RecipeWords, QuotedWordsReadBackAsTheyWere) {
    for (const std::string word : {"plain", "Lissage Gaussien 3x3 1", "a\"b", "back\\slash",
                                   "$HOME", "it's", "#hash", "tab\there", "", "x;y", "`cmd`"}) {
        std::string error;
        const auto words = SplitRecipeWords("--op " + QuoteRecipeWord(word) + "  # note", error);
        ASSERT_TRUE(words) << word << ": " << error;
        EXPECT_EQ(*words, (std::vector<std::string>{"--op", word})) << QuoteRecipeWord(word);
    }
    std::string error;
    EXPECT_EQ(*SplitRecipeWords("  --filter 'a b'\"c d\"e\\ f\r", error),
              (std::vector<std::string>{"--filter", "a bc de f"}));
    EXPECT_FALSE(SplitRecipeWords("--filter \"open", error));
    EXPECT_FALSE(SplitRecipeWords("--filter 'open", error));
}

TEST_F(Recipe, AMalformedLineIsRefusedAtItsLineBeforeAnyPicture) {
    const std::string original = MakeOriginal("original.bmp");
    struct Case {
        std::string line, error;
    };
    for (const Case& c : std::vector<Case>{
             {"--bogus", "unknown option '--bogus'"},
             {"--rotate 45", "--rotate 45: expects 90, 180 or 270"},
             {"--rotate", "--rotate needs A"},
             {"--filter \"Lissage Gaussien", "a double quote is not closed"},
             {"--filter \"Pas un filtre\"",
              "--filter Pas un filtre: no such kernel in the catalogue"},
             {"--negative --flip-h", "one operation a line: '--flip-h' is left over"},
             {"--resize 10,10 12", "one operation a line: '12' is left over"},
             {"picture.bmp",
              "'picture.bmp' is not an operation (inputs and -o go on the command "
              "line)"},
             {"-o out.bmp", "'-o' is not an operation (inputs and -o go on the command line)"},
             {"--recipe other.txt", "a recipe cannot run another recipe"},
             {"--dynamic power:0",
              "--dynamic power:0: expects linear, inverse, sqrt, power:G, "
              "root:G, exp or log, G in 1 .. 99"},
         }) {
        std::ofstream(P("r.txt")) << "# header\n\n--negative   # fine\n\t\n"
                                  << c.line << "\n--flip-v\n";
        const CliResult r =
            RunTool({original, "--recipe", P("r.txt"), "--history", "-o", P("out.bmp")});
        EXPECT_EQ(r.status, 2) << c.line;
        EXPECT_EQ(r.err, "orvex-cli: " + P("r.txt") + ":5: " + c.error + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(P("out.bmp")));
    }
}

TEST_F(Recipe, APastedPictureMakesTheRecipeSayItCannotBeReplayed) {
    CImageDocument source;
    FillPicture(*source.GetImage(), 5, 4, [](int x, int y) { return x + y; });
    CImageDocument doc;
    ASSERT_EQ(doc.Open(MakeOriginal("original.bmp")), FileStatus::Ok);
    ASSERT_TRUE(StepNegative(doc));
    ASSERT_TRUE(StepPaste(doc, CImage::CopyBlock(source.GetImage()->GetHandle())));
    ASSERT_TRUE(StepFlipHorizontal(doc));
    EXPECT_TRUE(doc.GetRecipe().HasUnreplayableStep());
    ASSERT_TRUE(doc.GetRecipe().Write(P("r.txt")));
    const std::vector<std::string> lines = Lines(ReadText(P("r.txt")));
    const auto paste = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("--paste", 0) == 0;
    });
    ASSERT_NE(paste, lines.end());
    EXPECT_NE(ReadText(P("r.txt")).find("CANNOT BE REPLAYED"), std::string::npos);

    const CliResult r = RunTool({P("original.bmp"), "--recipe", P("r.txt"), "-o", P("out.bmp")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "orvex-cli: " + P("r.txt") + ":" + std::to_string(paste - lines.begin() + 1) +
                         ": --paste: a picture pasted from the clipboard cannot be replayed\n");
    EXPECT_FALSE(fs::exists(P("out.bmp")));

    // A document whose only change is a paste has nothing to export.
    CImageDocument pastedOnly;
    ASSERT_TRUE(StepPaste(pastedOnly, CImage::CopyBlock(source.GetImage()->GetHandle())));
    EXPECT_FALSE(pastedOnly.GetRecipe().HasReplayableStep());
}

// Undo copies are taken only for the steps whose copy a later --undo uses,
// and undo still gives what it gives with every copy taken.
TEST_F(Recipe, UndoCopiesOnlyWhereALaterUndoUsesThem) {
    CliPlan plan;
    ASSERT_EQ(ReadPlan({"--uniform", "9,9,3", "--negative", "--flip-h", "--stats", "--roi",
                        "1,1,5,5", "--undo", "--rotate", "90", "--undo", "--undo", "--dilate"},
                       plan),
              "");
    std::vector<std::string> kept;
    for (const CliStep& step : plan.steps)
        if (step.keepsUndoCopy && step.operation->takesUndoCopy)
            kept.push_back(step.operation->flag);
    EXPECT_EQ(kept, (std::vector<std::string>{"--flip-h", "--rotate"}));

    const std::vector<std::string> ops = {"--negative", "--flip-h", "--stats", "--undo",
                                          "--negative", "--undo",   "--undo",  "--rotate",
                                          "90",         "--history"};
    std::vector<std::string> args = {MakeOriginal("original.bmp")};
    args.insert(args.end(), ops.begin(), ops.end());
    args.insert(args.end(), {"-o", P("batch.bmp")});
    const CliResult batch = RunTool(args);
    ASSERT_EQ(batch.status, 0) << batch.err;

    CImageDocument doc;  // every copy taken, as the desktop program does
    ASSERT_EQ(doc.Open(P("original.bmp")), FileStatus::Ok);
    ASSERT_TRUE(StepNegative(doc) && StepFlipHorizontal(doc) && StepUndo(doc) &&
                StepNegative(doc) && StepUndo(doc) && StepUndo(doc) && StepRotate(doc, 90));
    ASSERT_EQ(doc.Save(P("by-hand.bmp")), FileStatus::Ok);
    EXPECT_EQ(ReadText(P("batch.bmp")), ReadText(P("by-hand.bmp")));
}

TEST(RecipeForms, RealsReadBackExactlyAsDoubleOrFloat) {
    EXPECT_EQ(RealArgument(0.3f), "0.3");
    EXPECT_EQ(RealArgument(0.3), "0.3");
    for (double k : {0.1, -2.5, 1.0 / 3.0, 1e-300, 123456789.125}) {
        EXPECT_EQ(std::strtod(RealArgument(k).c_str(), nullptr), k);
        const float f = static_cast<float>(k);
        EXPECT_EQ(static_cast<float>(std::strtod(RealArgument(f).c_str(), nullptr)), f);
    }
}
