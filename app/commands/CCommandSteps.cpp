#include "CCommandSteps.h"

#include <QApplication>

#include "COrvexDoc.h"
#include "COrvexView.h"
#include "PagesQuestion.h"
#include "StepsBasic.h"

CCommandSteps::CCommandSteps(COrvexDoc& doc) : doc_(doc) {}

CCommandSteps::CCommandSteps(COrvexView& view) : doc_(*view.GetDocument()), view_(&view) {}

CImageDocument& CCommandSteps::Core() { return doc_.Core(); }

std::optional<bool> CCommandSteps::ChoosePages() {
    if (doc_.Core().GetPageCount() < 2) return false;
    // The question waits for the user, not the wait cursor.
    const bool waiting = wait_.has_value();
    wait_.reset();
    const std::optional<bool> allPages =
        AskAllPages(QApplication::activeWindow(), doc_.AllPagesAnswer());
    if (allPages) doc_.SetAllPagesAnswer(*allPages);
    if (waiting) Wait();
    return allPages;
}

bool CCommandSteps::RunOnCurrentPage(const std::function<bool(CImageDocument&)>& step) {
    doc_.SetLastRunOnAllPages(false);
    return doc_.Core().RunOnPages(false, step);
}

bool CCommandSteps::Undo() { return doc_.Core().RunOnPages(doc_.LastRunOnAllPages(), StepUndo); }

std::optional<bool> CCommandSteps::Run(const std::function<bool(CImageDocument&)>& step) {
    const std::optional<bool> allPages = ChoosePages();
    if (!allPages) return std::nullopt;
    CImageDocument& core = doc_.Core();
    if (*allPages) {
        // The region is kept in storage rows and given as displayed.
        const CImage& current = *core.GetImage();
        const CRect& stored = current.GetRoi();
        const int height = current.GetHeight();
        const CRect roi{stored.left, height - stored.bottom, stored.right, height - stored.top};
        for (const SPicturePage& page : core.GetPages()) page.image->SetRoi(roi);
    }
    doc_.SetLastRunOnAllPages(*allPages);
    return core.RunOnPages(*allPages, step);
}

void CCommandSteps::Wait() {
    if (!wait_) wait_.emplace();
}

void CCommandSteps::EndWait() { wait_.reset(); }

void CCommandSteps::Backup() { doc_.GetImage()->SaveBackup(); }

void CCommandSteps::History(const QString& line) { doc_.AddHistory(line); }

void CCommandSteps::Modified() { doc_.SetModifiedFlag(); }

void CCommandSteps::Repaint() { doc_.UpdateAllViews(); }

void CCommandSteps::RepaintColours() { doc_.UpdateColours(); }

void CCommandSteps::OneToOne() {
    if (view_) view_->SetOneToOne();
}

void CCommandSteps::Fit() {
    if (view_) view_->FitToPicture();
}

void CCommandSteps::Realize() {
    if (view_)
        view_->RealizeImagePalette();
    else
        doc_.UpdateColours();
}

void CCommandSteps::ResetRoi() {
    if (view_) view_->ResetRoi();
}

bool SNeeds::operator()(const COrvexDoc& doc) const { return StepCanRun(doc.Core(), needs); }

bool SNeeds::operator()(const COrvexView& view) const {
    return view.GetDocument() && (*this)(*view.GetDocument());
}
