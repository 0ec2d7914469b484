#include "PrintPicture.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <climits>
#include <memory>

#include "CWaitCursor.h"
#include "ImageRenderer.h"

QRect PrintRect(QSize picture, int pageWidth, int dotsPerInchX, int dotsPerInchY) {
    if (picture.isEmpty() || pageWidth <= 0 || dotsPerInchX <= 0 || dotsPerInchY <= 0) return {};
    const double height = static_cast<double>(picture.height()) * dotsPerInchY * pageWidth /
                          (static_cast<double>(picture.width()) * dotsPerInchX);
    return {0, 0, pageWidth, static_cast<int>(std::min(height, static_cast<double>(INT_MAX / 2)))};
}

void PrintPage(const CImage& image, QPaintDevice& device) {
    const QRect page = PrintRect({image.GetWidth(), image.GetHeight()}, device.width(),
                                 device.logicalDpiX(), device.logicalDpiY());
    if (page.isEmpty()) return;
    QPainter painter(&device);
    const QSize picture(image.GetWidth(), image.GetHeight());
    if (static_cast<qint64>(picture.width()) * picture.height() >
        static_cast<qint64>(page.width()) * page.height()) {
        DisplayImage(painter, image, 1.0f, page.size(), page);
        return;
    }
    // A picture smaller than the page goes to the printer once, at its own
    // size, and the printer enlarges it without smoothing: a far smaller job.
    painter.drawImage(page, RenderPicture(image, picture, QRect(QPoint(0, 0), picture)));
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
