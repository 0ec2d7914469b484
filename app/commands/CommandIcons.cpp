#include "CommandIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 255);
const QColor kFolder(236, 190, 70);
const QColor kBlue(46, 104, 196);
const QColor kRed(204, 44, 44);
const QColor kGreen(52, 150, 72);

QPen Ink(qreal width = 1.0, const QColor& colour = kInk) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void Page(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

void Folder(QPainter& p, bool open) {
    p.setPen(Ink());
    p.setBrush(kFolder.darker(115));
    p.drawPolygon(
        QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
    p.setBrush(kFolder);
    if (open)
        p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
    else
        p.drawRect(QRectF(1.5, 6.5, 12, 7));
}

void Magnifier(QPainter& p, const QPointF& centre, qreal radius) {
    p.setPen(Ink(1.6));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7),
               centre + QPointF(radius * 1.9, radius * 1.9));
    p.setPen(Ink());
    p.setBrush(QColor(210, 232, 255));
    p.drawEllipse(centre, radius, radius);
}

void ZoomGlyph(QPainter& p, const QString& sign) {
    Magnifier(p, {6.5, 6.5}, 5);
    p.setPen(Ink(1.4));
    if (sign == "+" || sign == "-") p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    if (sign == "+") p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
    if (sign == "1") {
        p.drawLine(QPointF(6.5, 3.8), QPointF(6.5, 9.2));
        p.drawLine(QPointF(6.5, 3.8), QPointF(5, 5.3));
    }
    if (sign == "A") {
        p.drawLine(QPointF(4.3, 9), QPointF(6.5, 4));
        p.drawLine(QPointF(6.5, 4), QPointF(8.7, 9));
        p.drawLine(QPointF(5.2, 7.3), QPointF(7.8, 7.3));
    }
}

void Window(QPainter& p, const QRectF& r) {
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kBlue);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
}

void SplitWindow(QPainter& p, bool horizontal, bool vertical) {
    Window(p, {1.5, 1.5, 13, 13});
    p.setPen(Ink(1.0, kRed));
    if (horizontal) p.drawLine(QPointF(1.5, 9), QPointF(14.5, 9));
    if (vertical) p.drawLine(QPointF(8, 4), QPointF(8, 14.5));
}

void Bars(QPainter& p, const QList<qreal>& heights, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < heights.size(); ++i)
        p.drawRect(QRectF(1.5 + i * 2.2, 14.5 - heights[i], 1.8, heights[i]));
    p.setPen(Ink());
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

void Triangle(QPainter& p, const QPolygonF& shape, const QColor& colour) {
    p.setPen(Ink());
    p.setBrush(colour);
    p.drawPolygon(shape);
}

void Arrow(QPainter& p, const QPainterPath& curve, const QPointF& tip, const QPointF& a,
           const QPointF& b) {
    p.setBrush(Qt::NoBrush);
    p.setPen(Ink(1.6, kBlue));
    p.drawPath(curve);
    p.drawLine(tip, a);
    p.drawLine(tip, b);
}

void Letter(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
            qreal pixelSize) {
    QFont font("Sans");
    font.setBold(true);
    font.setPixelSize(int(pixelSize));
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void Ramp(QPainter& p, bool grey) {
    QLinearGradient ramp(1, 0, 15, 0);
    if (grey) {
        ramp.setColorAt(0, Qt::black);
        ramp.setColorAt(1, Qt::white);
    } else {
        const QList<QColor> colours = {Qt::blue, Qt::cyan, Qt::green, Qt::yellow, Qt::red};
        for (int i = 0; i < colours.size(); ++i) ramp.setColorAt(i / 4.0, colours[i]);
    }
    p.setPen(Ink());
    p.setBrush(ramp);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
}

class CCommandIconEngine : public QIconEngine {
public:
    explicit CCommandIconEngine(IconDrawing draw) : draw_(draw) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled) painter->setOpacity(0.35);
        draw_(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new CCommandIconEngine(draw_); }

private:
    IconDrawing draw_;
};

}  // namespace

namespace icons {

void FileNew(QPainter& p) { Page(p, {3.5, 1.5, 9, 13}); }

void BrowseFolder(QPainter& p) {
    Folder(p, false);
    Magnifier(p, {10, 9}, 3);
}

void FileOpen(QPainter& p) { Folder(p, true); }

void FileSave(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4, 9.5, 8, 5));
}

void Unassigned(QPainter& p) { Letter(p, {0, 0, 16, 16}, "?", kBlue, 13); }

void EditUndo(QPainter& p) {
    QPainterPath curve;
    curve.moveTo(3, 6);
    curve.cubicTo(9, 2, 16, 6, 11, 13);
    Arrow(p, curve, {3, 6}, {3.5, 2.5}, {6.5, 7});
}

void EditCopy(QPainter& p) {
    Page(p, {1.5, 1.5, 8, 10});
    Page(p, {6.5, 4.5, 8, 10});
}

void EditPaste(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(QColor(170, 120, 60));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4, 1.5, 5, 2.5));
    Page(p, {7.5, 6.5, 7, 8});
}

void FilePrint(QPainter& p) {
    Page(p, {4.5, 1.5, 7, 6});
    p.setPen(Ink());
    p.setBrush(QColor(190, 190, 196));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

void FilePrintPreview(QPainter& p) {
    Page(p, {1.5, 1.5, 10, 13});
    Magnifier(p, {9, 9}, 3);
}

void WindowNew(QPainter& p) {
    Window(p, {1.5, 3.5, 11, 11});
    p.setPen(Ink(1.6, kGreen));
    p.drawLine(QPointF(12.5, 1), QPointF(12.5, 6));
    p.drawLine(QPointF(10, 3.5), QPointF(15, 3.5));
}

void WindowTileHorizontal(QPainter& p) {
    Window(p, {1.5, 1.5, 13, 6});
    Window(p, {1.5, 8.5, 13, 6});
}

void WindowTileVertical(QPainter& p) {
    Window(p, {1.5, 1.5, 6, 13});
    Window(p, {8.5, 1.5, 6, 13});
}

void WindowCascade(QPainter& p) {
    Window(p, {1.5, 1.5, 9, 8});
    Window(p, {3.5, 4, 9, 8});
    Window(p, {5.5, 6.5, 9, 8});
}

void WindowSplit(QPainter& p) {
    SplitWindow(p, true, true);
    p.setPen(Ink(1.0, kGreen));
    p.drawLine(QPointF(8, 9), QPointF(14.5, 9));
}

void SplitHorizontal(QPainter& p) { SplitWindow(p, true, false); }

void SplitVertical(QPainter& p) { SplitWindow(p, false, true); }

void SplitFour(QPainter& p) { SplitWindow(p, true, true); }

void SplitNone(QPainter& p) { SplitWindow(p, false, false); }

void CloseAllNoSave(QPainter& p) {
    Window(p, {1.5, 1.5, 10, 9});
    Window(p, {4.5, 5.5, 10, 9});
    p.setPen(Ink(2.0, kRed));
    p.drawLine(QPointF(7, 9), QPointF(12, 13.5));
    p.drawLine(QPointF(12, 9), QPointF(7, 13.5));
}

void TipOfTheDay(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(QColor(255, 236, 110));
    p.drawEllipse(QRectF(3, 1, 10, 10));
    p.setBrush(QColor(170, 170, 176));
    p.drawRect(QRectF(5.5, 10.5, 5, 4));
}

void About(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    Letter(p, {0, 0, 16, 16}, "i", kPaper, 11);
}

void ZoomAuto(QPainter& p) { ZoomGlyph(p, "A"); }

void ZoomPlus(QPainter& p) { ZoomGlyph(p, "+"); }

void ZoomMinus(QPainter& p) { ZoomGlyph(p, "-"); }

void ZoomNormal(QPainter& p) { ZoomGlyph(p, "1"); }

void Roi(QPainter& p) {
    QPen dashed = Ink(1.2, kRed);
    dashed.setDashPattern({2, 1.5});
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
}

void PaletteGrey(QPainter& p) { Ramp(p, true); }

void PaletteRainbow(QPainter& p) { Ramp(p, false); }

void FlipVertical(QPainter& p) {
    Triangle(p, {{{2, 6.5}, {14, 6.5}, {8, 1.5}}}, kBlue);
    Triangle(p, {{{2, 9.5}, {14, 9.5}, {8, 14.5}}}, kPaper);
}

void FlipHorizontal(QPainter& p) {
    Triangle(p, {{{6.5, 2}, {6.5, 14}, {1.5, 8}}}, kBlue);
    Triangle(p, {{{9.5, 2}, {9.5, 14}, {14.5, 8}}}, kPaper);
}

void History(QPainter& p) {
    Page(p, {2.5, 1.5, 11, 13});
    p.setPen(Ink(1.0, kBlue));
    for (qreal y = 5; y < 13; y += 2.5) p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
}

void Statistics(QPainter& p) { Letter(p, {0, 0, 16, 16}, QString(QChar(0x03A3)), kInk, 14); }

void Histogram(QPainter& p) { Bars(p, {3, 6, 10, 12, 8, 5}, kBlue); }

void ManualThreshold(QPainter& p) {
    Bars(p, {3, 6, 10, 12, 8, 5}, QColor(140, 140, 150));
    p.setPen(Ink(1.4, kRed));
    p.drawLine(QPointF(8, 1), QPointF(8, 15));
}

void Negative(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kInk);
    p.drawPie(QRectF(1.5, 1.5, 13, 13), 90 * 16, 180 * 16);
}

void Dynamic(QPainter& p) {
    p.setPen(Ink());
    p.drawLine(QPointF(2, 1.5), QPointF(2, 14));
    p.drawLine(QPointF(2, 14), QPointF(14.5, 14));
    QPainterPath curve;
    curve.moveTo(2, 14);
    curve.cubicTo(4, 4, 8, 2, 14.5, 2);
    p.setPen(Ink(1.5, kRed));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

void FilterBrowser(QPainter& p) {
    p.setPen(Ink());
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush(row == 1 && col == 1 ? kBlue : QColor(215, 225, 240));
            p.drawRect(QRectF(1.5 + col * 4.5, 1.5 + row * 4.5, 4, 4));
        }
}

void Resize(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(QColor(215, 225, 240));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 8.5, 6, 6));
    p.setPen(Ink(1.4, kRed));
    p.drawLine(QPointF(8.5, 7.5), QPointF(13, 3));
    p.drawLine(QPointF(13, 3), QPointF(10, 3));
    p.drawLine(QPointF(13, 3), QPointF(13, 6));
}

void Rotation(QPainter& p) {
    QPainterPath curve;
    curve.arcMoveTo(QRectF(2.5, 2.5, 11, 11), 100);
    curve.arcTo(QRectF(2.5, 2.5, 11, 11), 100, -270);
    const QPointF tip = curve.currentPosition();
    Arrow(p, curve, tip, tip + QPointF(-3.5, -0.5), tip + QPointF(0, -3.5));
}

void Uniform(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
}

void PerspectiveGradient(QPainter& p) {
    for (int i = 0; i < 4; ++i) {
        const qreal h = 4 + i * 3;
        QLinearGradient shade(0, 15 - h, 0, 15);
        shade.setColorAt(0, Qt::white);
        shade.setColorAt(1, kBlue);
        p.setPen(Ink(0.8));
        p.setBrush(shade);
        p.drawPolygon(QPolygonF({{1.5 + i * 3.3, 15 - h},
                                 {4 + i * 3.3, 13.5 - h},
                                 {4 + i * 3.3, 13.5},
                                 {1.5 + i * 3.3, 15}}));
    }
}

void PerspectiveCloud(QPainter& p) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i) {
        const qreal x = 1.5 + (i % 4) * 3.6 + (i / 4) * 0.8;
        const qreal y = 13.5 - (i / 4) * 3 - ((i * 7) % 5);
        p.setBrush(i % 3 ? kBlue : kRed);
        p.drawEllipse(QPointF(x, y), 1.1, 1.1);
    }
}
}  // namespace icons

QIcon CommandIcon(const SCommandIcon& icon) {
    if (!icon.draw) return {};
    QIcon own(new CCommandIconEngine(icon.draw));
    return icon.theme ? QIcon::fromTheme(icon.theme, own) : own;
}
