#pragma once
// Printing a picture as large as the page allows, whole and centred, its
// proportions kept on paper even on printers whose dots are not square. One
// page per picture; print, preview and PDF alike.

#include <QRect>
#include <QSize>

#include "Image.h"

class QPaintDevice;
class QPrinter;
class QWidget;

// Where the picture goes on a page of `page` device pixels with
// dotsPerInchX x dotsPerInchY: the full width or the full height, whichever
// leaves the whole picture on the page with its proportions, centred on the
// other. Empty for an empty picture.
QRect PrintRect(QSize picture, QSize page, int dotsPerInchX, int dotsPerInchY);

// Draws the picture on one page of `device`.
void PrintPage(const CImage& image, QPaintDevice& device);

// The printer and page of the run: chosen in printer setup, used by every
// print and preview until the program ends.
QPrinter& RunPrinter();

enum class PrintMode { WithDialog, Direct };
void PrintPicture(const CImage& image, QWidget* parent, PrintMode mode);
void PreviewPicture(const CImage& image, QWidget* parent);
