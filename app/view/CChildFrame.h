#pragma once
// The frame of one document window: a splitter of up to 2 x 2 views of the
// document. Rows are a vertical QSplitter of horizontal QSplitters whose
// columns are kept in step. Every row and column but the last has an ideal
// size; one below 10 pixels is not shown and the last takes what is left.
// Dragging a split bar until a pane vanishes removes that row or column.
// Below the panes, for a stack of several pages, the page bar: a spin box
// "Page K / N" ("Image K / N" for a GIF's frames) and a slider, both moving
// the active view through the stack.

#include <QPointer>
#include <QWidget>

#include "CommandTarget.h"

class COrvexDoc;
class COrvexView;
class QSlider;
class QSpinBox;
class QSplitter;

class CChildFrame : public QWidget, public CCommandTarget {
    Q_OBJECT
public:
    static constexpr int kMinimumPane = 10;

    explicit CChildFrame(COrvexDoc* doc, QWidget* parent = nullptr);

    COrvexDoc* GetDocument() const { return doc_; }
    COrvexView* GetActiveView() const;
    int RowCount() const;
    int ColumnCount() const;
    // The view at (row, column), or null.
    COrvexView* ViewAt(int row, int column) const;
    QList<COrvexView*> Views() const;

    // Two rows and two columns, split in the middle.
    void Split();
    // Ideal size of row 0 and column 0; the last row and column take the rest.
    void SetIdealSizes(int firstRowHeight, int firstColumnWidth);

    // The pane after (step 1) or before (step -1) the active one, in turn.
    void ActivateNeighbour(int step);
    // The child window's outer rectangle: its sub-window frame when it has one.
    QSize OuterSize() const;

    // The document's title with the active view's page: "a.tif - Page 2 / 3".
    QString TitleWithPage(const QString& title) const;
    QSpinBox* PageSpinBox() const { return pageSpin_; }

signals:
    void activeViewChanged(COrvexView* view);
    // The active view shows another page, or the stack changed.
    void pageShown();
    // The readout of the pixel under the mouse, from whichever view has it.
    void readoutChanged(const QString& text);

protected:
    CommandOwner OwnerKind() const override { return CommandOwner::ChildFrame; }
    SCommandContext OwnContext() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSplitter* Row(int row) const;
    QSplitter* AddRow();
    COrvexView* AddView(QSplitter* row);
    void AddColumn();
    void WatchHandles(QSplitter* splitter);
    void KeepColumnsInStep(QSplitter* moved);
    void PlaceFirstPane(QSplitter* splitter, int ideal);
    void RemoveVanishedPanes();
    void SetActiveView(COrvexView* view);
    bool IsPaneShown(int row, int column) const;
    void ActivateVisibleView();
    QWidget* MakePageBar();
    void UpdatePageBar();

    COrvexDoc* doc_;
    QSplitter* rows_;
    QPointer<COrvexView> active_;
    QWidget* pageBar_;
    QSpinBox* pageSpin_;
    QSlider* pageSlider_;
};
