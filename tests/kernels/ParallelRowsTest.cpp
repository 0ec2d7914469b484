// Splitting rows over the kept workers: every row visited exactly once in
// contiguous bands, whatever the number of threads, when several threads
// split at once, when a band splits again, and after a band has thrown.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Parallel.h"
#include "TestSupport.h"

namespace {

// Visits of each row in [0, rows) by one ParallelRows call.
std::vector<int> Visits(int rows, int minRows) {
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(rows));
    ParallelRows(0, rows, minRows, [&](int first, int last) {
        for (int y = first; y < last; ++y) ++seen[static_cast<std::size_t>(y)];
    });
    return std::vector<int>(seen.begin(), seen.end());
}

TEST(ParallelRows, EveryRowOnceWhateverTheCallers) {
    // clang-format off
    struct { int workers, rows, minRows; } const cases[] = {
        {1, 100, 1}, {2, 1, 1}, {2, 3, 1}, {4, 7, 2}, {7, 1000, 1}, {16, 5, 1}};
    // clang-format on
    for (const auto& c : cases) {
        const CWorkerCount workers(c.workers);
        for (int run = 0; run < 20; ++run)
            EXPECT_EQ(Visits(c.rows, c.minRows), std::vector<int>(c.rows, 1)) << c.workers;
    }
    // Six threads splitting at once, each band splitting again.
    const CWorkerCount workers(4);
    std::atomic<long> total{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 6; ++t)
        callers.emplace_back([&] {
            for (int run = 0; run < 50; ++run)
                ParallelRows(0, 8, 1, [&](int first, int last) {
                    ParallelRows(first * 10, last * 10, 1, [&](int a, int b) { total += b - a; });
                });
        });
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(total, 6L * 50 * 80);
    // A band's exception reaches the caller, and the workers serve the next call.
    auto failing = [](int first, int) { if (first > 0) throw std::runtime_error("band"); };
    EXPECT_THROW(ParallelRows(0, 64, 1, failing), std::runtime_error);
    EXPECT_EQ(Visits(64, 1), std::vector<int>(64, 1));
}

}  // namespace
