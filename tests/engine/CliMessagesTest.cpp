// orvex-cli as a shell user meets it: each command line's exit status and the
// first line it prints on standard error, and pictures through pipes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "TempFolderTest.h"

namespace fs = std::filesystem;

namespace {

class CliMessages : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        ASSERT_EQ(RunTool({"--uniform", "6,4,9", "-o", P("a.bmp")}).status, 0);
        for (const char* copy :
             {"-neg.bmp", "d1/x.bmp", "d2/x.bmp", "ro/x.bmp", "d1/a.pgm", "d1/a.tif"}) {
            fs::create_directories((folder / copy).parent_path());
            fs::copy_file(P("a.bmp"), P(copy));
        }
        fs::permissions(P("ro/x.bmp"), fs::perms::none);
        fs::create_directories(folder / "out");
        fs::create_directories(folder / "scans");
        fs::create_directories(folder / "locked");
        fs::permissions(P("locked"), fs::perms::none);
        std::ofstream(P("notes.txt")) << "not a picture\n";
        std::ofstream(P("r.txt")) << "--negative\n";
        for (const char* picture : {"bad-png-garbage.png", "jpeg-rgb.jpg", "tiff-grey8-3pages.tif",
                                    "tiff-float32.tif", "tiff-cmyk.tif"})
            fs::copy_file(fs::path(ORVEX_TESTDATA) / "formats" / picture, folder / picture);
    }

    // Runs `line` through the shell in the test's folder, as the user types it.
    CliResult Shell(const std::string& line) const {
        const std::string command =
            "cd '" + folder.string() + "' && { " + line + "; } >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        auto read = [&](const char* name) {
            std::ostringstream text;
            text << std::ifstream(P(name)).rdbuf();
            return text.str();
        };
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("out.txt"), read("err.txt")};
    }
};

const std::string kCli = ORVEX_CLI_PATH;

}  // namespace

TEST_F(CliMessages, EachCommandLineEndsWithItsStatusAndItsReason) {
    struct Row {
        std::string args;
        int status;
        std::string firstErrorLine;
        bool asUser = false;
    };
    for (const Row& row : std::vector<Row>{
             // A failing file: its name and the system's reason.
             {"nosuch.bmp --info", 1, "orvex-cli: nosuch.bmp: No such file or directory"},
             {"ro/x.bmp --info", 1, "orvex-cli: ro/x.bmp: Permission denied", true},
             // A folder: an empty one is no error; one that cannot be read is, and so is
             // each of its files that cannot be read, which is no "not a picture".
             {"scans --info", 0, "orvex-cli: 0 files: 0 done, 0 skipped, 0 failed"},
             {"locked --info", 2, "orvex-cli: locked: Permission denied", true},
             {"ro --info", 1, "orvex-cli: ro/x.bmp: Permission denied", true},
             {"a.bmp d1/x.bmp --negative -o missing/", 2,
              "orvex-cli: missing/: No such file or directory"},
             {"a.bmp --palette-file none.pal -o b.bmp", 1,
              "orvex-cli: a.bmp: none.pal: No such file or directory"},
             {"a.bmp nosuch.bmp --info", 1, "orvex-cli: nosuch.bmp: No such file or directory"},
             {"notes.txt --info", 1,
              "orvex-cli: notes.txt: not a picture in a format orvex-cli reads (BMP, PNG, TIFF, "
              "JPEG, PGM/PPM/PBM, GIF)"},
             {"bad-png-garbage.png --info", 1,
              "orvex-cli: bad-png-garbage.png: damaged PNG file (invalid IHDR chunk size)"},
             {"tiff-cmyk.tif --info", 1,
              "orvex-cli: tiff-cmyk.tif: unsupported TIFF file (CMYK colours)"},
             {"jpeg-rgb.jpg -o b.pgm", 1,
              "orvex-cli: b.pgm: PGM files hold grey levels only, and this picture shows colours"},
             {"a.bmp --negative -o b.jpg", 2,
              "orvex-cli: b.jpg: the extension says what is written: .bmp, .png, .tif, .tiff, "
              ".pgm, .ppm, .pbm or .gif (try --help)"},
             // No success for lost work.
             {"a.bmp --histogram >/dev/full", 1,
              "orvex-cli: standard output: No space left on device"},
             {"a.bmp --negative", 2, "orvex-cli: nothing would be written: add -o FILE"},
             {"a.bmp --negative --stats", 0, ""},
             {"'' --info", 2, "orvex-cli: an input's file name is empty (try --help)"},
             {"a.bmp --negative -o ''", 2,
              "orvex-cli: -o needs a name, not an empty one (try --help)"},
             // Values that cannot mean what they say.
             {"a.bmp --threshold 9,3 --info", 2,
              "orvex-cli: --threshold 9,3: expects LOW,HIGH, two grey levels 0 .. 255 with LOW "
              "<= HIGH (try --help)"},
             {"--uniform 0,4,7 --info", 2,
              "orvex-cli: --uniform 0,4,7: expects W,H,LEVEL with W and H at least 1, LEVEL in "
              "0 .. 255 (try --help)"},
             {"a.bmp --roi 0,0,11,5 --info", 1,
              "orvex-cli: a.bmp: SetRoi : invalid rect, also set default"},
             // Conventions.
             {"--info -- -neg.bmp", 0, ""},
             {"--negtive", 2, "orvex-cli: unknown option '--negtive': did you mean --negative?"},
             {"--uniform=4,4,1 --rotate=90 -o r.bmp", 0, ""},
             {"a.bmp --negative=1 -o b.bmp", 2,
              "orvex-cli: --negative takes no value (try --help)"},
             {"- a.bmp --info <a.bmp", 2,
              "orvex-cli: - (standard input) can only be the one input (try --help)"},
             // A result over its own input says what of it is not kept, and succeeds.
             {"tiff-grey8-3pages.tif --negative -o t.tif", 0, ""},
             {"tiff-grey8-3pages.tif --negative -o ./tiff-grey8-3pages.tif", 0,
              "orvex-cli: tiff-grey8-3pages.tif: only page 1 of 3 is written"},
             {"tiff-float32.tif --negative -o ./tiff-float32.tif", 0,
              "orvex-cli: tiff-float32.tif: 32-bit floating-point samples are written as their "
              "8-bit window -0.25..1.75"},
             // A colour picture measured: how to measure its grey levels instead.
             {"jpeg-rgb.jpg --measure --table t.csv", 1,
              "orvex-cli: jpeg-rgb.jpg: --measure: needs an 8-bit picture with 256 colours "
              "(add --grey before --measure to measure grey levels)"},
             // Two results for one output file.
             {"d1/x.bmp d2/x.bmp --negative -o out", 2,
              "orvex-cli: d1/x.bmp and d2/x.bmp would both be written to out/x.bmp"},
             {"d2/x.bmp a.bmp d1/x.bmp --recipe r.txt -o out", 2,
              "orvex-cli: d2/x.bmp and d1/x.bmp would both be written to out/x.bmp"},
             // A BMP file named .pgm is written as the BMP it is.
             {"a.bmp d1/a.pgm --negative -o out", 2,
              "orvex-cli: a.bmp and d1/a.pgm would both be written to out/a.bmp"},
             {"a.bmp d1/a.tif --negative --format png -o out", 2,
              "orvex-cli: a.bmp and d1/a.tif would both be written to out/a.png"},
         }) {
        // Root reads every file: permissions are tried as nobody, who is handed
        // the program open as it may not enter the build folder.
        const CliResult r =
            Shell(row.asUser && geteuid() == 0
                      ? "setpriv --reuid=nobody --regid=nogroup --clear-groups /proc/self/fd/3 " +
                            row.args + " 3<'" + kCli + "'"
                      : kCli + " " + row.args);
        EXPECT_EQ(r.status, row.status) << row.args << "\n" << r.err;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), row.firstErrorLine) << row.args;
    }
    for (const char* unwritten : {"b.bmp", "b.pgm", "b.jpg"})
        EXPECT_FALSE(fs::exists(folder / unwritten)) << unwritten;
    EXPECT_TRUE(fs::is_empty(folder / "out"));
}

TEST_F(CliMessages, PicturesGoThroughPipes) {
    const CliResult piped =
        Shell(kCli + " - --negative -o - <a.bmp | " + kCli +
              " - --rotate 90 -o - --format png | tee piped.png | " + kCli + " - --stats");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_NE(piped.out.find("Minimum: 246\n"), std::string::npos) << piped.out;
    ASSERT_EQ(RunTool({P("a.bmp"), "--negative", "--rotate", "90", "-o", P("direct.png")}).status,
              0);
    std::ostringstream a, b;
    a << std::ifstream(P("piped.png"), std::ios::binary).rdbuf();
    b << std::ifstream(P("direct.png"), std::ios::binary).rdbuf();
    EXPECT_EQ(a.str(), b.str());
}
