#include "CCommandSteps.h"

#include "COrvexDoc.h"
#include "COrvexView.h"

CCommandSteps::CCommandSteps(COrvexDoc& doc) : doc_(doc) {}

CCommandSteps::CCommandSteps(COrvexView& view) : doc_(*view.GetDocument()), view_(&view) {}

CImageDocument& CCommandSteps::Core() { return doc_.Core(); }

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
