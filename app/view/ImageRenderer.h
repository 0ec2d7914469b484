#pragma once
// Drawing a CImage on screen or paper.
//
// The picture is stretched onto a destination rectangle by nearest neighbour:
// destination column x shows source column x * width / destination width
// (row likewise), so a reduction drops rows and columns and never blends
// them. Only the requested part of the destination is built, so the cost of
// a repaint follows the area on screen, not the size of the picture.
//
// 1, 4 and 8-bit pictures come out as Format_Indexed8 with the picture's
// colour table (missing entries are black); 16, 24 and 32-bit pictures, with
// or without bit-field masks, as Format_RGB32.

#include <QImage>
#include <QRect>
#include <QSize>
#include <optional>

#include "Image.h"

class QPainter;

enum class DisplayStatus {
    Drawn,
    NoPicture,  // no pixel block, or nothing of the destination asked for
    NoData,     // the block does not hold the rows its header announces
};

// The part `area` (destination coordinates) of the picture stretched to a
// destination of size `target`. Null when nothing can be drawn.
QImage RenderPicture(const CImage& image, QSize target, QRect area,
                     DisplayStatus* status = nullptr);

// What the screen shows at one point of a destination drawn as DisplayImage
// draws it: the picture's column and row (row 0 at the top), the colour-table
// index (-1 for direct colours) and the colour. None outside the picture.
struct SShownPixel {
    int x = 0, y = 0;
    int level = -1;
    QRgb colour = 0;
    bool greyPalette = false;  // the colour table is the 256-entry grey ramp
};
std::optional<SShownPixel> PixelShownAt(const CImage& image, float zoom, QSize size, QPoint point);

// The screen and printer counterpart of the engine's Display (named apart from
// X11's Display type). Draws the picture into (0, 0, trunc(size.width * zoom), trunc(size.height
// * zoom)) of the painter, limited to `exposed` (destination coordinates).
// Returns the number of destination rows drawn, 0 when nothing was drawn.
int DisplayImage(QPainter& painter, const CImage& image, float zoom, QSize size, QRect exposed,
                 DisplayStatus* status = nullptr);
