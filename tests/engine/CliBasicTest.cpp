// orvex-cli: inputs, outputs, exit statuses and the basic operations.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "TempFolderTest.h"
#include "UnprivilegedTest.h"

namespace fs = std::filesystem;

namespace {

class CliBasic : public CTempFolderTest {};

}  // namespace

TEST_F(CliBasic, UniformPictureWithHistory) {
    const CliResult r = RunTool({"--uniform", "100,80,7", "--history", "-o", P("x.bmp")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMAGE BITMAP - HISTORIQUE\nImage uniforme(100,80)\n");
    EXPECT_EQ(fs::file_size(P("x.bmp")), 9078u);

    const CliResult info = RunTool({P("x.bmp"), "--info", "--history"});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out,
              "width: 100\nheight: 80\nbits: 8\ncolors: 256\npages: 1\nIMAGE BITMAP - "
              "HISTORIQUE\nImage : "
              "100 x 80\n");
}

TEST_F(CliBasic, UsageErrorsExitWithTwoBeforeTouchingFiles) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--bogus"},
             {"--uniform"},
             {"--uniform", "10,10,300", "-o", P("a.bmp")},
             {"--uniform", "10,x,3", "-o", P("a.bmp")},
             {"--info"},
             {"--uniform", "4,4,0", "-o"},
             {P("a.bmp"), P("b.bmp"), "-o", P("not-a-folder.bmp")},
         }) {
        const CliResult r = RunTool(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_NE(r.err.find("orvex-cli: "), std::string::npos);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
    EXPECT_FALSE(fs::exists(P("a.bmp")));
}

TEST_F(CliBasic, HelpListsTheOperations) {
    const CliResult r = RunTool({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* flag : {"--uniform", "--roi", "--undo", "--info", "--history"})
        EXPECT_NE(r.out.find(flag), std::string::npos) << flag;
    // One option a line, as the manual page and the completion read them.
    for (const char* flag : {"-o OUTPUT", "--format EXT", "--files-from LIST", "--shard K/N",
                             "--skip-existing", "--recipe FILE", "--"})
        EXPECT_NE(r.out.find("\n  " + std::string(flag) + " "), std::string::npos) << flag;
}

TEST_F(CliBasic, SeveralInputsGoToAFolderAndAFailureDoesNotStopTheOthers) {
    ASSERT_EQ(RunTool({"--uniform", "3,3,1", "-o", P("one.bmp")}).status, 0);
    ASSERT_EQ(RunTool({"--uniform", "5,2,2", "-o", P("two.bmp")}).status, 0);
    std::ofstream(P("broken.bmp")) << "BM but not really a picture";
    fs::create_directories(folder / "out");
    const CliResult r =
        RunTool({P("one.bmp"), P("broken.bmp"), P("two.bmp"), "--info", "-o", P("out")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(fs::exists(folder / "out/one.bmp"));
    EXPECT_TRUE(fs::exists(folder / "out/two.bmp"));
    EXPECT_FALSE(fs::exists(folder / "out/broken.bmp"));
    EXPECT_NE(r.err.find(P("broken.bmp") + ": ReadFileBMP : "), std::string::npos) << r.err;
    // Reports come in input order.
    EXPECT_LT(r.out.find("width: 3"), r.out.find("width: 5"));
}

TEST_F(CliBasic, MissingInputFails) {
    const CliResult r = RunTool({P("absent.bmp"), "--info"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "orvex-cli: " + P("absent.bmp") + ": No such file or directory\n");
}

TEST_F(CliBasic, OutputsTheUserMayNotWriteAreKept) {
    RUN_AS_NOBODY_WHEN_ROOT();
    for (const std::string name : {"locked.bmp", "locked.pal"}) {
        std::ofstream(P(name)) << "precious";
        fs::permissions(P(name),
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    const CliResult picture = RunTool({"--uniform", "4,4,9", "-o", P("locked.bmp")});
    EXPECT_EQ(picture.status, 1);
    EXPECT_EQ(picture.err, "orvex-cli: " + P("locked.bmp") + ": Permission denied\n");
    const CliResult palette = RunTool({"--uniform", "4,4,9", "--save-palette", P("locked.pal")});
    EXPECT_EQ(palette.status, 1);
    EXPECT_EQ(palette.err, "orvex-cli: " + P("locked.pal") + ": Permission denied\n");
    for (const std::string name : {"locked.bmp", "locked.pal"}) {
        std::ifstream in(P(name));
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious") << name;
    }
}

TEST_F(CliBasic, WritableOutputInAClosedFolderIsWritten) {
    RUN_AS_NOBODY_WHEN_ROOT();
    fs::create_directory(folder / "closed");
    std::ofstream(folder / "closed" / "out.bmp") << "old";
    fs::permissions(folder / "closed", fs::perms::owner_read | fs::perms::owner_exec);
    const CliResult r = RunTool({"--uniform", "4,4,9", "-o", (folder / "closed/out.bmp").string()});
    const CliResult fresh =
        RunTool({"--uniform", "4,4,9", "-o", (folder / "closed/new.bmp").string()});
    fs::permissions(folder / "closed", fs::perms::owner_all);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::file_size(folder / "closed/out.bmp"), 1078u + 4u * 4u);
    // A new file is for the folder to allow.
    EXPECT_EQ(fresh.status, 1);
    EXPECT_EQ(fresh.err,
              "orvex-cli: " + (folder / "closed/new.bmp").string() + ": Permission denied\n");
}

TEST_F(CliBasic, UndoExchangesAndNeedsACopy) {
    const CliResult nothing = RunTool({"--uniform", "4,4,0", "--undo", "--info"});
    // The first picture replaced an empty document: there is nothing to go back to.
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.err, "orvex-cli: Undo : nothing to undo\n");
    const CliResult twice = RunTool(
        {"--uniform", "4,4,0", "--uniform", "6,6,1", "--undo", "--info", "--undo", "--info"});
    EXPECT_EQ(twice.status, 0) << twice.err;
    EXPECT_NE(twice.out.find("width: 4\n"), std::string::npos);
    EXPECT_GT(twice.out.rfind("width: 6\n"), twice.out.find("width: 4\n"));
}

TEST_F(CliBasic, RegionOutsideThePictureFails) {
    const CliResult r = RunTool({"--uniform", "10,10,0", "--roi", "0,0,11,5", "--info"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "orvex-cli: SetRoi : invalid rect, also set default\n"
              "orvex-cli: --roi: the region is not inside the picture; the run stopped here\n");
    EXPECT_EQ(RunTool({"--uniform", "10,10,0", "--roi", "2,2,5,5", "--info"}).status, 0);
}

TEST_F(CliBasic, UniformSizeBelowOneIsAUsageError) {
    for (const char* size : {"0,5,7", "5,-1,7"}) {
        const CliResult r = RunTool({"--uniform", size, "-o", P("u.bmp")});
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_EQ(r.err.rfind("orvex-cli: --uniform ", 0), 0u) << size;
        EXPECT_FALSE(std::filesystem::exists(P("u.bmp")));
    }
}

TEST_F(CliBasic, ListFiltersGivesKeysThatFilterTakes) {
    const CliResult r = RunTool({"--list-filters"});
    EXPECT_EQ(r.status, 0);
    std::istringstream lines(r.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        ASSERT_NE(tab2, std::string::npos) << line;
        const std::string key = line.substr(0, tab1), size = line.substr(tab1 + 1, tab2 - tab1 - 1);
        EXPECT_TRUE(size == "3" || size == "5" || size == "7") << line;
        EXPECT_EQ(RunTool({"--uniform", "9,9,4", "--filter", key, "--info"}).status, 0) << key;
    }
    EXPECT_EQ(count, 80);
    EXPECT_EQ(RunTool({"--version"}).out.rfind("orvex-cli ", 0), 0u);
}

TEST_F(CliBasic, BatchShowsProgressApartFromMessagesAndSumsUpFailures) {
    ASSERT_EQ(RunTool({"--uniform", "3,3,1", "-o", P("one.bmp")}).status, 0);
    std::ofstream(P("broken.bmp")) << "BM but not really a picture";
    const std::vector<std::string> args = {P("one.bmp"), P("broken.bmp"), P("absent.bmp"),
                                           "--info"};
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, in, out, err, true), 1);
    const std::string e = err.str();
    const std::size_t last = e.find("orvex-cli: 3/3 files, 2 failed");
    ASSERT_NE(last, std::string::npos) << e;
    // The line is erased before the first message, which starts a line.
    const std::size_t cleared = e.find("\r\033[K", last);
    EXPECT_LT(cleared, e.find(P("broken.bmp") + ": ReadFileBMP"));
    EXPECT_EQ(e.substr(e.size() - 48), "orvex-cli: 3 files: 1 done, 0 skipped, 2 failed\n");
    // Without a terminal there is no progress line, only the summary.
    const CliResult quiet = RunTool(args);
    EXPECT_EQ(quiet.err.find('\r'), std::string::npos);
    EXPECT_NE(quiet.err.find("orvex-cli: 3 files: 1 done, 0 skipped, 2 failed\n"),
              std::string::npos);
}
