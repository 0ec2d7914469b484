#pragma once
// Dialog layouts are given in dialog units, which follow the dialog's font: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height. Placing controls through this keeps
// every dialog in proportion whatever font the desktop uses.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

class CDialogUnits {
public:
    // The units of the font `widget` uses.
    explicit CDialogUnits(const QWidget* widget);
    CDialogUnits(int averageCharWidth, int charHeight);

    int X(int units) const;
    int Y(int units) const;
    QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const;

    // Places `control` at x, y, width, height dialog units in its parent.
    void Place(QWidget* control, int x, int y, int width, int height) const;

private:
    int baseX_;
    int baseY_;
};
