// orvex-bench: every case on one core, then on all cores, and the two tables
// of ours beside the peer's. Besides Google Benchmark's own flags (such as
// --benchmark_out=FILE --benchmark_out_format=json, which keeps the run),
// --baseline=FILE marks the rows that got slower than that earlier run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "BenchSupport.h"
#include "Message.h"
#include "Parallel.h"

int main(int argc, char** argv) {
    SetMessageSink([](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    std::string baselinePath;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--baseline=", 11) == 0)
            baselinePath = argv[i] + 11;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (const int cores : {1, 0}) RegisterCases(cores);
    CPairingReporter reporter(baselinePath.empty() ? CBaseline{} : ReadBaseline(baselinePath));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    SetWorkerCount(0);  // all cores again, whichever case ran last: the second table names them
    reporter.PrintTables();
    benchmark::Shutdown();
    return 0;
}
