// The stack of a document: its pages, the current one, and a step run on
// every page.

#include <algorithm>
#include <atomic>

#include "ImageDocument.h"
#include "Message.h"
#include "Parallel.h"

namespace {

bool SameShape(const CImage& a, const CImage& b) {
    return a.GetSize() == b.GetSize() && a.GetBitCount() == b.GetBitCount();
}

// A page as it was before a step whose undo copy is `before`'s successor:
// the copy the step took is put back and let go, with the values kept with it.
void PutBack(SPicturePage& page, const CMemBlock* copyBefore) {
    CImage& image = *page.image;
    if (image.HasBackup() && image.GetBackupHandle() != copyBefore) {
        image.Undo();
        image.DiscardBackup();
        page.samples = std::move(page.undoSamples);
        page.window = page.undoWindow;
        page.undoSamples.reset();
    }
}

}  // namespace

void CImageDocument::SetCurrentPage(int index) {
    current_ = std::clamp(index, 0, GetPageCount() - 1);
}

int CImageDocument::FindPage(int number) const {
    for (int i = 0; i < GetPageCount(); ++i)
        if (pages_[static_cast<std::size_t>(i)].number == number) return i;
    return -1;
}

void CImageDocument::SetPages(std::vector<SPicturePage> pages) {
    if (pages.empty()) pages.resize(1);
    pages_ = std::move(pages);
    current_ = 0;
}

SPicturePage CImageDocument::RemovePage(int index) {
    SPicturePage page = std::move(pages_[static_cast<std::size_t>(index)]);
    pages_.erase(pages_.begin() + index);
    if (pages_.empty()) pages_.resize(1);
    current_ = std::min(current_, GetPageCount() - 1);
    return page;
}

bool CImageDocument::PagesAgree() const {
    return std::all_of(pages_.begin(), pages_.end(), [&](const SPicturePage& page) {
        return SameShape(*page.image, *pages_.front().image);
    });
}

std::string CImageDocument::PagesLine() const {
    return FormatHistory("Pages %d à %d", pages_.front().number, pages_.back().number);
}

bool CImageDocument::RunOnPages(bool allPages, const std::function<bool(CImageDocument&)>& step) {
    if (allPages && GetPageCount() > 1) return RunOnEveryPage(step);
    const int index = current_;
    const CMemBlock* copyBefore = GetImage()->GetBackupHandle();
    const bool done = step(*this);
    if (PagesAgree()) return done;
    // One page may not leave the others' size or depth.
    if (index < GetPageCount()) PutBack(pages_[static_cast<std::size_t>(index)], copyBefore);
    ShowMessage(
        "Les pages d'une pile gardent une même taille : cette opération s'applique à toutes "
        "les pages.");
    return false;
}

bool CImageDocument::RunOnEveryPage(const std::function<bool(CImageDocument&)>& step) {
    const int count = GetPageCount();
    struct SPageRun {
        const CMemBlock* copyBefore = nullptr;
        std::vector<std::string> messages;
        bool done = false;
    };
    std::vector<SPageRun> runs(static_cast<std::size_t>(count));
    // The current page's document is kept: its history and recipe entry
    // become the stack's.
    CImageDocument currentRun;
    // Each page goes into a document for the step, and comes back; a band
    // of pages uses one document, emptied between pages.
    ParallelRows(0, count, 1, [&](int first, int last) {
        CImageDocument bandRun;
        SPageRun* run = nullptr;
        CScopedMessageSink sink([&run](const std::string& text) { run->messages.push_back(text); });
        for (int i = first; i < last; ++i) {
            run = &runs[static_cast<std::size_t>(i)];
            CImageDocument& doc = i == current_ ? currentRun : bandRun;
            doc.undoCopies_ = undoCopies_;
            // Only the title, as a new document has, counted as recorded.
            doc.history_.resize(std::string(kHistoryTitle).size() + 2);
            doc.historyRecorded_ = doc.history_.size();
            doc.recipe_ = {};
            SPicturePage& page = pages_[static_cast<std::size_t>(i)];
            std::swap(doc.pages_.front(), page);
            run->copyBefore = doc.GetImage()->GetBackupHandle();
            run->done = step(doc);
            std::swap(doc.pages_.front(), page);
        }
    });
    const bool done =
        std::all_of(runs.begin(), runs.end(), [](const SPageRun& r) { return r.done; });
    if (!done || !PagesAgree())
        for (int i = 0; i < count; ++i)
            PutBack(pages_[static_cast<std::size_t>(i)],
                    runs[static_cast<std::size_t>(i)].copyBefore);
    // Each message once, in page order, on the command's own thread.
    std::vector<std::string> shown;
    for (const SPageRun& run : runs)
        for (const std::string& text : run.messages)
            if (std::find(shown.begin(), shown.end(), text) == shown.end()) {
                shown.push_back(text);
                ShowMessage(text);
            }
    if (done && !PagesAgree()) {
        ShowMessage("Les pages d'une pile gardent une même taille.");
        return false;
    }
    TakeStepFrom(currentRun, done);
    return done;
}

void CImageDocument::TakeStepFrom(const CImageDocument& run, bool done) {
    // The run's document holds its title, then what the step added.
    const std::vector<std::string> lines = run.HistoryLinesFrom(0);
    const bool wroteHistory = lines.size() > 1;
    for (std::size_t i = 1; i < lines.size(); ++i) AddHistory(lines[i]);
    if (wroteHistory) AddHistory(PagesLine());
    if (!run.recipe_.GetEntries().empty()) {
        CRecipe::Entry entry = run.recipe_.GetEntries().back();
        entry.done = done;
        entry.page = 0;
        if (wroteHistory) entry.history.push_back(PagesLine());
        recipe_.Add(std::move(entry));
    }
    historyRecorded_ = history_.size();
}
