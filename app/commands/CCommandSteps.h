#pragma once
// The shared steps of a command handler, each called where the command's
// order puts it: wait cursor, undo copy, history line, repaint, modified flag,
// and for view commands the view's display steps (1:1, fit, realize, ROI
// reset). A handler that stops early (a cancelled dialog, a refused value)
// simply does not call them, and nothing is touched. The wait cursor ends at
// EndWait or when the object goes.
//
//   CCommandSteps steps(view);
//   steps.OneToOne();
//   steps.Wait();
//   StepRotate(steps.Core(), angle);   // history line and undo copy, then the engine
//   steps.Modified();
//   steps.Fit();
//   steps.Realize();
//   steps.ResetRoi();
//   steps.Repaint();
//   steps.EndWait();

#include <QString>
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
