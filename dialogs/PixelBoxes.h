#pragma once
// Exact pixel drawing for the dialogs' off-screen pictures (32-bit QImage).
// Every box covers both of its corners, and is clipped to the picture.

#include <QImage>

void FillBox(QImage& picture, int left, int top, int right, int bottom, QRgb colour);
// Every pixel of the box turned to its inverse colour.
void InvertBox(QImage& picture, int left, int top, int right, int bottom);
// A 1-pixel border in `pen` around an interior of `brush`.
void DrawBox(QImage& picture, int left, int top, int right, int bottom, QRgb pen, QRgb brush);
