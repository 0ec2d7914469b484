#pragma once
// Arrangements of the document windows that QMdiArea lacks.

#include <Qt>

class QMdiArea;

// Horizontal: windows stacked from top to bottom, each as wide as the area;
// vertical: side by side, each as high as the area. Minimised windows stay.
void TileSubWindows(QMdiArea* area, Qt::Orientation orientation);

// Lines the minimised windows up along the bottom of the area.
void ArrangeIcons(QMdiArea* area);
