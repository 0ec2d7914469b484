#include "PrintPicture.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <memory>

#include "CWaitCursor.h"
#include "ImageRenderer.h"

QRect PrintRect(QSize picture, QSize page, int dotsPerInchX, int dotsPerInchY) {
    if (picture.isEmpty() || page.isEmpty() || dotsPerInchX <= 0 || dotsPerInchY <= 0) return {};
    // The picture's height in device rows per device column across it: the
    // same length on paper whatever the shape of the printer's dots.
    const double rowsPerColumn =
        static_cast<double>(picture.height()) * dotsPerInchY / (picture.width() * dotsPerInchX);
    int width = page.width();
    int height = page.height();
    if (rowsPerColumn * page.width() <= page.height())
        height = std::max(1, static_cast<int>(rowsPerColumn * page.width()));
    else
        width = std::max(1, static_cast<int>(page.height() / rowsPerColumn));
    return {(page.width() - width) / 2, (page.height() - height) / 2, width, height};
}

void PrintPage(const CImage& image, QPaintDevice& device) {
    const QRect place =
        PrintRect({image.GetWidth(), image.GetHeight()}, {device.width(), device.height()},
                  device.logicalDpiX(), device.logicalDpiY());
    if (place.isEmpty()) return;
    QPainter painter(&device);
    const QSize picture(image.GetWidth(), image.GetHeight());
    if (static_cast<qint64>(picture.width()) * picture.height() >
        static_cast<qint64>(place.width()) * place.height()) {
        painter.translate(place.topLeft());
        DisplayImage(painter, image, 1.0f, place.size(), QRect(QPoint(0, 0), place.size()));
        return;
    }
    // A picture smaller than its place goes to the printer once, at its own
    // size, and the printer enlarges it without smoothing: a far smaller job.
    painter.drawImage(place, RenderPicture(image, picture, QRect(QPoint(0, 0), picture)));
}

namespace {

std::unique_ptr<QPrinter> runPrinter;

}  // namespace

QPrinter& RunPrinter() {
    if (!runPrinter) {
        runPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Printers go before the application's platform plugins do.
        qAddPostRoutine([] { runPrinter.reset(); });
    }
    return *runPrinter;
}

void PrintPicture(const CImage& image, QWidget* parent, PrintMode mode) {
    QPrinter& printer = RunPrinter();
    if (mode == PrintMode::WithDialog) {
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    CWaitCursor wait;
    PrintPage(image, printer);
}

void PreviewPicture(const CImage& image, QWidget* parent) {
    QPrintPreviewDialog preview(&RunPrinter(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&image](QPrinter* target) { PrintPage(image, *target); });
    preview.exec();
}
