#pragma once
// The table the benchmarks print: each "ours/X" beside its "peer/X".

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Where a benchmark keeps its files: a folder of this run's own, removed at
// its end, so that two runs at once never read each other's half-written
// files.
inline std::string BenchTempPath(const std::string& name) {
    struct CFolder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("orvex-bench-" + std::to_string(getpid()));
        CFolder() { std::filesystem::create_directories(path); }
        ~CFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const CFolder folder;
    return (folder.path / name).string();
}

class CPairingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With --benchmark_repetitions, the mean stands for the case.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean") continue;
            std::string name = run.benchmark_name();
            if (const auto suffix = name.find("/real_time"); suffix != std::string::npos)
                name.erase(suffix);
            const auto slash = name.find('/');
            if (slash == std::string::npos) continue;
            const double ms = run.GetAdjustedRealTime();  // in the run's unit (ms)
            auto& row = rows_[name.substr(slash + 1)];
            if (name.compare(0, slash, "ours") == 0)
                row.ours = ms;
            else
                row.peer = ms;
            if (std::find(order_.begin(), order_.end(), name.substr(slash + 1)) == order_.end())
                order_.push_back(name.substr(slash + 1));
        }
    }

    void PrintTable(const std::string& title) const {
        std::printf("\n%s\n%-22s %12s %12s %10s\n", title.c_str(), "operation", "ours (ms)",
                    "peer (ms)", "ours/peer");
        for (const std::string& op : order_) {
            const Row& r = rows_.at(op);
            // A step back shows at a glance: every ratio over 1.0 is marked.
            if (r.peer > 0)
                std::printf("%-22s %12.3f %12.3f %10.2f%s\n", op.c_str(), r.ours, r.peer,
                            r.ours / r.peer, r.ours > r.peer ? "  <-- slower than the peer" : "");
            else
                std::printf("%-22s %12.3f %12s %10s\n", op.c_str(), r.ours, "-", "-");
        }
        std::fflush(stdout);
    }

private:
    struct Row {
        double ours = 0, peer = 0;
    };
    std::map<std::string, Row> rows_;
    std::vector<std::string> order_;
};
