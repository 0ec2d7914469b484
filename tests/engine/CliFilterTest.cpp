// orvex-cli: convolution, morphology, perspective, tone curves and palette files.
#include <gtest/gtest.h>

#include "CliSupport.h"
#include "PaletteFile.h"
#include "TempFolderTest.h"

using CliFilter = CTempFolderTest;

TEST_F(CliFilter, FiltersAndMorphologyRecordTheirLines) {
    const CliResult r = RunTool({"--uniform", "20,20,100", "--filter", "Lissage Gaussien 3x3 1",
                                 "--kernel", "3:0,0,0,0,1,0,0,0,0", "--contours", "--dilate",
                                 "--erode", "--open", "--close", "--stats", "--history"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(
        r.out.find(
            "Image uniforme(20,20)\nFiltrage linéaire\nFiltrage\nFiltrage linéaire\nFiltrage\n"
            "Contours\nDilatation morphologique\nErosion morphologique\n"
            "Ouverture morphologique\nFermeture morphologique\n"),
        std::string::npos)
        << r.out;
}

TEST_F(CliFilter, PerspectiveDefaultsAndValues) {
    const CliResult r =
        RunTool({"--uniform", "100,80,0", "--perspective", "gradient", "--info", "--undo",
                 "--perspective", "cloud:64,0,30,30,100,255", "--info", "--history"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "width: 200\nheight: 203\nbits: 8\ncolors: 256\npages: 1\n"
              "width: 180\nheight: 183\nbits: 8\ncolors: 256\npages: 1\n"
              "IMAGE BITMAP - HISTORIQUE\nImage uniforme(100,80)\nPerspective gradient\nPerpective "
              "nuage\n");

    const CliResult refused =
        RunTool({"--uniform", "100,80,0", "--perspective", "gradient:64,-200,30,30,0,0", "--info"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "orvex-cli: Perspective : empty result\n");
}

TEST_F(CliFilter, ArgumentsAreCheckedBeforeAnythingRuns) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--filter", "Lissage Gaussien 3x3 1 "},
             {"--filter", "Personalisé"},
             {"--kernel", "4:1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"},
             {"--kernel", "3:1,1,1,1,1,1,1,1"},
             {"--kernel", "3:1,1,1,1,100,1,1,1,1"},
             {"--kernel", "1,1,1,1,1,1,1,1,1"},
             {"--perspective", "relief"},
             {"--perspective", "gradient:1,2,3"},
             {"--dynamic", "power:0"},
             {"--dynamic", "power:100"},
             {"--dynamic", "power"},
             {"--dynamic", "linear:2"},
             {"--dynamic", "gamma"},
         }) {
        std::vector<std::string> line = {"--uniform", "4,4,0"};
        line.insert(line.end(), args.begin(), args.end());
        const CliResult r = RunTool(line);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1];
    }
}

TEST_F(CliFilter, DynamicMapsTheRegion) {
    const CliResult r = RunTool({"--uniform", "4,4,128", "--dynamic", "power:2", "--stats",
                                 "--dynamic", "inverse", "--stats"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Minimum: 64\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Minimum: 191\n"), std::string::npos) << r.out;
}

TEST_F(CliFilter, PaletteFilesRoundTrip) {
    CPaletteColors colors;
    for (int i = 0; i < 256; ++i) {
        colors.red[i] = static_cast<std::uint8_t>(255 - i);
        colors.green[i] = static_cast<std::uint8_t>(i / 2);
        colors.blue[i] = 7;
    }
    ASSERT_TRUE(WritePaletteFile(P("in.pal"), colors));
    const CliResult r = RunTool({"--uniform", "4,4,0", "--palette-file", P("in.pal"),
                                 "--save-palette", P("out.pal"), "--history"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Palette personalisée\n"), std::string::npos);
    CPaletteColors back;
    ASSERT_TRUE(ReadPaletteFile(P("out.pal"), back));
    EXPECT_EQ(back, colors);

    const CliResult missing =
        RunTool({"--uniform", "4,4,0", "--palette-file", P("none.pal"), "--info"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "orvex-cli: " + P("none.pal") + ": No such file or directory\n");
}
