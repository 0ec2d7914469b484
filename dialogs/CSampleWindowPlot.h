#pragma once
// The histogram of a file's values with the window's two ends as marks to
// drag: the low end in blue, the high end in red, the values between them
// shaded. Counts are drawn on a logarithmic scale, so that a background that
// fills most of the picture does not flatten every other bin. The value
// range shown is fixed when the plot is made; ends beyond it show at its
// edges. A press picks the nearer mark; dragging it never passes the other.

#include <QWidget>

#include "ValueHistogram.h"

class CSampleWindowPlot : public QWidget {
    Q_OBJECT
public:
    // `shownLow`..`shownHigh`: the values across the plot; `integers`: the
    // ends dragged are whole numbers.
    CSampleWindowPlot(const SValueHistogram& histogram, double shownLow, double shownHigh,
                      bool integers, QWidget* parent = nullptr);

    void SetWindow(double low, double high);
    double Low() const { return low_; }
    double High() const { return high_; }
    // Where a value lies across the plot, in pixels, and back.
    int XOf(double value) const;
    double ValueAt(int x) const;

    QSize sizeHint() const override { return {520, 180}; }

signals:
    void windowDragged(double low, double high);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect PlotArea() const;
    void DragTo(int x);

    SValueHistogram histogram_;
    double shownLow_, shownHigh_;
    bool integers_;
    double low_ = 0.0, high_ = 0.0;
    enum class Mark { None, Low, High } dragged_ = Mark::None;
};
