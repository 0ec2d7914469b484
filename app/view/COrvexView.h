#pragma once
// A scrolling, zoomable view of one document's picture. Several views may
// show one document; each keeps its own zoom, auto zoom and region-of-interest
// state. At zoom 1.0 the region of interest is drawn with the mouse; the
// picture's own region is the rectangle last drawn in any view, and a view
// never puts its rectangle back on its own. Each view shows a page of the
// document's stack of its own; the active view's page is the document's
// current one, which the commands work on. The view's commands are in the
// commands room (ViewCommands.cpp).

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QPointer>
#include <optional>

#include "COrvexDoc.h"
#include "CommandTarget.h"
#include "Image.h"

class QAction;
class QMenu;

class COrvexView : public QAbstractScrollArea, public CCommandTarget {
    Q_OBJECT
public:
    explicit COrvexView(COrvexDoc* doc, QWidget* parent = nullptr);

    COrvexDoc* GetDocument() const { return doc_; }

    // The page shown, from 0.
    int Page() const { return page_; }
    // Shows the page at `index` (kept within the stack) and makes it the
    // document's current page; paging writes no history.
    void ShowPage(int index);
    // The document's commands will work on this view's page.
    void MakePageCurrent() const;

    float Zoom() const { return zoom_; }
    bool IsAutoZoom() const { return autoZoom_; }
    bool IsRoiMode() const { return roiMode_; }
    // In picture coordinates (row 0 at the top); left and top where the drag started.
    const CRect& RoiRect() const { return roiRect_; }
    // The area Display scales by the zoom; only its right and bottom count.
    const CRect& DisplayRect() const { return displayRect_; }
    QSize ScrollExtent() const { return extent_; }

    // The display operations the view's commands are made of.
    void SetDisplayRect(int left, int top, int right, int bottom);
    // Display rectangle := the picture's own size, scroll extent := that size
    // at the view's zoom (in auto zoom, both the client area).
    void FitToPicture();
    // ROI mode off (the picture's region becomes the whole picture if the mode
    // was on); the outline goes back to the middle third of the picture.
    void ResetRoi();
    // Colour tables are read at each repaint, so this repaints every view of
    // the document, and only that.
    void RealizeImagePalette();
    // Auto zoom off, zoom 1.0.
    void SetOneToOne();
    // One zoom step: display rectangle := the picture, scroll extent := the
    // zoomed picture, ROI mode off, repaint.
    void ZoomBy(float (*step)(float));
    void ZoomNormal();
    void ToggleAutoZoom();
    void ToggleRoi();
    // After undo: the whole client area in auto zoom, otherwise the picture
    // at this view's zoom.
    void RefitAfterUndo();

    // The view's context menu, built once from the shared command actions.
    QMenu* ContextMenu();
    // A new context menu of the same commands, owned by the caller.
    static QMenu* CreateContextMenu(QWidget* parent);
    // The context menu lists command ids under its own labels; each entry is
    // made by the commands room (the command's own action under that label),
    // which installs the maker when the program loads. Without one, the
    // entries show disabled.
    using MenuEntryMaker = QAction* (*)(int id, const QString& label, QObject* parent);
    static void SetMenuEntryMaker(MenuEntryMaker maker);

signals:
    void activated(COrvexView* view);
    void pageShown(COrvexView* view);
    // The readout of the pixel under the mouse; empty once the mouse has left
    // the picture.
    void readoutChanged(const QString& text);

protected:
    CommandOwner OwnerKind() const override { return CommandOwner::View; }
    SCommandContext OwnContext() const override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CImage& Image() const;
    void OnPicturesChanged();
    void FitAtZoom();
    void FillClientArea();
    void SetScrollExtent(QSize extent);
    void UpdateScrollBars();
    QPoint ToLogical(QPoint client) const;
    bool IsInsideRoiArea(QPoint point) const;
    void SetImageRoi();
    void DrawRoi(QPainter& painter) const;
    void ShowContextMenu(QPoint globalPos);
    void ScrollBy(Qt::Orientation orientation, QAbstractSlider::SliderAction action);
    void UpdateReadout();

    QPointer<COrvexDoc> doc_;
    bool autoZoom_ = false;
    CRect displayRect_;
    float zoom_ = 1.0f;
    CRect roiRect_;
    bool roiMode_ = false;
    bool tracking_ = false;
    QSize extent_;
    const void* reportedBlock_ = nullptr;  // the block whose rows were found missing
    QMenu* contextMenu_ = nullptr;
    int page_ = 0;
    int wheelPaging_ = 0;  // eighths of a degree turned with Ctrl, not yet a page
    std::optional<QPoint> pointer_;  // client position of the mouse while it is over the view
    QString readout_;
};
