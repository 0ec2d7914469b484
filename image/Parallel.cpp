#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace {
std::atomic<int> g_workerCount{0};
}

void SetWorkerCount(int count) { g_workerCount = std::max(count, 0); }

int GetWorkerCount() {
    const int set = g_workerCount;
    if (set > 0) return set;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void ParallelRows(int begin, int end, int minRowsPerBand, const std::function<void(int, int)>& body) {
    const int rows = end - begin;
    if (rows <= 0) return;
    const int bands = std::clamp(rows / std::max(minRowsPerBand, 1), 1, GetWorkerCount());
    if (bands == 1) {
        body(begin, end);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(bands - 1));
    auto bandStart = [&](int band) { return begin + static_cast<int>(static_cast<long long>(rows) * band / bands); };
    int band = 1;
    try {
        for (; band < bands; ++band) threads.emplace_back(body, bandStart(band), bandStart(band + 1));
    } catch (const std::system_error&) {
        // No thread to be had: the calling thread does the remaining bands.
    }
    body(bandStart(0), bandStart(1));
    for (int rest = band; rest < bands; ++rest) body(bandStart(rest), bandStart(rest + 1));
    for (std::thread& t : threads) t.join();
}
