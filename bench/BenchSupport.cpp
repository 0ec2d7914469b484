#include "BenchSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <opencv2/core.hpp>

#include "Parallel.h"

namespace {

const char* CoresLabel(int cores) { return cores == 1 ? "1 core" : "all cores"; }

// A row at most this much slower than the baseline is noise.
constexpr double kSlowerMargin = 1.10;

}  // namespace

std::string BenchFile(const std::string& name) {
    struct SFolder {
        std::string path;
        SFolder() {
            char pattern[] = "/tmp/orvex-bench-XXXXXX";
            if (mkdtemp(pattern) == nullptr) {
                std::perror("orvex-bench: no folder in /tmp");
                std::exit(1);
            }
            path = pattern;
        }
        ~SFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const SFolder folder;
    return folder.path + "/" + name;
}

std::vector<SBenchCase>& BenchCases() {
    static std::vector<SBenchCase> cases;
    return cases;
}

void RegisterCases(int cores) {
    for (const SBenchCase& c : BenchCases()) {
        const std::string name = c.side + "/" + c.op + "/" + CoresLabel(cores);
        benchmark::RegisterBenchmark(name.c_str(),
                                     [run = c.run, cores](benchmark::State& state) {
                                         SetWorkerCount(cores);
                                         cv::setNumThreads(cores == 1 ? 1 : cv::getNumberOfCPUs());
                                         run(state);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

bool SplitCaseName(std::string name, std::string& side, std::string& op, std::string& cores) {
    if (const auto suffix = name.find("/real_time"); suffix != std::string::npos)
        name.erase(suffix, 10);
    const auto first = name.find('/'), last = name.rfind('/');
    if (first == std::string::npos || last == first) return false;
    side = name.substr(0, first);
    op = name.substr(first + 1, last - first - 1);
    cores = name.substr(last + 1);
    return true;
}

CBaseline ReadBaseline(const std::string& path) {
    CBaseline times;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No baseline read from %s\n", path.c_str());
        return times;
    }
    const QJsonArray runs = QJsonDocument::fromJson(file.readAll())["benchmarks"].toArray();
    for (const QJsonValue& value : runs) {
        const QJsonObject run = value.toObject();
        // A single run, or the median of repetitions.
        const bool median = run["run_type"] == "aggregate" && run["aggregate_name"] == "median";
        if (!median && run["run_type"] != "iteration") continue;
        if (!median && run["repetitions"].toInt(1) > 1) continue;
        if (run["time_unit"] != "ms") continue;
        std::string side, op, cores;
        if (!SplitCaseName(run["run_name"].toString().toStdString(), side, op, cores)) continue;
        times[side + "/" + op + "/" + cores] = run["real_time"].toDouble();
    }
    return times;
}

void CPairingReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (!median && (run.run_type == Run::RT_Aggregate || run.repetitions > 1)) continue;
        std::string side, op, cores;
        if (!SplitCaseName(run.run_name.str(), side, op, cores)) continue;
        const double ms = run.GetAdjustedRealTime();  // in the run's unit (ms)
        Row& row = rows_[cores][op];
        if (side == "ours") {
            row.ours = ms;
            const auto before = baseline_.find(side + "/" + op + "/" + cores);
            if (before != baseline_.end()) row.baseline = before->second;
        } else {
            row.peer = ms;
        }
    }
}

void CPairingReporter::PrintTables() const {
    PrintTable("1 core", "Single thread");
    PrintTable("all cores", "All cores (" + std::to_string(GetWorkerCount()) + ")");
}

void CPairingReporter::PrintTable(const std::string& cores, const std::string& title) const {
    const auto table = rows_.find(cores);
    if (table == rows_.end()) return;
    std::printf("\n%s\n%-26s %12s %12s %10s\n", title.c_str(), "operation", "ours (ms)",
                "peer (ms)", "ours/peer");
    // In the order the cases were registered, whatever order they ran in.
    std::vector<std::string> order;
    for (const SBenchCase& c : BenchCases())
        if (std::find(order.begin(), order.end(), c.op) == order.end()) order.push_back(c.op);
    for (const std::string& op : order) {
        const auto found = table->second.find(op);
        if (found == table->second.end()) continue;
        const Row& r = found->second;
        // A step back shows at a glance: every ratio over 1.0 is marked, and
        // every row that lost more than the margin since the baseline.
        std::string marks;
        if (r.peer > 0 && r.ours > r.peer) marks += "  <-- slower than the peer";
        if (r.baseline > 0 && r.ours > r.baseline * kSlowerMargin)
            marks += "  <-- " + std::to_string(static_cast<int>((r.ours / r.baseline - 1) * 100)) +
                     " % slower than the baseline";
        if (r.peer > 0)
            std::printf("%-26s %12.3f %12.3f %10.2f%s\n", op.c_str(), r.ours, r.peer,
                        r.ours / r.peer, marks.c_str());
        else
            std::printf("%-26s %12.3f %12s %10s%s\n", op.c_str(), r.ours, "-", "-", marks.c_str());
    }
    std::fflush(stdout);
}
