#include "CChildFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "COrvexDoc.h"
#include "COrvexView.h"

namespace {

// Sizes for two panes sharing `available` pixels: the first gets its ideal
// size unless that is below the minimum (then nothing), the last the rest.
QList<int> TwoPanes(int ideal, int available) {
    const int first = ideal < CChildFrame::kMinimumPane ? 0 : std::min(ideal, available);
    return {first, std::max(0, available - first)};
}

int Available(const QSplitter* splitter) {
    const int length =
        splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
    return std::max(0, length - splitter->handleWidth());
}

}  // namespace

CChildFrame::CChildFrame(COrvexDoc* doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rows_ = new QSplitter(Qt::Vertical, this);
    layout->addWidget(rows_);
    // The views first: a window coming forward gives the focus to the first
    // of its widgets that takes it, which must not be the page bar's.
    AddRow();
    layout->addWidget(pageBar_ = MakePageBar());
    connect(doc_, &COrvexDoc::picturesChanged, this, &CChildFrame::UpdatePageBar);
    SetActiveView(ViewAt(0, 0));
    setFocusProxy(ViewAt(0, 0));
    UpdatePageBar();
}

QWidget* CChildFrame::MakePageBar() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 2, 2, 2);
    pageSpin_ = new QSpinBox(bar);
    pageSpin_->setMinimum(1);
    pageSlider_ = new QSlider(Qt::Horizontal, bar);
    pageSlider_->setMinimum(1);
    pageSlider_->setPageStep(1);
    // The bar lends itself to the keys but leaves them with the view.
    pageSpin_->setFocusPolicy(Qt::ClickFocus);
    pageSlider_->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(pageSpin_);
    layout->addWidget(pageSlider_, 1);
    const auto turnTo = [this](int number) {
        if (COrvexView* view = GetActiveView()) view->ShowPage(number - 1);
    };
    connect(pageSpin_, &QSpinBox::valueChanged, this, turnTo);
    connect(pageSlider_, &QSlider::valueChanged, this, turnTo);
    return bar;
}

void CChildFrame::UpdatePageBar() {
    const int count = doc_->Core().GetPageCount();
    const COrvexView* view = GetActiveView();
    const int number = (view ? view->Page() : 0) + 1;
    {
        const QSignalBlocker spin(pageSpin_), slider(pageSlider_);
        pageSpin_->setMaximum(count);
        pageSpin_->setPrefix(doc_->PageWord() + " ");
        pageSpin_->setSuffix(QString(" / %1").arg(count));
        pageSpin_->setValue(number);
        pageSlider_->setMaximum(count);
        pageSlider_->setValue(number);
    }
    pageBar_->setVisible(count > 1);
    emit pageShown();
}

QString CChildFrame::TitleWithPage(const QString& title) const {
    const COrvexView* view = GetActiveView();
    return doc_->WithPage(title, view ? view->Page() : 0);
}

QSplitter* CChildFrame::Row(int row) const {
    return row < rows_->count() ? static_cast<QSplitter*>(rows_->widget(row)) : nullptr;
}

int CChildFrame::RowCount() const { return rows_->count(); }

int CChildFrame::ColumnCount() const { return Row(0) ? Row(0)->count() : 0; }

COrvexView* CChildFrame::ViewAt(int row, int column) const {
    QSplitter* splitter = Row(row);
    if (!splitter || column >= splitter->count()) return nullptr;
    return static_cast<COrvexView*>(splitter->widget(column));
}

QList<COrvexView*> CChildFrame::Views() const {
    QList<COrvexView*> views;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < Row(r)->count(); ++c) views.append(ViewAt(r, c));
    return views;
}

COrvexView* CChildFrame::GetActiveView() const { return active_ ? active_.data() : ViewAt(0, 0); }

COrvexView* CChildFrame::AddView(QSplitter* row) {
    auto* view = new COrvexView(doc_, row);
    row->addWidget(view);
    connect(view, &COrvexView::activated, this, &CChildFrame::SetActiveView);
    connect(view, &COrvexView::pageShown, this, [this](COrvexView* shown) {
        if (shown == GetActiveView()) UpdatePageBar();
    });
    connect(view, &COrvexView::readoutChanged, this, &CChildFrame::readoutChanged);
    WatchHandles(row);
    return view;
}

QSplitter* CChildFrame::AddRow() {
    auto* row = new QSplitter(Qt::Horizontal, rows_);
    rows_->addWidget(row);
    const int columns = std::max(1, RowCount() > 1 ? Row(0)->count() : 1);
    for (int c = 0; c < columns; ++c) AddView(row);
    connect(row, &QSplitter::splitterMoved, this, [this, row] { KeepColumnsInStep(row); });
    WatchHandles(rows_);
    return row;
}

void CChildFrame::AddColumn() {
    for (int r = 0; r < RowCount(); ++r) AddView(Row(r));
}

void CChildFrame::WatchHandles(QSplitter* splitter) {
    for (int i = 0; i < splitter->count(); ++i) splitter->handle(i)->installEventFilter(this);
}

void CChildFrame::KeepColumnsInStep(QSplitter* moved) {
    const QList<int> sizes = moved->sizes();
    for (int r = 0; r < RowCount(); ++r)
        if (Row(r) != moved) Row(r)->setSizes(sizes);
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
    // A split bar let go with a pane squeezed out removes that row or column.
    // The handle being released may be one of those removed: wait until it is done.
    if (event->type() == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, this, &CChildFrame::RemoveVanishedPanes);
    return QWidget::eventFilter(watched, event);
}

void CChildFrame::RemoveVanishedPanes() {
    if (RowCount() > 1) {
        const QList<int> heights = rows_->sizes();
        for (int r = RowCount() - 1; r >= 0 && RowCount() > 1; --r)
            if (heights[r] == 0) delete Row(r);
    }
    if (ColumnCount() > 1) {
        const QList<int> widths = Row(0)->sizes();
        for (int c = ColumnCount() - 1; c >= 0 && ColumnCount() > 1; --c)
            if (widths[c] == 0)
                for (int r = 0; r < RowCount(); ++r) delete ViewAt(r, c);
    }
    if (!active_) SetActiveView(ViewAt(0, 0));
    setFocusProxy(GetActiveView());
}

void CChildFrame::Split() {
    if (ColumnCount() < 2) AddColumn();
    if (RowCount() < 2) AddRow();
    const QSize outer = OuterSize();
    SetIdealSizes(outer.height() / 2, outer.width() / 2);
}

void CChildFrame::SetIdealSizes(int firstRowHeight, int firstColumnWidth) {
    if (RowCount() == 2) PlaceFirstPane(rows_, firstRowHeight);
    if (ColumnCount() == 2)
        for (int r = 0; r < RowCount(); ++r) PlaceFirstPane(Row(r), firstColumnWidth);
    ActivateVisibleView();
}

void CChildFrame::PlaceFirstPane(QSplitter* splitter, int ideal) {
    const QList<int> sizes = TwoPanes(ideal, Available(splitter));
    // A pane given no room is hidden, and its bar with it, so the last pane
    // reaches the window's edge; "Fractionner" and the zone commands bring it back.
    splitter->widget(0)->setVisible(sizes[0] > 0);
    splitter->refresh();
    splitter->setSizes(sizes);
}

bool CChildFrame::IsPaneShown(int row, int column) const {
    return rows_->sizes().value(row) > 0 && Row(row)->sizes().value(column) > 0;
}

void CChildFrame::ActivateVisibleView() {
    // The active view must stay one the user can see.
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColumnCount(); ++c)
            if (ViewAt(r, c) == GetActiveView() && IsPaneShown(r, c)) return;
    for (int r = RowCount() - 1; r >= 0; --r) {
        for (int c = ColumnCount() - 1; c >= 0; --c) {
            if (!IsPaneShown(r, c)) continue;
            SetActiveView(ViewAt(r, c));
            if (isVisible()) ViewAt(r, c)->setFocus();
            return;
        }
    }
}

void CChildFrame::SetActiveView(COrvexView* view) {
    if (active_ == view) return;
    active_ = view;
    setFocusProxy(view);
    emit activeViewChanged(view);
    UpdatePageBar();
}

void CChildFrame::ActivateNeighbour(int step) {
    const QList<COrvexView*> views = Views();
    const int count = static_cast<int>(views.size());
    const int current = std::max(0, static_cast<int>(views.indexOf(GetActiveView())));
    COrvexView* next = views[(current + step + count) % count];
    SetActiveView(next);
    next->setFocus();
}

QSize CChildFrame::OuterSize() const { return parentWidget() ? parentWidget()->size() : size(); }

SCommandContext CChildFrame::OwnContext() const {
    SCommandContext context;
    context.Set(CommandOwner::ChildFrame, const_cast<CChildFrame*>(this));
    return context;
}
