#pragma once
// Dialog layouts are written in dialog units, so they follow the font: a
// horizontal unit is a quarter of the font's average character width (the
// average over the 52 Latin letters), a vertical unit an eighth of its line
// height, both rounded down to whole pixels at the end.

#include <QPoint>
#include <QRect>
#include <QSize>

class QFont;
class QWidget;

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const;
    // Places `widget` at the rectangle given in dialog units.
    void Place(QWidget* widget, int x, int y, int width, int height) const;

private:
    int baseX_ = 6;
    int baseY_ = 13;
};
