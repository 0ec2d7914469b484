#pragma once
// The frame of one document window: a splitter of up to 2 x 2 views of the
// document. Rows are a vertical QSplitter of horizontal QSplitters whose
// columns are kept in step. Every row and column but the last has an ideal
// size; one below 10 pixels is not shown and the last takes what is left.
// Dragging a split bar until a pane vanishes removes that row or column.

#include <QPointer>
#include <QWidget>

#include "CommandTarget.h"

class COrvexDoc;
class COrvexView;
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

    bool OnCommand(int id) override;
    std::optional<bool> IsCommandEnabled(int id) const override;

signals:
    void activeViewChanged(COrvexView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSplitter* Row(int row) const;
    QSplitter* AddRow();
    COrvexView* AddView(QSplitter* row);
    void AddColumn();
    void WatchHandles(QSplitter* splitter);
    void KeepColumnsInStep(QSplitter* moved);
    void RemoveVanishedPanes();
    void SetActiveView(COrvexView* view);
    bool IsPaneShown(int row, int column) const;
    void ActivateVisibleView();
    void ActivateNeighbour(int step);
    QSize OuterSize() const;

    COrvexDoc* doc_;
    QSplitter* rows_;
    QPointer<COrvexView> active_;
};
