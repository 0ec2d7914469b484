#include "BatchProgress.h"

namespace {

// Back to the start of the line and erase it.
constexpr const char* kEraseLine = "\r\033[K";

}  // namespace

CBatchProgress::CBatchProgress(std::ostream& err, std::size_t files, bool shown)
    : err_(err), files_(files), shown_(shown) {
    if (shown_) err_ << "orvex-cli: 0/" << files_ << " files" << std::flush;
}

void CBatchProgress::FileDone(bool ok) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    failed_ += ok ? 0 : 1;
    if (!shown_) return;
    err_ << kEraseLine << "orvex-cli: " << done_ << '/' << files_ << " files";
    if (failed_ > 0) err_ << ", " << failed_ << " failed";
    err_ << std::flush;
}

void CBatchProgress::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shown_) err_ << kEraseLine << std::flush;
}
