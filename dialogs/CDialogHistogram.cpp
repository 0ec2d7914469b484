#include "CDialogHistogram.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <utility>

#include "CDialogUnits.h"
#include "Image.h"
#include "MeasureTable.h"
#include "Message.h"
#include "PixelBoxes.h"

namespace {

const QRgb kLightGrey = qRgb(192, 192, 192);

}  // namespace

CDialogHistogram::CDialogHistogram(const CImage& image, Mode mode, QWidget* parent)
    : QDialog(parent), mode_(mode) {
    BuildLayout();
    bitmap_ = QImage(kBitmapWidth, kBitmapHeight, QImage::Format_RGB32);
    if (bitmap_.isNull()) {
        ShowMessage("CDialogHistogram::CDialogHistogram ** Unable to create compatible Bitmap");
        return;
    }
    bitmap_.fill(kLightGrey);
    for (int level = 0; level < 256; ++level)
        counts_[level] = static_cast<std::uint32_t>(image.GetHistogramValue(level));
    maximum_ = image.GetHistogramMax();
    if (maximum_ != 0) DrawHistogram();
    if (IsThresholdMode()) {
        // The band and values show at once; the preview is announced when
        // the dialog opens, once the caller listens.
        DrawHistogram();
        InvertInterval();
        DrawValues();
    }
}

void CDialogHistogram::BuildLayout() {
    setWindowTitle("Histogramme");
    const CDialogUnits units(font());
    auto* ok = new QPushButton("OK", this);
    units.Place(ok, 128, 75, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Annuler", this);
    units.Place(cancel, 70, 75, 50, 14);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* copy = new QPushButton("Copier", this);
    units.Place(copy, 12, 75, 50, 14);
    connect(copy, &QPushButton::clicked, this, &CDialogHistogram::Copy);
    setFixedSize(std::max(kBitmapWidth, ok->geometry().right() + units.X(8)),
                 std::max(kBitmapHeight, ok->geometry().bottom() + units.Y(8)));
}

void CDialogHistogram::Copy() {
    QApplication::clipboard()->setText(QString::fromStdString(HistogramText(counts_.data())));
}

void CDialogHistogram::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (IsThresholdMode() && !previewShown_) {
        previewShown_ = true;
        UpdateThreshold();
    }
}

bool CDialogHistogram::DrawHistogram() {
    if (bitmap_.isNull()) return false;
    DrawBox(bitmap_, kLeft, kTop, kRight, kBottom, qRgb(0, 0, 0), qRgb(255, 255, 255));
    if (maximum_ == 0) return false;
    for (int level = 0; level < 256; ++level) {
        // Bars stand on the bottom border; the largest one is 90 rows high.
        const int h =
            static_cast<int>(static_cast<double>(counts_[level]) * (kBottom - kTop) / maximum_);
        FillBox(bitmap_, kLeft + level, kBottom - h + 1, kLeft + level, kBottom, qRgb(0, 0, 0));
    }
    return true;
}

void CDialogHistogram::InvertInterval() {
    if (bitmap_.isNull()) return;
    // The band between the two bound columns, both excluded, inside the frame.
    int left = low_ + 1;
    int right = high_;
    if (left > right) std::swap(left, right);
    InvertBox(bitmap_, left, kTop + 1, right - 1, kBottom - 1);
}

void CDialogHistogram::DrawValues() {
    if (bitmap_.isNull()) return;
    // The box reaches across the picture: with today's fonts the text can be
    // wider than the 100 pixels a small system font needed.
    const QRect box(10, 103, kBitmapWidth - 10, 21);
    FillBox(bitmap_, box.left(), box.top(), box.right(), box.bottom(), kLightGrey);
    QPainter painter(&bitmap_);
    painter.setPen(Qt::black);
    painter.setFont(font());
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop,
                     QString("Valeurs:(%1,%2)").arg(low_ - kLeft).arg(high_ - kLeft));
    update(box);
}

void CDialogHistogram::UpdateThreshold() {
    DrawHistogram();
    InvertInterval();
    update(kLeft, kTop, kRight - kLeft + 1, kBottom - kTop + 1);
    if (high_ < low_) std::swap(low_, high_);
    emit thresholdPreview(low_ - kLeft, high_ - kLeft);
    DrawValues();
}

bool CDialogHistogram::IsInsideHistogram(QPoint p) {
    return p.x() >= kLeft && p.x() < kRight && p.y() >= kTop && p.y() < kBottom;
}

void CDialogHistogram::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(kLightGrey));
    if (!bitmap_.isNull()) painter.drawImage(0, 0, bitmap_);
}

void CDialogHistogram::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    if (!IsThresholdMode() || event->button() != Qt::LeftButton || !IsInsideHistogram(p)) return;
    dragging_ = true;
    // The nearer bound moves; a click midway moves the high bound.
    const int d = p.x() - low_;
    draggingLow_ = d <= 0 || d < high_ - p.x();
    (draggingLow_ ? low_ : high_) = p.x();
    UpdateThreshold();
}

void CDialogHistogram::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!IsThresholdMode() || !dragging_ || !IsInsideHistogram(p)) return;
    // The bounds are put in order, and previewed, on release.
    (draggingLow_ ? low_ : high_) = p.x();
    DrawHistogram();
    InvertInterval();
    update(kLeft, kTop, kRight - kLeft + 1, kBottom - kTop + 1);
    DrawValues();
}

void CDialogHistogram::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    if (!IsThresholdMode() || event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    UpdateThreshold();
}

void CDialogHistogram::accept() {
    // A drag may still be under way (Enter pressed while dragging).
    if (high_ < low_) std::swap(low_, high_);
    low_ -= kLeft;
    high_ -= kLeft;
    QDialog::accept();
}
