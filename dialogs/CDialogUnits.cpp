#include "CDialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, (letters / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());
}

int CDialogUnits::X(int units) const { return units * baseX_ / 4; }

int CDialogUnits::Y(int units) const { return units * baseY_ / 8; }

QRect CDialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

void CDialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const {
    widget->setGeometry(Rect(x, y, width, height));
}
