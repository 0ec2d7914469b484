#include "COrvexView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "CommandIds.h"
#include "ImageRenderer.h"
#include "Message.h"
#include "PixelReadout.h"
#include "ZoomSteps.h"

namespace {
COrvexView::MenuEntryMaker entryMaker = nullptr;
}  // namespace

COrvexView::COrvexView(COrvexDoc* doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(10, 10);
    viewport()->setMouseTracking(true);
    connect(doc, &COrvexDoc::picturesChanged, this, &COrvexView::OnPicturesChanged);
    connect(doc, &COrvexDoc::coloursChanged, viewport(), qOverload<>(&QWidget::update));
    FitToPicture();
    ResetRoi();
}

CImage& COrvexView::Image() const {
    const std::vector<SPicturePage>& pages = doc_->Core().GetPages();
    return *pages[static_cast<std::size_t>(std::min(page_, doc_->Core().GetPageCount() - 1))].image;
}

void COrvexView::ShowPage(int index) {
    index = std::clamp(index, 0, doc_->Core().GetPageCount() - 1);
    if (index == page_) return;
    page_ = index;
    MakePageCurrent();
    // The outline drawn stays where it is, on the new page.
    if (roiMode_) SetImageRoi();
    OnPicturesChanged();
    emit pageShown(this);
}

void COrvexView::MakePageCurrent() const {
    if (doc_) doc_->Core().SetCurrentPage(page_);
}

void COrvexView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || doc_->Core().GetPageCount() < 2)
        return QAbstractScrollArea::wheelEvent(event);
    // One page a notch: turned towards the user, the next one.
    constexpr int kNotch = 120;
    wheelPaging_ += event->angleDelta().y();
    const int pages = wheelPaging_ / kNotch;
    wheelPaging_ -= pages * kNotch;
    if (pages != 0) ShowPage(page_ - pages);
    event->accept();
}

SCommandContext COrvexView::OwnContext() const {
    MakePageCurrent();
    SCommandContext context;
    context.Set(CommandOwner::View, const_cast<COrvexView*>(this));
    context.Set(CommandOwner::Document, doc_.data());
    return context;
}

void COrvexView::SetDisplayRect(int left, int top, int right, int bottom) {
    displayRect_ = {left, top, right, bottom};
}

void COrvexView::FitToPicture() {
    if (autoZoom_)
        FillClientArea();
    else
        FitAtZoom();
}

void COrvexView::FitAtZoom() {
    const CSize size = Image().GetSize();
    SetDisplayRect(0, 0, size.cx, size.cy);
    SetScrollExtent({zoom::Scaled(size.cx, zoom_), zoom::Scaled(size.cy, zoom_)});
}

void COrvexView::FillClientArea() {
    zoom_ = 1.0f;
    const QSize client = viewport()->size();
    SetDisplayRect(0, 0, client.width(), client.height());
    SetScrollExtent(client);
}

void COrvexView::ResetRoi() {
    // While the outline was shown, the picture's own region followed it; with
    // the outline gone, processing covers the whole picture again.
    if (roiMode_) Image().SetDefaultRoi();
    roiMode_ = false;
    const CSize size = Image().GetSize();
    roiRect_ = {size.cx / 3, size.cy / 3, 2 * size.cx / 3, 2 * size.cy / 3};
}

void COrvexView::RealizeImagePalette() { doc_->UpdateColours(); }

void COrvexView::OnPicturesChanged() {
    // A page gone from the stack: the view shows the last one left.
    if (page_ >= doc_->Core().GetPageCount()) {
        page_ = doc_->Core().GetPageCount() - 1;
        emit pageShown(this);
    }
    // A picture that changed size under this view (another view rotated or
    // resized it) is refitted at this view's own zoom.
    const CSize size = Image().GetSize();
    if (!autoZoom_ && (size.cx != displayRect_.right || size.cy != displayRect_.bottom)) {
        FitAtZoom();
        ResetRoi();
    }
    viewport()->update();
}

void COrvexView::SetScrollExtent(QSize extent) {
    extent_ = extent;
    UpdateScrollBars();
}

void COrvexView::UpdateScrollBars() {
    // A page is a tenth of the extent, a line a tenth of a page.
    const QSize client = viewport()->size();
    auto setUp = [](QScrollBar* bar, int extent, int client) {
        const int page = std::max(1, extent / 10);
        bar->setRange(0, std::max(0, extent - client));
        bar->setPageStep(page);
        bar->setSingleStep(std::max(1, page / 10));
    };
    setUp(horizontalScrollBar(), extent_.width(), client.width());
    setUp(verticalScrollBar(), extent_.height(), client.height());
}

QPoint COrvexView::ToLogical(QPoint client) const {
    return client + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void COrvexView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint offset = ToLogical({0, 0});
    painter.translate(-offset);
    DisplayStatus status;
    DisplayImage(painter, Image(), zoom_, {displayRect_.right, displayRect_.bottom},
                 event->rect().translated(offset), &status);
    // Missing rows are reported once per picture, outside the paint.
    const void* block = Image().GetHandle();
    if (status == DisplayStatus::NoData && block != reportedBlock_) {
        reportedBlock_ = block;
        QTimer::singleShot(0, this, [] { ShowMessage("Display : unable to find data"); });
    }
    DrawRoi(painter);
    // Scrolling, zooming and every change of the picture or its colours
    // repaint: what lies under a still mouse is read again here.
    UpdateReadout();
}

void COrvexView::UpdateReadout() {
    QString text;
    if (pointer_) {
        const std::optional<SShownPixel> shown = PixelShownAt(
            Image(), zoom_, {displayRect_.right, displayRect_.bottom}, ToLogical(*pointer_));
        if (shown) text = ReadoutText(*shown, doc_->Core().GetSamples());
    }
    if (text == readout_) return;
    readout_ = text;
    emit readoutChanged(text);
}

bool COrvexView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        pointer_.reset();
        UpdateReadout();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void COrvexView::DrawRoi(QPainter& painter) const {
    if (!roiMode_) return;
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 0));
    const CRect& r = roiRect_;
    const QPoint outline[] = {{r.left, r.top},
                              {r.right, r.top},
                              {r.right, r.bottom},
                              {r.left, r.bottom},
                              {r.left, r.top}};
    painter.drawPolyline(outline, 5);
}

void COrvexView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (autoZoom_)
        FillClientArea();
    else
        UpdateScrollBars();
}

void COrvexView::scrollContentsBy(int, int) { viewport()->update(); }

void COrvexView::ScrollBy(Qt::Orientation orientation, QAbstractSlider::SliderAction action) {
    QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    // Only when the extent exceeds the client area in that direction.
    if (bar->maximum() > 0) bar->triggerAction(action);
}

void COrvexView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    using A = QAbstractSlider;
    switch (event->key()) {
        // With Ctrl they turn the stack's pages (at either end, nothing).
        case Qt::Key_PageUp:
            if (!ctrl) ScrollBy(Qt::Vertical, A::SliderPageStepSub);
            break;
        case Qt::Key_PageDown:
            if (!ctrl) ScrollBy(Qt::Vertical, A::SliderPageStepAdd);
            break;
        case Qt::Key_Home:
            ScrollBy(ctrl ? Qt::Vertical : Qt::Horizontal, A::SliderToMinimum);
            break;
        case Qt::Key_End:
            ScrollBy(ctrl ? Qt::Vertical : Qt::Horizontal, A::SliderToMaximum);
            break;
        case Qt::Key_Left:
            ScrollBy(Qt::Horizontal, A::SliderSingleStepSub);
            break;
        case Qt::Key_Right:
            ScrollBy(Qt::Horizontal, A::SliderSingleStepAdd);
            break;
        case Qt::Key_Up:
            ScrollBy(Qt::Vertical, A::SliderSingleStepSub);
            break;
        case Qt::Key_Down:
            ScrollBy(Qt::Vertical, A::SliderSingleStepAdd);
            break;
        case Qt::Key_F10:
            if (!(event->modifiers() & Qt::ShiftModifier)) return QWidget::keyPressEvent(event);
            ShowContextMenu(viewport()->mapToGlobal(QPoint(5, 5)));
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}

bool COrvexView::event(QEvent* event) {
    // Shift+F10 belongs to the view while it has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool COrvexView::IsInsideRoiArea(QPoint p) const {
    // The last column and row cannot be reached: a rectangle ending there
    // would leave nothing to its right or below to end on.
    const CSize size = Image().GetSize();
    return p.x() >= 0 && p.y() >= 0 && p.x() < size.cx - 1 && p.y() < size.cy - 1;
}

void COrvexView::SetImageRoi() { Image().SetRoi(roiRect_); }

void COrvexView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    tracking_ = true;
    const QPoint p = ToLogical(event->position().toPoint());
    if (roiMode_ && IsInsideRoiArea(p)) {
        roiRect_ = {p.x(), p.y(), p.x() + 1, p.y() + 1};
        SetImageRoi();
        viewport()->update();
    }
    event->accept();
}

void COrvexView::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    UpdateReadout();
    const QPoint p = ToLogical(*pointer_);
    if (roiMode_ && tracking_ && IsInsideRoiArea(p)) {
        roiRect_.right = p.x();
        roiRect_.bottom = p.y();
        SetImageRoi();
        viewport()->update();
    }
    event->accept();
}

void COrvexView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    tracking_ = false;
    event->accept();
}

void COrvexView::contextMenuEvent(QContextMenuEvent* event) {
    ShowContextMenu(event->reason() == QContextMenuEvent::Mouse
                        ? event->globalPos()
                        : viewport()->mapToGlobal(QPoint(5, 5)));
    event->accept();
}

void COrvexView::ShowContextMenu(QPoint globalPos) { ContextMenu()->popup(globalPos); }

QMenu* COrvexView::ContextMenu() {
    if (!contextMenu_) contextMenu_ = CreateContextMenu(this);
    return contextMenu_;
}

void COrvexView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    MakePageCurrent();
    emit activated(this);
}

void COrvexView::SetOneToOne() {
    autoZoom_ = false;
    zoom_ = 1.0f;
}

void COrvexView::ZoomBy(float (*step)(float)) {
    zoom_ = step(zoom_);
    FitAtZoom();
    ResetRoi();
    viewport()->update();
}

void COrvexView::ZoomNormal() {
    SetOneToOne();
    FitToPicture();
    viewport()->update();
}

void COrvexView::ToggleAutoZoom() {
    zoom_ = 1.0f;
    autoZoom_ = !autoZoom_;
    if (autoZoom_) {
        FillClientArea();
        ResetRoi();
    } else {
        FitToPicture();
    }
    viewport()->update();
}

void COrvexView::ToggleRoi() {
    roiMode_ = !roiMode_;
    // The picture's region is the outlined one while the outline shows, and
    // the whole picture once it is gone.
    if (roiMode_)
        SetImageRoi();
    else
        Image().SetDefaultRoi();
    viewport()->update();
}

void COrvexView::RefitAfterUndo() {
    if (autoZoom_) {
        FillClientArea();
        ResetRoi();
    } else {
        FitAtZoom();
    }
    viewport()->update();
}

void COrvexView::SetMenuEntryMaker(MenuEntryMaker maker) { entryMaker = maker; }

QMenu* COrvexView::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    auto add = [](QMenu* to, int id, const QString& label) {
        if (entryMaker) {
            to->addAction(entryMaker(id, label, to));
        } else {
            to->addAction(label)->setEnabled(false);
        }
    };
    add(menu, cmd::EditUndo, "Annuler");
    add(menu, cmd::EditCopy, "Copier");
    add(menu, cmd::EditPaste, "Coller");
    menu->addSeparator();
    QMenu* zoomMenu = menu->addMenu("Zoom");
    add(zoomMenu, cmd::ZoomNormal, "Normal");
    zoomMenu->addSeparator();
    add(zoomMenu, cmd::ZoomAuto, "Auto");
    add(zoomMenu, cmd::ZoomPlus, "Plus");
    add(zoomMenu, cmd::ZoomMinus, "Moins");
    QMenu* paletteMenu = menu->addMenu("Palette");
    add(paletteMenu, cmd::PaletteGrey, "Niveaux de gris");
    paletteMenu->addSeparator();
    add(paletteMenu, cmd::PaletteHeat, "Thermique");
    add(paletteMenu, cmd::PaletteRainbow, "Fausses couleurs");
    add(paletteMenu, cmd::PaletteBinary, "Binaire");
    add(menu, cmd::FilterBrowser, "Browser de filtres");
    return menu;
}
