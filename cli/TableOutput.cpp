#include "TableOutput.h"

#include <cerrno>

#include "FileReason.h"

std::string CTableOutput::Open(const CliPlan& plan, std::ostream& out) {
    name_ = plan.table;
    const auto named = TableFormatFromPath(name_);  // "-" has none
    const TableFormat format = named ? *named : *plan.tableFormat;
    layout_.emplace(format, plan.MeasuresHistogram());
    if (name_ == kStandardStream) {
        standardOutput_ = &out;
    } else {
        errno = 0;
        if (file_.Open(name_) != AtomicWriteResult::Ok)
            return "orvex-cli: " + name_ + ": " + SystemReason(errno != 0 ? errno : EACCES);
    }
    Write(layout_->Header());
    return {};
}

void CTableOutput::Write(const std::string& text) {
    if (text.empty() || writeError_ >= 0) return;
    errno = 0;
    if (standardOutput_ != nullptr) {
        standardOutput_->write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!*standardOutput_) writeError_ = 0;  // said once the run ends, as for any output
    } else if (!file_.Stream().Write(text.data(), text.size())) {
        writeError_ = errno;
    }
}

void CTableOutput::Deliver(std::size_t index, std::string rows) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (index != next_) {
        waiting_.emplace(index, std::move(rows));
        return;
    }
    Write(rows);
    ++next_;
    for (auto early = waiting_.begin(); early != waiting_.end() && early->first == next_;
         early = waiting_.erase(early), ++next_)
        Write(early->second);
}

std::string CTableOutput::Finish() {
    if (standardOutput_ != nullptr) return {};  // checked with the rest of standard output
    errno = 0;
    if (writeError_ < 0 && file_.Commit() == AtomicWriteResult::Ok) return {};
    const int error = writeError_ > 0 ? writeError_ : errno;
    return "orvex-cli: " + name_ + ": " +
           (error != 0 ? SystemReason(error) : std::string("error while writing")) +
           "; the table is not written";
}
