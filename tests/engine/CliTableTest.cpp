// orvex-cli's measurement table: one table per run, rows in input order,
// fields quoted where a spreadsheet would misread them, always valid UTF-8,
// a row that says why for a file that failed, none for one left out.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "HistogramPlot.h"
#include "ImageDocument.h"
#include "TempFolderTest.h"

namespace fs = std::filesystem;

namespace {

struct TableCase {
    const char* name;
    std::vector<std::pair<std::string, int>> pictures;  // 3 x 2 pictures: name, level
    std::vector<std::string> args;
    int status;
    std::string table;         // what t.csv / t.tsv / t.jsonl or standard output holds
    std::string warning = "";  // a line standard error holds once
};

// Every picture is 3 x 2 of one level L: pixels 6, min = max = mean = L, sum 6 L, sd 0.
const TableCase kCases[] = {
    {"FileNamesQuotedAsRfc4180",
     {{"a,b.bmp", 1}, {"say \"hi\".bmp", 2}, {" lead.bmp", 3}, {"two\nlines.bmp", 4}},
     {"a,b.bmp", "say \"hi\".bmp", " lead.bmp", "two\nlines.bmp", "--measure", "--table", "t.csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,value_max,value_"
     "mean,value_sd,value_nan,error\r\n"
     "\"a,b.bmp\",1,1,3,2,6,1,1,6,1,0,8,1,1,1,0,0,\r\n"
     "\"say \"\"hi\"\".bmp\",1,1,3,2,6,2,2,12,2,0,8,2,2,2,0,0,\r\n"
     "\" lead.bmp\",1,1,3,2,6,3,3,18,3,0,8,3,3,3,0,0,\r\n"
     "\"two\nlines.bmp\",1,1,3,2,6,4,4,24,4,0,8,4,4,4,0,0,\r\n"},
    {"RowsInInputOrderWhateverTheThreads",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"p3.bmp", 3}, {"p4.bmp", 4}, {"p5.bmp", 5}, {"p6.bmp", 6}},
     {"p6.bmp", "p2.bmp", "p5.bmp", "p1.bmp", "p4.bmp", "p3.bmp", "--measure", "--negative",
      "--measure", "--table", "t.tsv"},
     0,
     "file\tpage\tstep\twidth\theight\tpixels\tmin\tmax\tsum\tmean\tsd\tvalue_depth\tvalue_"
     "min\tvalue_max\tvalue_mean\tvalue_sd\tvalue_nan\terror\n"
     "p6.bmp\t1\t1\t3\t2\t6\t6\t6\t36\t6\t0\t8\t6\t6\t6\t0\t0\t\np6."
     "bmp\t1\t2\t3\t2\t6\t249\t249\t1494\t249\t0\t8\t249\t249\t249\t0\t0\t\n"
     "p2.bmp\t1\t1\t3\t2\t6\t2\t2\t12\t2\t0\t8\t2\t2\t2\t0\t0\t\np2."
     "bmp\t1\t2\t3\t2\t6\t253\t253\t1518\t253\t0\t8\t253\t253\t253\t0\t0\t\n"
     "p5.bmp\t1\t1\t3\t2\t6\t5\t5\t30\t5\t0\t8\t5\t5\t5\t0\t0\t\np5."
     "bmp\t1\t2\t3\t2\t6\t250\t250\t1500\t250\t0\t8\t250\t250\t250\t0\t0\t\n"
     "p1.bmp\t1\t1\t3\t2\t6\t1\t1\t6\t1\t0\t8\t1\t1\t1\t0\t0\t\np1."
     "bmp\t1\t2\t3\t2\t6\t254\t254\t1524\t254\t0\t8\t254\t254\t254\t0\t0\t\n"
     "p4.bmp\t1\t1\t3\t2\t6\t4\t4\t24\t4\t0\t8\t4\t4\t4\t0\t0\t\np4."
     "bmp\t1\t2\t3\t2\t6\t251\t251\t1506\t251\t0\t8\t251\t251\t251\t0\t0\t\n"
     "p3.bmp\t1\t1\t3\t2\t6\t3\t3\t18\t3\t0\t8\t3\t3\t3\t0\t0\t\np3."
     "bmp\t1\t2\t3\t2\t6\t252\t252\t1512\t252\t0\t8\t252\t252\t252\t0\t0\t\n"},
    {"AShareWritesItsOwnRows",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"p3.bmp", 3}, {"p4.bmp", 4}, {"p5.bmp", 5}, {"p6.bmp", 6}},
     {"p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp", "p5.bmp", "p6.bmp", "--shard", "2/3", "--measure",
      "--table", "-", "--table-format", "csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,value_max,value_"
     "mean,value_sd,value_nan,error\r\n"
     "p3.bmp,1,1,3,2,6,3,3,18,3,0,8,3,3,3,0,0,\r\np4.bmp,1,1,3,2,6,4,4,24,4,0,8,4,4,4,0,0,\r\n"},
    // Its output is there, not its row: measured again, its output left as it is.
    {"ASkippedFileWithoutRowIsMeasuredAgain",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"out/p1.bmp", 9}},
     {"p1.bmp", "p2.bmp", "--measure", "--skip-existing", "--negative", "-o", "out", "--table",
      "t.csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,value_max,value_"
     "mean,value_sd,value_nan,error\r\n"
     "p1.bmp,1,1,3,2,6,1,1,6,1,0,8,1,1,1,0,0,\r\np2.bmp,1,1,3,2,6,2,2,12,2,0,8,2,2,2,0,0,\r\n"},
    {"SkippedFilesOfATableToStandardOutputHaveNoRow",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"out/p1.bmp", 9}},
     {"p1.bmp", "p2.bmp", "--measure", "--skip-existing", "--negative", "-o", "out", "--table", "-",
      "--table-format", "csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,value_max,value_"
     "mean,value_sd,value_nan,error\r\np2.bmp,1,1,3,2,6,2,2,12,2,0,8,2,2,2,0,0,"
     "\r\n"},
    {"AFailedFileKeepsItsRowWithTheReason",
     {{"p1.bmp", 1}, {"p2.bmp", 2}},
     {"p1.bmp", "missing.bmp", "colour.jpg", "p2.bmp", "--measure", "--table", "t.csv"},
     1,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,value_max,value_"
     "mean,value_sd,value_nan,error\r\n"
     "p1.bmp,1,1,3,2,6,1,1,6,1,0,8,1,1,1,0,0,\r\n"
     "missing.bmp,,,,,,,,,,,,,,,,,No such file or directory\r\n"
     "colour.jpg,,,,,,,,,,,,,,,,,--measure: needs an 8-bit picture with 256 colours "
     "(add --grey before --measure to measure grey levels)\r\n"
     "p2.bmp,1,1,3,2,6,2,2,12,2,0,8,2,2,2,0,0,\r\n"},
    {"AFailureAfterAMeasureKeepsThatRowAndAddsOne",
     {{"p1.bmp", 1}},
     {"p1.bmp", "--measure", "-o", "nowhere/p1.bmp", "--table", "t.jsonl"},
     1,
     "{\"file\":\"p1.bmp\",\"page\":1,\"step\":1,\"width\":3,\"height\":2,\"pixels\":6,\"min\":1,"
     "\"max\":1,\"sum\":6,\"mean\":1,\"sd\":0,\"value_depth\":\"8\",\"value_min\":1,"
     "\"value_max\":1,\"value_mean\":1,\"value_sd\":0,\"value_nan\":0,\"error\":\"\"}\n"
     "{\"file\":\"p1.bmp\",\"page\":null,\"step\":null,\"width\":null,\"height\":null,\"pixels\":"
     "null,"
     "\"min\":null,\"max\":null,\"sum\":null,\"mean\":null,\"sd\":null,\"value_depth\":null,"
     "\"value_min\":null,\"value_max\":null,\"value_mean\":null,\"value_sd\":null,"
     "\"value_nan\":null,"
     "\"error\":\"nowhere/p1.bmp: No such file or directory\"}\n"},
    {"ANameThatIsNotUtf8IsWrittenWithReplacementCharacters",
     {{"caf\xe9.bmp", 1}, {"caf\xc3\xa9.bmp", 2}},
     {"caf\xe9.bmp", "caf\xc3\xa9.bmp", "--measure", "--table", "t.csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,value_max,value_"
     "mean,value_sd,value_nan,error\r\n"
     "caf\xef\xbf\xbd.bmp,1,1,3,2,6,1,1,6,1,0,8,1,1,1,0,0,\r\n"
     "caf\xc3\xa9.bmp,1,1,3,2,6,2,2,12,2,0,8,2,2,2,0,0,\r\n",
     "orvex-cli: caf\xe9.bmp: the name is not valid UTF-8: the table shows U+FFFD for the "
     "bytes that are not\n"},
    {"HistogramColumnsEmptyForAPlainMeasure",
     {{"p7.bmp", 7}},
     {"p7.bmp", "--measure", "--measure-histogram", "--table", "t.csv"},
     0,
     [] {
         std::string header =
             "file,page,step,width,height,pixels,min,max,sum,mean,sd,value_depth,value_min,"
             "value_max,value_mean,value_sd,value_nan";
         std::string plain = "p7.bmp,1,1,3,2,6,7,7,42,7,0,8,7,7,7,0,0",
                     counts = "p7.bmp,1,2,3,2,6,7,7,42,7,0,8,7,7,7,0,0";
         for (int level = 0; level < 256; ++level) {
             header += ",h" + std::to_string(level);
             plain += ",";
             counts += level == 7 ? ",6" : ",0";
         }
         return header + ",error\r\n" + plain + ",\r\n" + counts + ",\r\n";
     }()},
    {"JsonLinesNameEveryField",
     {},
     {"--uniform", "3,2,5", "--measure", "--table", "t.jsonl"},
     0,
     "{\"file\":\"\",\"page\":1,\"step\":1,\"width\":3,\"height\":2,\"pixels\":6,\"min\":5,\"max\":"
     "5,"
     "\"sum\":30,\"mean\":5,\"sd\":0,\"value_depth\":\"8\",\"value_min\":5,\"value_max\":5,"
     "\"value_mean\":5,\"value_sd\":0,\"value_nan\":0,\"error\":\"\"}\n"},
    {"AnUnwritableTableStopsTheRunBeforeAnyFile",
     {{"p1.bmp", 1}},
     {"p1.bmp", "--measure", "--negative", "-o", "p1.bmp", "--table", "nowhere/t.csv"},
     2,
     ""},
};

class CliTable : public CTempFolderTest, public ::testing::WithParamInterface<TableCase> {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        previous = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(previous);
        CTempFolderTest::TearDown();
    }
    fs::path previous;
};

std::string Read(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

}  // namespace

TEST_P(CliTable, WritesTheTable) {
    const TableCase& c = GetParam();
    fs::create_directory("out");
    fs::copy_file(ORVEX_TESTDATA "/formats/jpeg-rgb.jpg", "colour.jpg");
    for (const auto& [name, level] : c.pictures)
        ASSERT_EQ(RunTool({"--uniform", "3,2," + std::to_string(level), "-o", name}).status, 0);
    const std::string before = Read("p1.bmp"), output = Read("out/p1.bmp");
    const CliResult r = RunTool(c.args);
    EXPECT_EQ(Read("out/p1.bmp"), output);  // an existing output is a finished one
    EXPECT_EQ(r.status, c.status) << r.err;
    std::string table = r.out;
    for (const char* name : {"t.csv", "t.tsv", "t.jsonl"})
        if (fs::exists(name)) table = Read(name);
    EXPECT_EQ(table, c.table);
    if (!c.warning.empty()) {
        const std::size_t at = r.err.find(c.warning);
        EXPECT_NE(at, std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(c.warning, at + 1), std::string::npos) << r.err;
    }
    if (c.status == 2) EXPECT_EQ(Read("p1.bmp"), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// orvex-cli in a process of its own, in the test's folder.
pid_t Start(const fs::path& folder, const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(127);
        std::vector<char*> argv{const_cast<char*>(ORVEX_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(ORVEX_CLI_PATH, argv.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

// A run killed half-way, while it waits on an input that is a pipe no one
// writes, then run again with --skip-existing once the input is a picture,
// writes the table an uninterrupted run writes, byte for byte: the rows it
// had from the side file, the one it waited on, and the failed file's again.
// Run once more with one input added, it takes the others' rows from the
// table and measures only the new one.
TEST_F(CliTable, AKilledRunResumedWritesTheSameTable) {
    std::vector<std::string> names = {"p1.bmp",      "a,b\n\"c\".bmp", "p3.bmp", "stall.bmp",
                                      "missing.bmp", "p5.bmp",         "p6.bmp"};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] != "stall.bmp" && names[i] != "missing.bmp")
            ASSERT_EQ(RunTool({"--uniform", "3,2," + std::to_string(i), "-o", names[i]}).status, 0);
    ASSERT_EQ(mkfifo("stall.bmp", 0600), 0);
    const auto run = [&](const std::string& table, std::vector<std::string> more = {}) {
        std::vector<std::string> args = names;
        args.insert(args.end(), {"--measure-histogram", "--table", table});
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };

    const pid_t killed = Start(folder, run("t.csv"));
    std::string part;
    for (int wait = 0; wait < 3000; ++wait, usleep(10000)) {
        part = Read("t.csv.part");
        if (part.find("p1.bmp") != std::string::npos && part.find("a,b") != std::string::npos &&
            part.find("p3.bmp") != std::string::npos)
            break;
    }
    kill(killed, SIGKILL);
    waitpid(killed, nullptr, 0);
    ASSERT_NE(part.find("p3.bmp"), std::string::npos) << part;
    EXPECT_FALSE(fs::exists("t.csv"));

    fs::remove("stall.bmp");
    ASSERT_EQ(RunTool({"--uniform", "3,2,9", "-o", "stall.bmp"}).status, 0);
    EXPECT_EQ(RunTool(run("whole.csv")).status, 1);
    const CliResult resumed = RunTool(run("t.csv", {"--skip-existing"}));
    EXPECT_EQ(resumed.status, 1) << resumed.err;
    EXPECT_EQ(Read("t.csv"), Read("whole.csv"));
    EXPECT_FALSE(fs::exists("t.csv.part"));

    ASSERT_EQ(RunTool({"--uniform", "3,2,40", "-o", "p8.bmp"}).status, 0);
    names.push_back("p8.bmp");
    ASSERT_EQ(RunTool(run("whole.csv")).status, 1);
    const CliResult added = RunTool(run("t.csv", {"--skip-existing"}));
    EXPECT_EQ(Read("t.csv"), Read("whole.csv"));
    EXPECT_NE(added.err.find("8 files: 1 done, 6 skipped, 1 failed"), std::string::npos)
        << added.err;
}

// The histogram plot is a figure: at the default size a picture of two
// levels shows two bars two pixels wide, with axes and words; as SVG its
// words are text, escaped.
TEST_F(CliTable, TheHistogramPlotIsAFigure) {
    ASSERT_EQ(
        RunTool({"--uniform", "8,4,10", "--roi", "0,0,3,3", "--negative", "-o", "a<&b.bmp"}).status,
        0);
    ASSERT_EQ(RunTool({"a<&b.bmp", "--histogram-plot", "plot.png", "--histogram-plot", "plot.svg"})
                  .status,
              0);
    CImageDocument plot;
    ASSERT_EQ(plot.Open("plot.png"), FileStatus::Ok);
    const CImage& image = *plot.GetImage();
    ASSERT_EQ(image.GetSize(), kPlotDefaultSize);
    // Drawn as laid out: two bars two pixels wide, 235 levels apart, the
    // ticks and the counts in words.
    std::uint32_t counts[256] = {};
    counts[10] = 23, counts[245] = 9;
    const SHistogramFigure figure = LayHistogramFigure(counts, kPlotDefaultSize, "t");
    std::vector<int> bars;
    for (const SFigureRect& r : figure.rects)
        if (r.width == 2) bars.push_back(r.x);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[1] - bars[0], 235 * 2);
    int black = 0;
    const CStoredRows rows = image.GetStoredRows();
    for (int y = 0; y < rows.height; ++y)
        black += static_cast<int>(std::count(rows.Row(y), rows.Row(y) + rows.width, 0));
    EXPECT_GT(black, 600);  // axes, bars and words
    const std::string svg = Read("plot.svg");
    EXPECT_NE(svg.find(">a&lt;&amp;b.bmp</text>"), std::string::npos) << svg;
    for (const char* tick :
         {">0</text>", ">64</text>", ">128</text>", ">192</text>", ">255</text>", ">23</text>"})
        EXPECT_NE(svg.find(tick), std::string::npos) << tick;
}
