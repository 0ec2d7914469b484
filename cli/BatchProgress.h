#pragma once
// The progress line of a batch on standard error: "orvex-cli: 3/10 files,
// 1 failed", rewritten in place as files finish. Safe to call from the
// worker threads.

#include <cstddef>
#include <mutex>
#include <ostream>

class CBatchProgress {
public:
    // Draws nothing unless `shown`.
    CBatchProgress(std::ostream& err, std::size_t files, bool shown);
    void FileDone(bool ok);
    // Removes the line, so that what follows starts on a clean line.
    void Clear();

private:
    std::ostream& err_;
    std::size_t files_;
    bool shown_;
    std::size_t done_ = 0, failed_ = 0;
    std::mutex mutex_;
};
