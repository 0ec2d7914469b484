#include "PixelBoxes.h"

#include <algorithm>

namespace {

template <typename Paint>
void ForEachRow(QImage& picture, int left, int top, int right, int bottom, Paint paint) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, picture.width() - 1);
    bottom = std::min(bottom, picture.height() - 1);
    if (left > right) return;
    for (int y = top; y <= bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        paint(row + left, row + right + 1);
    }
}

}  // namespace

void FillBox(QImage& picture, int left, int top, int right, int bottom, QRgb colour) {
    ForEachRow(picture, left, top, right, bottom,
               [colour](QRgb* begin, QRgb* end) { std::fill(begin, end, colour); });
}

void InvertBox(QImage& picture, int left, int top, int right, int bottom) {
    ForEachRow(picture, left, top, right, bottom, [](QRgb* begin, QRgb* end) {
        for (QRgb* pixel = begin; pixel != end; ++pixel) *pixel = 0xff000000u | ~*pixel;
    });
}

void DrawBox(QImage& picture, int left, int top, int right, int bottom, QRgb pen, QRgb brush) {
    FillBox(picture, left, top, right, bottom, pen);
    FillBox(picture, left + 1, top + 1, right - 1, bottom - 1, brush);
}
