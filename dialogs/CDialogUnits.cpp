#include "CDialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace {

// The average width over the 52 Latin letters, rounded.
int AverageCharWidth(const QFontMetrics& metrics) {
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

}  // namespace

CDialogUnits::CDialogUnits(const QWidget* widget)
    : CDialogUnits(AverageCharWidth(widget->fontMetrics()), widget->fontMetrics().height()) {}

CDialogUnits::CDialogUnits(int averageCharWidth, int charHeight)
    : baseX_(averageCharWidth > 0 ? averageCharWidth : 1),
      baseY_(charHeight > 0 ? charHeight : 1) {}

int CDialogUnits::X(int units) const { return (units * baseX_ + 2) / 4; }

int CDialogUnits::Y(int units) const { return (units * baseY_ + 4) / 8; }

QRect CDialogUnits::Rect(int x, int y, int width, int height) const {
    // Edges are converted, not sizes, so that neighbours touch as they do in units.
    const QPoint topLeft = Point(x, y);
    const QPoint bottomRight = Point(x + width, y + height);
    return {topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())};
}

void CDialogUnits::Place(QWidget* control, int x, int y, int width, int height) const {
    control->setGeometry(Rect(x, y, width, height));
}
