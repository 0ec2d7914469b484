#include "TableOutput.h"

#include <cerrno>

#include "FileReason.h"
#include "TableRows.h"

CMeasureTable TableLayout(const CliPlan& plan) {
    const auto named = TableFormatFromPath(plan.table);  // "-" has none
    return CMeasureTable(named ? *named : *plan.tableFormat, plan.MeasuresHistogram());
}

CTableOutput::~CTableOutput() {
    if (part_ != nullptr) std::fclose(part_);
}

std::string CTableOutput::Open(const CliPlan& plan, std::ostream& out, bool resume) {
    name_ = plan.table;
    layout_.emplace(TableLayout(plan));
    if (name_ == kStandardStream) {
        standardOutput_ = &out;
    } else {
        errno = 0;
        if (file_.Open(name_) != AtomicWriteResult::Ok)
            return "orvex-cli: " + name_ + ": " + SystemReason(errno != 0 ? errno : EACCES);
        // Without its side file the table is still written; only a resume
        // after a kill would measure again.
        const std::string signature = TablePartSignature(*layout_);
        std::string start;
        if (std::FILE* old = resume ? std::fopen(TablePartPath(name_).c_str(), "rb") : nullptr) {
            start.resize(signature.size());
            start.resize(std::fread(start.data(), 1, start.size(), old));
            std::fclose(old);
        }
        const bool addTo = start == signature;
        part_ = std::fopen(TablePartPath(name_).c_str(), addTo ? "ab" : "wb");
        if (part_ != nullptr && !addTo) std::fputs(signature.c_str(), part_);
    }
    Write(layout_->Header());
    return {};
}

void CTableOutput::AddToPart(const std::string& file, const std::string& rows) {
    if (part_ == nullptr) return;
    const std::string head = std::to_string(file.size()) + " " + std::to_string(rows.size()) + "\n";
    std::fwrite(head.data(), 1, head.size(), part_);
    std::fwrite(file.data(), 1, file.size(), part_);
    std::fwrite(rows.data(), 1, rows.size(), part_);
    std::fputc('\n', part_);
    std::fflush(part_);
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

void CTableOutput::Deliver(std::size_t index, const std::string& file, std::string rows,
                           bool measured) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (measured) AddToPart(file, rows);
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
    if (writeError_ < 0 && file_.Commit() == AtomicWriteResult::Ok) {
        if (part_ != nullptr) std::fclose(part_), part_ = nullptr;
        std::remove(TablePartPath(name_).c_str());
        return {};
    }
    const int error = writeError_ > 0 ? writeError_ : errno;
    return "orvex-cli: " + name_ + ": " +
           (error != 0 ? SystemReason(error) : std::string("error while writing")) +
           "; the table is not written";
}
