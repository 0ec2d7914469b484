// orvex-cli on stacks: --pages, --page, the reports and rows of each page,
// the stack written as one file, --project and --stack-from.

#include <gtest/gtest.h>

#include "CliSupport.h"
#include "ImageDocument.h"
#include "PictureFiles.h"
#include "StackFiles.h"
#include "StepsImage.h"
#include "TempFolderTest.h"

namespace {

class CliStack : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        for (int i = 0; i < 3; ++i)
            pages.push_back(GreyPage(6, 4, [i](int x, int y) { return 10 * i + x + 6 * y; }));
        ASSERT_TRUE(WriteTiffPages(P("stack.tif"), pages, {COMPRESSION_LZW}));
    }
    std::vector<SGreyPage> pages;
};

// The result of the command line equals the desktop's steps on the same
// stack, page for page.
TEST_F(CliStack, AllPagesNegatedIntoOneFile) {
    const CliResult r =
        RunTool({P("stack.tif"), "--pages", "all", "--negative", "-o", P("out.tif")});
    ASSERT_EQ(r.status, 0) << r.err;
    CImageDocument doc;
    ASSERT_EQ(doc.Open(P("stack.tif"), {1, 0}), FileStatus::Ok);
    ASSERT_TRUE(doc.RunOnPages(true, StepNegative));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(LibtiffPage(P("out.tif"), i) == PageLevels(*doc.GetPages()[i].image));
    EXPECT_EQ(LibtiffPage(P("out.tif"), 3).width, 0);
}

// Which pages come, and what each report prints of them.
TEST_F(CliStack, PagesChosenAndReportedOneByOne) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--info"}, 0, "width: 6\nheight: 4\nbits: 8\ncolors: 256\npages: 3\n"},
        {{"--pages", "2-3", "--stats"},
         0,
         "page: 2\nPixels: 24\nMinimum: 10\nMaximum: 33\nSomme: 516\nMoyenne: 21\n"
         "Ecart-type: 6.94022093788567\n"
         "page: 3\nPixels: 24\nMinimum: 20\nMaximum: 43\nSomme: 756\nMoyenne: 31\n"
         "Ecart-type: 6.94022093788567\n"},
        {{"--pages", "all", "--page", "3", "--negative", "--page", "all", "--stats", "--history"},
         0,
         "page: 1\nPixels: 24\nMinimum: 0\nMaximum: 23\nSomme: 276\nMoyenne: 11\n"
         "Ecart-type: 6.94022093788567\n"
         "page: 2\nPixels: 24\nMinimum: 10\nMaximum: 33\nSomme: 516\nMoyenne: 21\n"
         "Ecart-type: 6.94022093788567\n"
         "page: 3\nPixels: 24\nMinimum: 212\nMaximum: 235\nSomme: 5364\nMoyenne: 223\n"
         "Ecart-type: 6.94022093788567\n"
         "IMAGE BITMAP - HISTORIQUE\nImage : 6 x 4\nPages 1 à 3 / 3\nInverse\n"},
        {{"--pages", "all", "--negative", "--history"},
         0,
         "IMAGE BITMAP - HISTORIQUE\nImage : 6 x 4\nPages 1 à 3 / 3\nInverse\nPages 1 à 3\n"},
        {{"--pages", "4", "--info"}, 1, ""},
        {{"--pages", "2", "--page", "1", "--negative", "--info"}, 1, ""},
        {{"--pages", "3-2", "--info"}, 2, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{P("stack.tif")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult r = RunTool(args);
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status == 0) EXPECT_EQ(r.out, c.out);
        if (c.status != 0) EXPECT_FALSE(r.err.empty());
    }
}

// A one-page format with several pages: a usage error for one input, that
// file's failure in a batch, while the others are written.
TEST_F(CliStack, OnePageFormatsRefuseSeveralPages) {
    const CliResult one =
        RunTool({P("stack.tif"), "--pages", "all", "--negative", "-o", P("o.png")});
    EXPECT_EQ(one.status, 2);
    EXPECT_NE(one.err.find("PNG files hold one page, and 3 pages were chosen"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(P("o.png")));
    ASSERT_TRUE(WriteTiffPages(P("single.tif"), {pages[0]}));
    std::filesystem::create_directory(P("out"));
    const CliResult batch = RunTool({P("stack.tif"), P("single.tif"), "--pages", "all",
                                     "--negative", "--format", "png", "-o", P("out")});
    EXPECT_EQ(batch.status, 1);
    EXPECT_FALSE(std::filesystem::exists(P("out/stack.png")));
    EXPECT_TRUE(std::filesystem::exists(P("out/single.png")));
    // A BMP holds one page: the first, whatever range starts there.
    CImage bmp;
    ASSERT_TRUE(bmp.CreateEmptyImage(4, 3, 7));
    ASSERT_EQ(SaveBmpAt(bmp, P("one.bmp")), FileStatus::Ok);
    EXPECT_EQ(RunTool({P("one.bmp"), "--pages", "all", "--info"}).status, 0);
    const CliResult second = RunTool({P("one.bmp"), "--pages", "2", "--info"});
    EXPECT_NE(second.status, 0);
    EXPECT_NE(second.err.find("BMP files hold one page"), std::string::npos) << second.err;
    // A projection leaves one page, which any format holds.
    EXPECT_EQ(
        RunTool({P("stack.tif"), "--pages", "all", "--project", "max", "-o", P("m.png")}).status,
        0);
}

TEST_F(CliStack, OneRowPerPageAfterTheFileColumn) {
    const CliResult r =
        RunTool({P("stack.tif"), "--pages", "all", "--measure", "--negative", "--page", "2",
                 "--measure", "--table", "-", "--table-format", "csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = P("stack.tif");
    const std::string sd = "6.940220937885671,8,", valueSd = ",6.922186552431729,0,\r\n";
    EXPECT_EQ(r.out,
              "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,"
              "value_max,value_mean,value_sd,value_nan,error\r\n" +
                  file + ",1,1,6,4,24,0,23,276,11," + sd + "0,23,11.5" + valueSd + file +
                  ",2,1,6,4,24,10,33,516,21," + sd + "10,33,21.5" + valueSd + file +
                  ",3,1,6,4,24,20,43,756,31," + sd + "20,43,31.5" + valueSd + file +
                  ",2,2,6,4,24,222,245,5604,233," + sd + "222,245,233.5" + valueSd);
}

// Single pictures of a folder, in name order, become one stack; pictures
// of another size are refused.
TEST_F(CliStack, StackFromAFolder) {
    std::filesystem::create_directory(P("slices"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteTiffPages(P("slices/s" + std::to_string(3 - i) + ".tif"), {pages[i]}));
    const CliResult r = RunTool({"--stack-from", P("slices"), "--history", "-o", P("s.tif")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMAGE BITMAP - HISTORIQUE\nPile de 3 images\n");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(LibtiffPage(P("s.tif"), i) == pages[2 - i]);
    ASSERT_TRUE(WriteTiffPages(P("slices/s4.tif"), {GreyPage(2, 2, [](int, int) { return 0; })}));
    const CliResult refused = RunTool({"--stack-from", P("slices"), "-o", P("t.tif")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("l'image 4"), std::string::npos) << refused.err;
    EXPECT_EQ(RunTool({"--stack-from", P("slices"), P("stack.tif"), "-o", P("t.tif")}).status, 2);
}

}  // namespace
