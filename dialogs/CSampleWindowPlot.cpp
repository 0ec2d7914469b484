#include "CSampleWindowPlot.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kMargin = 8;
const QColor kLowColour(30, 80, 220), kHighColour(210, 40, 40);
}  // namespace

CSampleWindowPlot::CSampleWindowPlot(const SValueHistogram& histogram, double shownLow,
                                     double shownHigh, bool integers, QWidget* parent)
    : QWidget(parent),
      histogram_(histogram),
      shownLow_(shownLow),
      shownHigh_(shownHigh > shownLow ? shownHigh : shownLow + 1.0),
      integers_(integers) {
    setMinimumSize(300, 120);
    setCursor(Qt::SizeHorCursor);
}

void CSampleWindowPlot::SetWindow(double low, double high) {
    low_ = low;
    high_ = high;
    update();
}

QRect CSampleWindowPlot::PlotArea() const {
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

int CSampleWindowPlot::XOf(double value) const {
    const QRect area = PlotArea();
    const double t = std::clamp((value - shownLow_) / (shownHigh_ - shownLow_), 0.0, 1.0);
    return area.left() + static_cast<int>(std::lround(t * area.width()));
}

double CSampleWindowPlot::ValueAt(int x) const {
    const QRect area = PlotArea();
    const double t = std::clamp(double(x - area.left()) / std::max(1, area.width()), 0.0, 1.0);
    const double value = shownLow_ + t * (shownHigh_ - shownLow_);
    return integers_ ? std::round(value) : value;
}

void CSampleWindowPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = PlotArea();
    painter.fillRect(rect(), Qt::white);
    const int left = XOf(low_), right = XOf(high_);
    painter.fillRect(QRect(QPoint(left, area.top()), QPoint(right, area.bottom())),
                     QColor(235, 235, 200));

    std::uint64_t most = 0;
    for (std::uint64_t count : histogram_.counts) most = std::max(most, count);
    const double scale = most > 0 ? area.height() / std::log1p(double(most)) : 0.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    for (int bin = 0; bin < histogram_.Bins(); ++bin) {
        const std::uint64_t count = histogram_.counts[static_cast<std::size_t>(bin)];
        if (count == 0) continue;
        const int x0 = XOf(histogram_.BinStart(bin));
        const int x1 = std::max(x0 + 1, XOf(histogram_.BinStart(bin + 1)));
        const int height = std::max(1, static_cast<int>(std::log1p(double(count)) * scale));
        painter.drawRect(x0, area.bottom() + 1 - height, x1 - x0, height);
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    for (const auto& [x, colour] : {std::pair{left, kLowColour}, std::pair{right, kHighColour}}) {
        painter.setPen(QPen(colour, 2));
        painter.drawLine(x, area.top(), x, area.bottom());
        painter.setBrush(colour);
        const QPoint handle[] = {
            {x, area.bottom() - 8}, {x - 6, area.bottom()}, {x + 6, area.bottom()}};
        painter.drawPolygon(handle, 3);
        painter.setBrush(Qt::NoBrush);
    }
}

void CSampleWindowPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int x = event->position().toPoint().x();
    // Marks standing on one another: the side of the press says which.
    const int toLow = std::abs(x - XOf(low_)), toHigh = std::abs(x - XOf(high_));
    dragged_ = toLow < toHigh || (toLow == toHigh && x < XOf(low_)) ? Mark::Low : Mark::High;
    DragTo(x);
}

void CSampleWindowPlot::mouseMoveEvent(QMouseEvent* event) {
    if (dragged_ != Mark::None) DragTo(event->position().toPoint().x());
}

void CSampleWindowPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragged_ = Mark::None;
}

void CSampleWindowPlot::DragTo(int x) {
    const double value = ValueAt(x);
    if (dragged_ == Mark::Low)
        low_ = std::min(value, high_);
    else
        high_ = std::max(value, low_);
    update();
    emit windowDragged(low_, high_);
}
