// orvex-cli's measurement table: one table per run, rows in input order,
// fields quoted where a spreadsheet would misread them, no row for a file
// that failed or was left out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "TempFolderTest.h"

namespace fs = std::filesystem;

namespace {

struct TableCase {
    const char* name;
    std::vector<std::pair<std::string, int>> pictures;  // 3 x 2 pictures: name, level
    std::vector<std::string> args;
    int status;
    std::string table;  // what t.csv / t.tsv / t.jsonl or standard output holds
};

// Every picture is 3 x 2 of one level L: pixels 6, min = max = mean = L, sum 6 L, sd 0.
const TableCase kCases[] = {
    {"FileNamesQuotedAsRfc4180",
     {{"a,b.bmp", 1}, {"say \"hi\".bmp", 2}, {" lead.bmp", 3}, {"two\nlines.bmp", 4}},
     {"a,b.bmp", "say \"hi\".bmp", " lead.bmp", "two\nlines.bmp", "--measure", "--table", "t.csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd\r\n"
     "\"a,b.bmp\",1,1,3,2,6,1,1,6,1,0\r\n"
     "\"say \"\"hi\"\".bmp\",1,1,3,2,6,2,2,12,2,0\r\n"
     "\" lead.bmp\",1,1,3,2,6,3,3,18,3,0\r\n"
     "\"two\nlines.bmp\",1,1,3,2,6,4,4,24,4,0\r\n"},
    {"RowsInInputOrderWhateverTheThreads",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"p3.bmp", 3}, {"p4.bmp", 4}, {"p5.bmp", 5}, {"p6.bmp", 6}},
     {"p6.bmp", "p2.bmp", "p5.bmp", "p1.bmp", "p4.bmp", "p3.bmp", "--measure", "--negative",
      "--measure", "--table", "t.tsv"},
     0,
     "file\tpage\tstep\twidth\theight\tpixels\tmin\tmax\tsum\tmean\tsd\n"
     "p6.bmp\t1\t1\t3\t2\t6\t6\t6\t36\t6\t0\np6.bmp\t1\t2\t3\t2\t6\t249\t249\t1494\t249\t0\n"
     "p2.bmp\t1\t1\t3\t2\t6\t2\t2\t12\t2\t0\np2.bmp\t1\t2\t3\t2\t6\t253\t253\t1518\t253\t0\n"
     "p5.bmp\t1\t1\t3\t2\t6\t5\t5\t30\t5\t0\np5.bmp\t1\t2\t3\t2\t6\t250\t250\t1500\t250\t0\n"
     "p1.bmp\t1\t1\t3\t2\t6\t1\t1\t6\t1\t0\np1.bmp\t1\t2\t3\t2\t6\t254\t254\t1524\t254\t0\n"
     "p4.bmp\t1\t1\t3\t2\t6\t4\t4\t24\t4\t0\np4.bmp\t1\t2\t3\t2\t6\t251\t251\t1506\t251\t0\n"
     "p3.bmp\t1\t1\t3\t2\t6\t3\t3\t18\t3\t0\np3.bmp\t1\t2\t3\t2\t6\t252\t252\t1512\t252\t0\n"},
    {"AShareWritesItsOwnRows",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"p3.bmp", 3}, {"p4.bmp", 4}, {"p5.bmp", 5}, {"p6.bmp", 6}},
     {"p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp", "p5.bmp", "p6.bmp", "--shard", "2/3", "--measure",
      "--table", "-", "--table-format", "csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd\r\n"
     "p3.bmp,1,1,3,2,6,3,3,18,3,0\r\np4.bmp,1,1,3,2,6,4,4,24,4,0\r\n"},
    {"SkippedFilesHaveNoRow",
     {{"p1.bmp", 1}, {"p2.bmp", 2}, {"out/p1.bmp", 9}},
     {"p1.bmp", "p2.bmp", "--measure", "--skip-existing", "--negative", "-o", "out", "--table",
      "t.csv"},
     0,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd\r\np2.bmp,1,1,3,2,6,2,2,12,2,0\r\n"},
    {"FailedFilesHaveNoRowTheOthersKeepTheirs",
     {{"p1.bmp", 1}, {"p2.bmp", 2}},
     {"p1.bmp", "missing.bmp", "colour.jpg", "p2.bmp", "--measure", "--table", "t.csv"},
     1,
     "file,page,step,width,height,pixels,min,max,sum,mean,sd\r\n"
     "p1.bmp,1,1,3,2,6,1,1,6,1,0\r\np2.bmp,1,1,3,2,6,2,2,12,2,0\r\n"},
    {"HistogramColumnsEmptyForAPlainMeasure",
     {{"p7.bmp", 7}},
     {"p7.bmp", "--measure", "--measure-histogram", "--table", "t.csv"},
     0,
     [] {
         std::string header = "file,page,step,width,height,pixels,min,max,sum,mean,sd";
         std::string plain = "p7.bmp,1,1,3,2,6,7,7,42,7,0", counts = "p7.bmp,1,2,3,2,6,7,7,42,7,0";
         for (int level = 0; level < 256; ++level) {
             header += ",h" + std::to_string(level);
             plain += ",";
             counts += level == 7 ? ",6" : ",0";
         }
         return header + "\r\n" + plain + "\r\n" + counts + "\r\n";
     }()},
    {"JsonLinesNameEveryField",
     {},
     {"--uniform", "3,2,5", "--measure", "--table", "t.jsonl"},
     0,
     "{\"file\":\"\",\"page\":1,\"step\":1,\"width\":3,\"height\":2,\"pixels\":6,\"min\":5,\"max\":"
     "5,"
     "\"sum\":30,\"mean\":5,\"sd\":0}\n"},
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
    const std::string before = Read("p1.bmp");
    const CliResult r = RunTool(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    std::string table = r.out;
    for (const char* name : {"t.csv", "t.tsv", "t.jsonl"})
        if (fs::exists(name)) table = Read(name);
    EXPECT_EQ(table, c.table);
    if (c.status == 2) EXPECT_EQ(Read("p1.bmp"), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
