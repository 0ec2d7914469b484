// orvex-cli as one job of many: input lists, shares of a list, and resuming
// a batch that was stopped.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "CliSupport.h"
#include "PictureFormat.h"
#include "TempFolderTest.h"
#include "UsableCpus.h"

namespace fs = std::filesystem;

namespace {

class CliBatch : public CTempFolderTest {
protected:
    // `count` small pictures of different levels, and the list naming them.
    std::string MakeList(int count) {
        std::ofstream list(P("list.txt"));
        for (int i = 0; i < count; ++i) {
            const std::string name = P("p" + std::to_string(i) + ".bmp");
            EXPECT_EQ(RunTool({"--uniform", "5,3," + std::to_string(i), "-o", name}).status, 0);
            list << name << '\n';
        }
        return P("list.txt");
    }

    // Each output file of `name`'s folder with its bytes.
    std::map<std::string, std::string> Folder(const std::string& name) const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder / name)) {
            std::ostringstream bytes;
            bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            files[entry.path().filename().string()] = bytes.str();
        }
        return files;
    }
};

}  // namespace

TEST_F(CliBatch, TheSharesOfAListCoverItExactlyOnce) {
    const std::string list = MakeList(5);
    for (const int n : {1, 2, 3, 5, 8}) {
        std::map<std::string, int> seen;
        for (int k = 1; k <= n; ++k) {
            const std::string shard = std::to_string(k) + "/" + std::to_string(n);
            const CliResult r = RunTool({"--files-from", list, "--shard", shard, "--info"});
            ASSERT_EQ(r.status, 0) << shard << r.err;
            std::istringstream lines(r.out);
            for (std::string line; std::getline(lines, line);)
                if (line.rfind("==> ", 0) == 0) ++seen[line];
        }
        EXPECT_EQ(seen.size(), 5u) << n;
        for (const auto& [header, times] : seen) EXPECT_EQ(times, 1) << n << header;
    }
    EXPECT_EQ(RunTool({"--files-from", list, "--shard", "3/2", "--info"}).status, 2);
}

TEST_F(CliBatch, SkipExistingResumesAStoppedRunToTheSameOutputs) {
    const std::string list = MakeList(6);
    fs::create_directories(folder / "clean");
    fs::create_directories(folder / "resumed");
    const std::vector<std::string> run = {"--files-from", list, "--negative", "--rotate", "90"};
    auto into = [&](const std::string& out, std::vector<std::string> extra) {
        std::vector<std::string> args = run;
        args.insert(args.end(), {"-o", P(out)});
        args.insert(args.end(), extra.begin(), extra.end());
        return RunTool(args);
    };
    ASSERT_EQ(into("clean", {}).status, 0);
    // Stopped after the first half: saves are complete or absent, so what is
    // there is finished.
    ASSERT_EQ(into("resumed", {"--shard", "1/2"}).status, 0);
    const CliResult resumed = into("resumed", {"--skip-existing"});
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(resumed.err, "orvex-cli: 6 files: 3 done, 3 skipped, 0 failed\n");
    EXPECT_EQ(Folder("resumed"), Folder("clean"));
}

TEST_F(CliBatch, TheListComesFromStandardInput) {
    MakeList(3);
    std::ifstream list(P("list.txt"));
    std::ostringstream text;
    text << list.rdbuf() << "\n" << P("absent.bmp") << "\r\n";
    const CliResult r = RunTool({"--files-from", "-", "--info"}, text.str());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("==> " + P("p2.bmp") + " <==\nwidth: 5\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "orvex-cli: " + P("absent.bmp") +
                         ": No such file or directory\norvex-cli: 4 files: 3 done, 0 skipped, 1 "
                         "failed\n");
}

TEST_F(CliBatch, EachResultIsWrittenInTheFormatItsInputOrTheBatchAsks) {
    const fs::path formats = fs::path(ORVEX_TESTDATA) / "formats";
    std::vector<std::string> args;
    for (const char* name :
         {"png-grey8.png", "jpeg-grey.jpg", "tiff-grey8-raw.tif", "pgm-p5.pgm", "ppm-p6.ppm"}) {
        fs::copy_file(formats / name, folder / name);
        args.push_back(P(name));
    }
    args.insert(args.end(), {"--grey", "--flip-h"});
    for (const char* out : {"kept", "asked"}) fs::create_directories(folder / out);
    auto into = [&](std::vector<std::string> extra) {
        std::vector<std::string> line = args;
        line.insert(line.end(), extra.begin(), extra.end());
        return RunTool(line);
    };
    ASSERT_EQ(into({"-o", P("kept")}).err, "");
    ASSERT_EQ(into({"--format", "tiff", "-o", P("asked")}).err, "");
    auto bytes = [&](const std::string& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    };
    // A JPEG's and a colour PPM's results are PNG; the others keep their format, whatever their
    // files are called, and hold the same picture as the TIFF files asked for.
    for (const auto& [kept, format] : std::vector<std::pair<std::string, PictureFormat>>{
             {"png-grey8.png", *FormatNamed("PNG")},
             {"jpeg-grey.png", *FormatNamed("PNG")},
             {"tiff-grey8-raw.tif", *FormatNamed("TIFF")},
             {"pgm-p5.pgm", *FormatNamed("PGM")},
             {"ppm-p6.png", *FormatNamed("PNG")}}) {
        const std::string head = bytes(P("kept/" + kept)).substr(0, 8);
        EXPECT_EQ(
            DetectPictureFormat(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()),
            format)
            << kept;
        const std::string asked = P("asked/" + fs::path(kept).stem().string() + ".tif");
        ASSERT_EQ(RunTool({P("kept/" + kept), "-o", P("k.bmp")}).status, 0) << kept;
        ASSERT_EQ(RunTool({asked, "-o", P("a.bmp")}).status, 0) << kept;
        EXPECT_EQ(bytes(P("k.bmp")), bytes(P("a.bmp"))) << kept;
    }
}

TEST_F(CliBatch, AFolderGivesItsPicturesInByteOrderOfTheirNamesAndCountsTheRest) {
    fs::create_directories(folder / "in" / "sub");
    for (const char* name : {"b.bmp", "_.bmp", "B.bmp", "a.bmp", "sub/c.bmp"})
        ASSERT_EQ(RunTool({"--uniform", "5,3,7", "-o", P(std::string("in/") + name)}).status, 0);
    for (const char* name : {"notes.txt", "Thumbs.db"})
        std::ofstream(P(std::string("in/") + name)) << "no picture\n";
    const CliResult r = RunTool({P("in"), "--info"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string order;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("==> ", 0) == 0)
            order += fs::path(line.substr(4, line.size() - 8)).filename().string() + " ";
    EXPECT_EQ(order, "B.bmp _.bmp a.bmp b.bmp ");
    EXPECT_EQ(r.err, "orvex-cli: 6 files: 4 done, 0 skipped, 0 failed, 2 not pictures\n");
}

TEST_F(CliBatch, RecursiveTakesSubfoldersAndKeepsTheirPathsUnderTheOutput) {
    fs::create_directories(folder / "in" / "sub" / "deeper");
    fs::create_directories(folder / "out");
    for (const char* name : {"top.bmp", "sub/deeper/top.bmp", "sub/mid.bmp"})
        ASSERT_EQ(RunTool({"--uniform", "5,3,7", "-o", P(std::string("in/") + name)}).status, 0);
    const CliResult r = RunTool({P("in"), "--recursive", "--negative", "-o", P("out")});
    EXPECT_EQ(r.err, "orvex-cli: 3 files: 3 done, 0 skipped, 0 failed\n");
    for (const char* name : {"top.bmp", "sub/deeper/top.bmp", "sub/mid.bmp"})
        EXPECT_NE(RunTool({P(std::string("out/") + name), "--stats"}).out.find("\nMinimum: 248\n"),
                  std::string::npos)
            << name;
}

// The workers of a run are the CPUs the process may use: on a node where a
// scheduler grants one CPU of many, one file at a time; --jobs sets them.
// Inputs that are pipes no one writes hold each worker where it can be counted.
TEST_F(CliBatch, WorkersAreTheCpusTheProcessMayUse) {
    for (const char* pipe : {"f1.bmp", "f2.bmp", "f3.bmp"})
        ASSERT_EQ(mkfifo(P(pipe).c_str(), 0600), 0);
    const auto threadsOf = [&](std::vector<std::string> words) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(folder.c_str()) != 0) _exit(127);
            words.insert(words.end(), {"f1.bmp", "f2.bmp", "f3.bmp", "--info"});
            std::vector<char*> argv;
            for (std::string& word : words) argv.push_back(word.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        // Counted once the count has stayed the same for half a second.
        const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
        std::size_t count = 0, same = 0;
        for (int wait = 0; wait < 200 && same < 10; ++wait) {
            usleep(50000);
            std::error_code ec;
            const auto now = static_cast<std::size_t>(
                std::distance(fs::directory_iterator(tasks, ec), fs::directory_iterator{}));
            same = now == count ? same + 1 : 0;
            count = now;
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return count;
    };
    EXPECT_EQ(threadsOf({"taskset", "-c", "0", ORVEX_CLI_PATH}), 1u);
    EXPECT_EQ(threadsOf({"taskset", "-c", "0", ORVEX_CLI_PATH, "-j", "3"}), 3u);
    EXPECT_EQ(threadsOf({ORVEX_CLI_PATH, "--jobs", "2"}), 2u);
}

TEST(UsableCpus, TheQuotaOfAControlGroupIsRoundedUp) {
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"max 100000", std::nullopt}, {"400000 100000", 4},       {"150000 100000", 2},
        {"50000 100000", 1},          {"100000 100000", 1},       {"", std::nullopt},
        {"-1 100000", std::nullopt},  {"200000 0", std::nullopt}, {"2e5 100000", std::nullopt},
    };
    for (const auto& [line, cpus] : rows) EXPECT_EQ(CpuMaxLimit(line), cpus) << line;
    EXPECT_GE(UsableCpuCount(), 1);
}
