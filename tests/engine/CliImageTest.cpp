// orvex-cli: palettes, thresholds, geometry and the measurement reports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "CliSupport.h"
#include "ImageDocument.h"
#include "TempFolderTest.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

class CliImage : public CTempFolderTest {};

}  // namespace

TEST_F(CliImage, StatsOfAUniformPicture) {
    const CliResult r = RunTool({"--uniform", "5,2,0", "--stats"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Pixels: 10\nMinimum: 0\nMaximum: 0\nSomme: 0\nMoyenne: 0\nEcart-type: 0\n");
}

TEST_F(CliImage, RotateAFileWithHistory) {
    {
        CImageDocument doc;
        FillPicture(*doc.GetImage(), 3, 2, [](int x, int y) { return 10 * y + x; });
        ASSERT_EQ(doc.Save(P("in.bmp")), FileStatus::Ok);
    }
    const CliResult r = RunTool({P("in.bmp"), "--rotate", "90", "--history", "-o", P("out.bmp")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMAGE BITMAP - HISTORIQUE\nImage : 3 x 2\nRotation(90)\n");
    CImageDocument result;
    ASSERT_EQ(result.Open(P("out.bmp")), FileStatus::Ok);
    CImage& image = *result.GetImage();
    EXPECT_EQ(image.GetSize(), (CSize{2, 3}));
    // Top-left (storage row 1, column 0) turns to the top right.
    EXPECT_EQ(PixelAt(image, 1, 2), 10);
}

TEST_F(CliImage, ChainOfOperationsAndHistogram) {
    const CliResult r = RunTool({"--uniform", "8,4,200", "--negative", "--flip-h", "--flip-v",
                                 "--resize", "4,4", "--palette-bar", "--palette", "heat",
                                 "--threshold", "40,60", "--history", "--histogram"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 9u + 256u);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 9),
              (std::vector<std::string>{
                  "IMAGE BITMAP - HISTORIQUE", "Image uniforme(8,4)", "Inverse",
                  "Retournement horizontal", "Retournement vertical", "Redimensionnement(4,4)",
                  "Ajout de la palette(20)", "Palette thermique", "Seuillage(40,60)"}));
    // 55 = 255 - 200 lies in 40 .. 60: the 16 picture pixels become 255; the
    // 80 bar pixels (0 .. 191) fall outside.
    EXPECT_EQ(all[9], "0 80");
    EXPECT_EQ(all[9 + 255], "255 16");
}

TEST_F(CliImage, AdaptiveThreshold) {
    const CliResult ok = RunTool({"--uniform", "4,4,9", "--adaptive", "2.5", "--stats"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("Minimum: 255\n"), std::string::npos);

    const CliResult refused =
        RunTool({"--uniform", "4,4,9", "--palette-bar", "--adaptive", "1000", "--info"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "orvex-cli: Invalid threshold\n");
}

TEST_F(CliImage, AdaptiveKIsReadAsTheDesktopReadsIt) {
    // Mean 100, standard deviation 10; see StepsImageTest for the numbers.
    CImageDocument doc;
    FillPicture(*doc.GetImage(), 9, 6, [](int x, int y) {
        const int i = 9 * y + x;
        return i < 11 ? 94 : i < 22 ? 106 : i < 38 ? 88 : 112;
    });
    ASSERT_EQ(doc.Save(P("k.bmp")), FileStatus::Ok);
    const CliResult r = RunTool({P("k.bmp"), "--adaptive", "0.7", "--histogram"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n255 27\n"), std::string::npos);
}

TEST_F(CliImage, UsageErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--uniform", "4,4,0", "--rotate", "45"},
             {"--uniform", "4,4,0", "--palette", "sepia"},
             {"--uniform", "4,4,0", "--threshold", "10"},
             {"--uniform", "4,4,0", "--threshold", "10,300"},
             {"--uniform", "4,4,0", "--resize", "0,4"},
             {"--uniform", "4,4,0", "--adaptive", "x"},
         }) {
        const CliResult r = RunTool(args);
        EXPECT_EQ(r.status, 2) << args[2] << " " << args[3];
        EXPECT_EQ(r.out, "");
    }
    const CliResult help = RunTool({"--help"});
    for (const char* flag :
         {"--palette", "--threshold", "--adaptive", "--negative", "--flip-h", "--flip-v",
          "--rotate", "--resize", "--palette-bar", "--stats", "--histogram"})
        EXPECT_NE(help.out.find(flag), std::string::npos) << flag;
}

TEST_F(CliImage, SameSizeResizeSucceeds) {
    const CliResult same = RunTool({"--uniform", "4,4,0", "--resize", "4,4", "--history"});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "IMAGE BITMAP - HISTORIQUE\nImage uniforme(4,4)\nRedimensionnement(4,4)\n");
}
