#pragma once
// The cases every bench file adds, and the tables they are printed in.
//
// A case is "ours/<op>", usually beside "peer/<op>" (the same work done by
// OpenCV). Each is run twice, on one core and then on all cores, under the
// names "<side>/<op>/1 core" and "<side>/<op>/all cores", so that one run of
// the program (and one --benchmark_out file) holds both tables. With
// --benchmark_repetitions the median stands for the case.
//
// Given --baseline=FILE (an earlier --benchmark_out file in JSON), every row
// whose time grew by more than 10 % over the baseline's is marked.

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct SBenchCase {
    std::string side;  // "ours" or "peer"
    std::string op;
    std::function<void(benchmark::State&)> run;
};

std::vector<SBenchCase>& BenchCases();

template <typename Ours, typename Peer>
void AddPair(const std::string& op, Ours ours, Peer peer) {
    BenchCases().push_back({"ours", op, ours});
    BenchCases().push_back({"peer", op, peer});
}

template <typename Ours>
void AddOurs(const std::string& op, Ours ours) {
    BenchCases().push_back({"ours", op, ours});
}

// A file of the run's own folder, made on first use in /tmp and removed with
// everything in it when the program ends: two runs at once (two people on
// one machine) never write each other's files.
std::string BenchFile(const std::string& name);

// Registers every case for one core (cores == 1) or for all of them
// (cores == 0), both sides set to that many threads before each case.
void RegisterCases(int cores);

// Times of an earlier run by full case name ("ours/Reverse/1 core"), in ms.
using CBaseline = std::map<std::string, double>;
// Empty, with a message on stderr, when the file cannot be read.
CBaseline ReadBaseline(const std::string& path);

class CPairingReporter : public benchmark::ConsoleReporter {
public:
    explicit CPairingReporter(CBaseline baseline) : baseline_(std::move(baseline)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    // Both tables, one core then all cores.
    void PrintTables() const;

private:
    struct Row {
        double ours = 0, peer = 0;
        double baseline = 0;  // ours in the baseline, 0 when absent
    };
    void PrintTable(const std::string& cores, const std::string& title) const;

    CBaseline baseline_;
    std::map<std::string, std::map<std::string, Row>> rows_;  // by cores, then op
};

// Splits "side/op/cores" (with any "/real_time" gone).
bool SplitCaseName(std::string name, std::string& side, std::string& op, std::string& cores);
