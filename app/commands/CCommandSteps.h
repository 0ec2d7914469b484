#pragma once
// The shared steps of a command handler, each called where the command's
// order puts it: wait cursor, undo copy, history line, repaint, modified flag,
// and for view commands the view's display steps (1:1, fit, realize, ROI
// reset). A handler that stops early (a cancelled dialog, a refused value)
// simply does not call them, and nothing is touched. The wait cursor ends at
// EndWait or when the object goes.
//
//   CCommandSteps steps(view);
//   steps.Wait();
//   if (!steps.Run([&](CImageDocument& d) { return StepRotate(d, angle); })) return;
//   steps.Modified();                  // (the step: history line, undo copy, engine)
//   steps.OneToOne();
//   steps.Fit();
//   steps.Realize();
//   steps.ResetRoi();
//   steps.Repaint();
//   steps.EndWait();

#include <QString>
#include <functional>
#include <optional>

#include "CWaitCursor.h"
#include "Step.h"

class COrvexDoc;
class COrvexView;

class CCommandSteps {
public:
    explicit CCommandSteps(COrvexDoc& doc);
    // A view command: the document is the view's.
    explicit CCommandSteps(COrvexView& view);

    // The picture and its history, for the steps shared with orvex-cli.
    CImageDocument& Core();

    // Runs a processing step, the one way every command does: on a stack of
    // several pages, after "Appliquer à toutes les pages ?" (the document's
    // last answer as the default), on the current page or, with the region
    // of interest of the current page, on every page (RunOnPages). nullopt
    // when the question was cancelled (nothing touched: the handler stops);
    // otherwise whether the step succeeded.
    std::optional<bool> Run(const std::function<bool(CImageDocument&)>& step);
    // A step for the current page alone, without the question (a paste).
    bool RunOnCurrentPage(const std::function<bool(CImageDocument&)>& step);
    // Undoes the last step: on every page when it ran on every page.
    bool Undo();
    // The question alone, for a command that goes through the pages itself:
    // false without asking for a single page, nullopt when cancelled.
    std::optional<bool> ChoosePages();

    void Wait();
    void EndWait();
    void Backup();
    void History(const QString& line);
    void Modified();
    // The picture changed (its size may have): every view refits where its
    // size changed and repaints; command states follow.
    void Repaint();
    // Only the colour table changed: every view repaints, nothing else.
    void RepaintColours();

    // The view's display steps (view commands only).
    void OneToOne();
    void Fit();
    void Realize();
    void ResetRoi();

private:
    COrvexDoc& doc_;
    COrvexView* view_ = nullptr;
    std::optional<CWaitCursor> wait_;
};

// A rule reading what a step declares it needs, for a document or a view
// row: Needs<StepNegative>(), or Needs(StepNeeds::FullPalette) for a command
// whose work is no processing step (histogram, statistics).
struct SNeeds {
    StepNeeds needs;
    bool operator()(const COrvexDoc& doc) const;
    bool operator()(const COrvexView& view) const;
};
inline SNeeds Needs(StepNeeds needs) { return {needs}; }
template <auto Step>
SNeeds Needs() {
    return {kStepNeeds<Step>};
}
