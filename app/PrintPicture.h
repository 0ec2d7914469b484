#pragma once
// Printing a picture across the width of the page, its proportions kept on
// paper even on printers whose dots are not square. One page per picture.

#include <QRect>
#include <QSize>

#include "Image.h"

class QPaintDevice;
class QPrinter;
class QWidget;

// Where the picture goes on a page of horizontal resolution `pageWidth`
// (device pixels) with dotsPerInchX x dotsPerInchY: the full width, and the
// height that keeps the proportions. Empty for an empty picture.
QRect PrintRect(QSize picture, int pageWidth, int dotsPerInchX, int dotsPerInchY);

// Draws the picture on one page of `device`.
void PrintPage(const CImage& image, QPaintDevice& device);

// The printer and page of the run: chosen in printer setup, used by every
// print and preview until the program ends.
QPrinter& RunPrinter();

enum class PrintMode { WithDialog, Direct };
void PrintPicture(const CImage& image, QWidget* parent, PrintMode mode);
void PreviewPicture(const CImage& image, QWidget* parent);
