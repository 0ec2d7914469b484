// Stacks: every page of a multi-page file read as the libraries decode it,
// a step on every page the same as on each page alone, a stack written
// whole and read back by other programs, the projection against numpy.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "ImageDocument.h"
#include "StackFiles.h"
#include "StepsFilter.h"
#include "StepsImage.h"
#include "StepsStack.h"
#include "TempFolderTest.h"

namespace {

SGreyPage Ramp(int width, int height, int shift) {
    return GreyPage(width, height, [&](int x, int y) { return (x * 7 + y * 13 + shift) % 256; });
}

std::vector<SGreyPage> ThreeRamps(int width = 37, int height = 11) {
    return {Ramp(width, height, 0), Ramp(width, height, 90), Ramp(width, height, 200)};
}

std::vector<SGreyPage> PagesOf(CImageDocument& doc) {
    std::vector<SGreyPage> pages;
    for (const SPicturePage& page : doc.GetPages()) pages.push_back(PageLevels(*page.image));
    return pages;
}

using Stacks = CTempFolderTest;

// Each kind of stack opened whole: how many pages, each as the file's own
// library decodes it, and what the read says about them.
TEST_F(Stacks, EveryPageReadAsTheLibraryDecodesIt) {
    const std::vector<SGreyPage> ramps = ThreeRamps();
    ASSERT_TRUE(WriteTiffPages(P("three.tif"), ramps, {COMPRESSION_NONE, COMPRESSION_LZW}));
    ASSERT_TRUE(WriteTiffPages(P("differ.tif"), {Ramp(8, 8, 0), Ramp(9, 8, 1), Ramp(8, 8, 2)}));
    ASSERT_TRUE(WriteTiffPages(P("one.tif"), {Ramp(5, 3, 4)}));
    struct Case {
        const char* file;
        int pages, fileHolds;
        bool note;
    };
    for (const Case& c : {Case{"three.tif", 3, 3, false}, Case{"differ.tif", 1, 3, true},
                          Case{"one.tif", 1, 1, false}}) {
        SCOPED_TRACE(c.file);
        CImageDocument doc;
        ASSERT_EQ(doc.Open(P(c.file), {1, 0}), FileStatus::Ok);
        ASSERT_EQ(doc.GetPageCount(), c.pages);
        EXPECT_EQ(doc.GetFileInfo().losses.pages, c.fileHolds);
        EXPECT_EQ(doc.GetFileInfo().stackNote.empty(), !c.note);
        for (int i = 0; i < c.pages; ++i) {
            EXPECT_EQ(doc.GetPages()[i].number, i + 1);
            EXPECT_TRUE(PageLevels(*doc.GetPages()[i].image) == LibtiffPage(P(c.file), i));
        }
    }
    // A range reads those pages only, numbered as in the file.
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("three.tif"), {2, 3}), FileStatus::Ok);
    ASSERT_EQ(doc.GetPageCount(), 2);
    EXPECT_EQ(doc.GetPages()[0].number, 2);
    EXPECT_TRUE(PagesOf(doc)[1] == ramps[2]);
    EXPECT_EQ(doc.GetHistoryLines().back(), "Pages 2 à 3 / 3");
    EXPECT_NE(doc.Open(P("three.tif"), {4, 4}), FileStatus::Ok);
}

// GIF frames are the pictures shown at each frame: drawn at their place on
// the canvas, a later frame's transparent index showing what is beneath,
// each frame leaving the canvas as its disposal says.
TEST_F(Stacks, GifFramesCompositedAsTheirDisposalSays) {
    const int background = 9;
    std::vector<SGifFrame> frames(4);
    frames[0] = {0,
                 0,
                 4,
                 3,
                 {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3},
                 DISPOSAL_UNSPECIFIED,
                 NO_TRANSPARENT_COLOR,
                 10};
    // Over rows 0-1, columns 1-2; index 0 transparent; then cleared.
    frames[1] = {1, 0, 2, 2, {5, 0, 0, 6}, DISPOSE_BACKGROUND, 0, 20};
    // One pixel at (3, 2); then put back as it was.
    frames[2] = {3, 2, 1, 1, {7}, DISPOSE_PREVIOUS, NO_TRANSPARENT_COLOR, 30};
    // Partly outside the canvas: only (3, 0) shows.
    frames[3] = {3, 0, 2, 1, {8, 8}, DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 40};
    ASSERT_TRUE(WriteGifFrames(P("anim.gif"), 4, 3, background, frames));
    const std::vector<std::vector<std::uint8_t>> shown = {
        {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3},
        {1, 5, 1, 1, 2, 2, 6, 2, 3, 3, 3, 3},
        {1, 9, 9, 1, 2, 9, 9, 2, 3, 3, 3, 7},
        {1, 9, 9, 8, 2, 9, 9, 2, 3, 3, 3, 3},
    };
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("anim.gif"), {1, 0}), FileStatus::Ok);
    ASSERT_EQ(doc.GetPageCount(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(PagesOf(doc)[i].levels, shown[i]);
        EXPECT_EQ(doc.GetPages()[i].delay, frames[i].delay);
        EXPECT_EQ(doc.GetPages()[i].image->GetPalette()->entries[3].red, 48);
    }
    // A frame asked for alone is composited the same way.
    CImageDocument third;
    ASSERT_EQ(third.Open(P("anim.gif"), {3, 3}), FileStatus::Ok);
    EXPECT_EQ(PagesOf(third)[0].levels, shown[2]);
    EXPECT_EQ(third.GetFileInfo().losses.pages, 4);
}

// A damaged later page refuses the stack, naming the page; the pages
// before it still open when they alone are asked for.
TEST_F(Stacks, DamagedLaterPageRefusesTheStack) {
    ASSERT_TRUE(WriteTiffPages(P("three.tif"), ThreeRamps(64, 64), {COMPRESSION_LZW}));
    // The last strip of page 3 is the end of the file: break it.
    std::string bytes;
    {
        std::ifstream in(P("three.tif"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    TIFF* tiff = TIFFOpen(P("three.tif").c_str(), "r");
    TIFFSetDirectory(tiff, 2);
    const std::uint64_t at = TIFFGetStrileOffset(tiff, 0);
    TIFFClose(tiff);
    for (std::uint64_t i = at; i < at + 40; ++i) bytes[i] = static_cast<char>(0xFF);
    std::ofstream(P("broken.tif"), std::ios::binary) << bytes;

    CMessageRecorder quiet;
    CImageDocument doc;
    EXPECT_EQ(doc.Open(P("broken.tif"), {1, 0}), FileStatus::Damaged);
    EXPECT_EQ(doc.GetFileInfo().problem.rfind("page 3: damaged TIFF file", 0), 0u)
        << doc.GetFileInfo().problem;
    EXPECT_NE(doc.GetFileInfo().problem.find("the 2 pages before it read well"), std::string::npos);
    EXPECT_FALSE(doc.GetImage()->IsValid());
    EXPECT_EQ(doc.Open(P("broken.tif"), {1, 2}), FileStatus::Ok);

    // A GIF cut short in its second frame: the stack is refused at page 2;
    // the first frame alone is refused as before, its frames uncountable.
    std::vector<SGifFrame> frames(3);
    for (int f = 0; f < 3; ++f) {
        frames[f] = {0, 0, 16, 16, {}, DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 5};
        for (int i = 0; i < 256; ++i) frames[f].indices.push_back((i * 7 + f * 3 + i / 5) % 16);
    }
    ASSERT_TRUE(WriteGifFrames(P("anim.gif"), 16, 16, 0, frames));
    std::string gif;
    {
        std::ifstream in(P("anim.gif"), std::ios::binary);
        gif.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(P("cut.gif"), std::ios::binary) << gif.substr(0, gif.size() / 2);
    EXPECT_EQ(doc.Open(P("cut.gif"), {1, 0}), FileStatus::Damaged);
    EXPECT_EQ(doc.GetFileInfo().problem.rfind("page 2: damaged GIF file", 0), 0u)
        << doc.GetFileInfo().problem;
    EXPECT_EQ(doc.Open(P("cut.gif"), {1, 1}), FileStatus::Damaged);
    EXPECT_EQ(doc.GetFileInfo().problem.rfind("damaged GIF file", 0), 0u);
}

// A step run on every page: the same pages as the step on each page alone,
// the region of interest of each page used, the history once and the
// pages' line, whatever the worker count.
TEST_F(Stacks, StepOnEveryPageEqualsTheStepOnEachPage) {
    ASSERT_TRUE(WriteTiffPages(P("three.tif"), ThreeRamps(41, 23)));
    struct Case {
        const char* name;
        std::function<bool(CImageDocument&)> step;
        std::vector<std::string> history;
    };
    const std::vector<Case> cases = {
        {"negative", StepNegative, {"Inverse"}},
        {"rotate", [](CImageDocument& d) { return StepRotate(d, 90); }, {"Rotation(90)"}},
        {"dilate", StepDilate, {"Dilatation morphologique"}},
    };
    for (const Case& c : cases)
        for (const int workers : {1, 2, 3}) {
            SCOPED_TRACE(std::string(c.name) + " on " + std::to_string(workers) + " workers");
            CWorkerCount count(workers);
            CImageDocument stack;
            ASSERT_EQ(stack.Open(P("three.tif"), {1, 0}), FileStatus::Ok);
            for (const SPicturePage& page : stack.GetPages()) page.image->SetRoi({3, 2, 30, 17});
            stack.SetCurrentPage(1);
            ASSERT_TRUE(stack.RunOnPages(true, c.step));
            for (int i = 0; i < 3; ++i) {
                CImageDocument alone;
                ASSERT_EQ(alone.Open(P("three.tif"), {i + 1, i + 1}), FileStatus::Ok);
                alone.GetImage()->SetRoi({3, 2, 30, 17});
                c.step(alone);
                EXPECT_EQ(BlockBytes(*stack.GetPages()[i].image), BlockBytes(*alone.GetImage()));
                EXPECT_TRUE(stack.GetPages()[i].image->HasBackup());
            }
            std::vector<std::string> history = stack.GetHistoryLines();
            history.erase(history.begin(), history.begin() + 3);
            std::vector<std::string> expected = c.history;
            expected.push_back("Pages 1 à 3");
            EXPECT_EQ(history, expected);
            EXPECT_EQ(stack.GetRecipe().GetEntries().back().page, 0);
        }
}

// A step that fails on one page leaves every page as it was and says so
// once; a step on one page that would change its size is refused.
TEST_F(Stacks, FailureOnOnePageLeavesEveryPage) {
    ASSERT_TRUE(WriteTiffPages(P("two.tif"),
                               {Ramp(16, 8, 0), GreyPage(16, 8, [](int, int) { return 100; })}));
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("two.tif"), {1, 0}), FileStatus::Ok);
    const std::vector<SGreyPage> before = PagesOf(doc);
    {
        CMessageRecorder messages;
        // The ramp's threshold passes 255; the flat page's stays at 100.
        EXPECT_FALSE(doc.RunOnPages(
            true, [](CImageDocument& d) { return StepAdaptiveThreshold(d, 50.0f); }));
        EXPECT_EQ(messages.messages, std::vector<std::string>{"Invalid threshold"});
    }
    EXPECT_TRUE(PagesOf(doc) == before);
    {
        CMessageRecorder messages;
        doc.SetCurrentPage(1);
        EXPECT_FALSE(doc.RunOnPages(false, [](CImageDocument& d) { return StepRotate(d, 90); }));
        EXPECT_EQ(messages.messages.size(), 1u);
    }
    EXPECT_TRUE(PagesOf(doc) == before);
    EXPECT_TRUE(doc.PagesAgree());
    // On that one page alone, a step that keeps the size runs there only.
    EXPECT_TRUE(doc.RunOnPages(false, StepNegative));
    EXPECT_TRUE(PagesOf(doc)[0] == before[0]);
    EXPECT_EQ(PagesOf(doc)[1].levels[0], 155);
    EXPECT_EQ(doc.GetRecipe().GetEntries().back().page, 2);
}

// A stack saved as TIFF and as GIF: other programs find every page (and a
// GIF's delays); a one-page format refuses it, leaving no file.
TEST_F(Stacks, SavedWholeAndReadBackByOtherPrograms) {
    ASSERT_TRUE(WriteTiffPages(P("three.tif"), ThreeRamps()));
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("three.tif"), {1, 0}), FileStatus::Ok);
    ASSERT_TRUE(doc.RunOnPages(true, StepNegative));
    ASSERT_EQ(doc.Save(P("out.tif"), *FormatNamed("TIFF")), FileStatus::Ok);
    for (int i = 0; i < 3; ++i) {
        const std::string expected = CommandOutput("convert '" + P("three.tif") + "[" +
                                                   std::to_string(i) + "]' -negate gray:-");
        EXPECT_EQ(CommandOutput("convert '" + P("out.tif") + "[" + std::to_string(i) + "]' gray:-"),
                  expected);
        EXPECT_EQ(expected.size(), 37u * 11u);
        EXPECT_TRUE(LibtiffPage(P("out.tif"), i) == PagesOf(doc)[i]);
    }
    EXPECT_EQ(CommandOutput("identify -format '%C ' '" + P("out.tif") + "'"), "LZW LZW LZW ");

    std::vector<SGifFrame> frames(2);
    frames[0] = {0, 0, 2, 1, {1, 2}, DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 7};
    frames[1] = {0, 0, 2, 1, {3, 4}, DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 25};
    ASSERT_TRUE(WriteGifFrames(P("in.gif"), 2, 1, 0, frames));
    CImageDocument gif;
    ASSERT_EQ(gif.Open(P("in.gif"), {1, 0}), FileStatus::Ok);
    ASSERT_EQ(gif.Save(P("out.gif"), *FormatNamed("PNG")), FileStatus::Refused);
    EXPECT_FALSE(std::filesystem::exists(P("out.gif")));
    const auto gifFormat = WritableFormatFromPath("x.gif");
    ASSERT_TRUE(gifFormat.has_value());
    ASSERT_EQ(gif.Save(P("out.gif"), *gifFormat), FileStatus::Ok);
    EXPECT_EQ(CommandOutput(std::string(ORVEX_PYTHON) +
                            " -c \"from PIL import Image, ImageSequence; im = Image.open('" +
                            P("out.gif") +
                            "'); print([(f.info['duration'], list(f.convert('L').getdata())) "
                            "for f in ImageSequence.Iterator(im)])\""),
              "[(70, [16, 32]), (250, [48, 64])]\n");

    // A middle frame with a table of its own, between two with the screen's:
    // each frame shows through its own table again.
    std::vector<SGifFrame> three(3, SGifFrame{0, 0, 2, 1, {1, 2}});
    ASSERT_TRUE(WriteGifFrames(P("three.gif"), 2, 1, 0, three));
    CImageDocument tables;
    ASSERT_EQ(tables.Open(P("three.gif"), {1, 0}), FileStatus::Ok);
    tables.SetCurrentPage(1);
    ASSERT_TRUE(StepPalette(tables, PaletteKind::Heat));
    ASSERT_EQ(tables.Save(P("tables.gif"), *gifFormat), FileStatus::Ok);
    CImageDocument back;
    ASSERT_EQ(back.Open(P("tables.gif"), {1, 0}), FileStatus::Ok);
    ASSERT_EQ(back.GetPageCount(), 3);
    for (int page = 0; page < 3; ++page) {
        const auto& read = back.GetPages()[page].image->GetPalette()->entries;
        const auto& saved = tables.GetPages()[page].image->GetPalette()->entries;
        EXPECT_TRUE(std::equal(read.begin(), read.begin() + 16, saved.begin())) << page;
    }
}

// Projections against numpy's max, min and mean (rounded half up) through
// the pages: stacks of 5, 7 and 8 pages leave 1, 2 and 3 pages after the
// passes of four.
TEST_F(Stacks, ProjectionMatchesNumpy) {
    for (const int count : {5, 7, 8}) {
        std::vector<SGreyPage> pages;
        for (int i = 0; i < count; ++i)
            pages.push_back(
                GreyPage(23, 9, [i](int x, int y) { return (x * 37 + y * 91 + i * 53) % 256; }));
        ASSERT_TRUE(WriteTiffPages(P("pages.tif"), pages));
        for (const char* kind : {"max", "min", "mean"}) {
            SCOPED_TRACE(::testing::Message() << kind << " of " << count);
            CImageDocument doc;
            ASSERT_EQ(doc.Open(P("pages.tif"), {1, 0}), FileStatus::Ok);
            ASSERT_TRUE(StepProject(doc, *FindProjectionName(kind)));
            ASSERT_EQ(doc.GetPageCount(), 1);
            const std::string numpy = CommandOutput(
                std::string(ORVEX_PYTHON) +
                " -c \"import numpy as np; from PIL import Image, ImageSequence; "
                "a = np.array([np.array(f) for f in ImageSequence.Iterator(Image.open('" +
                P("pages.tif") + "'))], dtype=np.int64); k = '" + kind +
                "'; r = a.max(0) if k == 'max' else a.min(0) if k == 'min' else "
                "(2 * a.sum(0) + len(a)) // (2 * len(a)); print(' '.join(map(str, "
                "r.flatten())))\"");
            std::string ours;
            const SGreyPage projected = PagesOf(doc)[0];
            for (const std::uint8_t level : projected.levels)
                ours += (ours.empty() ? "" : " ") + std::to_string(level);
            EXPECT_EQ(ours + "\n", numpy);
        }
    }
}

// The stack's own steps and their history lines; a recipe names the pages.
TEST_F(Stacks, StackStepsAndTheRecipe) {
    ASSERT_TRUE(WriteTiffPages(P("three.tif"), ThreeRamps()));
    CMessageRecorder messages;
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("three.tif"), {1, 0}), FileStatus::Ok);
    ASSERT_TRUE(doc.RunOnPages(true, StepNegative));
    doc.SetCurrentPage(1);
    ASSERT_TRUE(doc.RunOnPages(false, StepFlipHorizontal));
    ASSERT_TRUE(StepDeletePage(doc, 1));
    EXPECT_FALSE(StepDeletePage(doc, 1));
    ASSERT_TRUE(StepExtractPage(doc, 3));
    EXPECT_FALSE(StepDeletePage(doc, 3));
    const std::vector<std::string> lines = doc.GetHistoryLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
              (std::vector<std::string>{"Inverse", "Pages 1 à 3", "Retournement horizontal",
                                        "Suppression de la page 1", "Suppression de la page 1",
                                        "Extraction de la page 3", "Suppression de la page 3"}));
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"Suppression : pas de page 1",
                                        "Suppression : une pile garde au moins une page"}));
    const std::string recipe = doc.GetRecipe().Format("r.txt").recipe;
    const std::size_t negative = recipe.find("--negative"), page2 = recipe.find("--page 2");
    EXPECT_NE(negative, std::string::npos);
    EXPECT_EQ(recipe.find("--page all"), std::string::npos);
    EXPECT_NE(recipe.find("# Inverse / Pages 1 à 3\n"), std::string::npos) << recipe;
    EXPECT_LT(negative, page2);
    EXPECT_LT(page2, recipe.find("--flip-h"));
    EXPECT_LT(recipe.find("--flip-h"), recipe.find("--delete-page 1"));
}

}  // namespace
