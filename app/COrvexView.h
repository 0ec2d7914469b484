#pragma once
// A scrolling, zoomable view of one document's picture. Several views may
// show one document; each keeps its own zoom, auto zoom and region-of-interest
// state. At zoom 1.0 the region of interest is drawn with the mouse.

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QPointer>

#include "COrvexDoc.h"
#include "CommandTarget.h"
#include "Image.h"

class QMenu;

class COrvexView : public QAbstractScrollArea, public CCommandTarget {
    Q_OBJECT
public:
    explicit COrvexView(COrvexDoc* doc, QWidget* parent = nullptr);

    COrvexDoc* GetDocument() const { return doc_; }

    float Zoom() const { return zoom_; }
    bool IsAutoZoom() const { return autoZoom_; }
    bool IsRoiMode() const { return roiMode_; }
    // In picture coordinates (row 0 at the top); left and top where the drag started.
    const CRect& RoiRect() const { return roiRect_; }
    // The area Display scales by the zoom; only its right and bottom count.
    const CRect& DisplayRect() const { return displayRect_; }
    QSize ScrollExtent() const { return extent_; }

    void SetDisplayRect(int left, int top, int right, int bottom);
    // Scroll extent and display rectangle follow the picture's size.
    void FitToPicture();
    // ROI mode off; the outline goes back to the middle third of the picture.
    void ResetRoi();
    // Colour tables are read at each repaint, so this repaints every view.
    void RealizeImagePalette();

    bool OnCommand(int id) override;
    std::optional<bool> IsCommandEnabled(int id) const override;
    std::optional<bool> IsCommandChecked(int id) const override;

    // The view's context menu, built from the shared command actions.
    QMenu* CreateContextMenu(QWidget* parent);

signals:
    void activated(COrvexView* view);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    CImage& Image() const { return *doc_->GetImage(); }
    bool HasFullPalette() const;
    void OnPicturesChanged();
    void SetScrollExtent(QSize extent);
    void UpdateScrollBars();
    QPoint ToLogical(QPoint client) const;
    bool IsInsideRoiArea(QPoint point) const;
    void SetImageRoi();
    void DrawRoi(QPainter& painter) const;
    void ShowContextMenu(QPoint globalPos);
    void ScrollBy(Qt::Orientation orientation, QAbstractSlider::SliderAction action);

    // Commands
    void FillClientArea();
    void ZoomBy(float (*step)(float));
    void ZoomNormal();
    void ToggleAutoZoom();
    void ToggleRoi();
    void Undo();
    void ApplyPalette(int id);
    void AddPaletteBar();
    void SetOneToOne();

    QPointer<COrvexDoc> doc_;
    bool autoZoom_ = false;
    CRect displayRect_;
    float zoom_ = 1.0f;
    CRect roiRect_;
    bool roiMode_ = false;
    bool tracking_ = false;
    QSize extent_;
    const void* reportedBlock_ = nullptr;  // the block whose rows were found missing
};
