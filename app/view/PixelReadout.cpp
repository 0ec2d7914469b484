#include "PixelReadout.h"

#include "FileSamples.h"
#include "SampleWindowText.h"

QString ReadoutText(const SShownPixel& pixel, const CFileSamples* samples) {
    QString text = QStringLiteral("x %1  y %2").arg(pixel.x).arg(pixel.y);
    if (pixel.level >= 0) text += QStringLiteral("  niveau %1").arg(pixel.level);
    if (pixel.level < 0 || !pixel.greyPalette)
        text += QStringLiteral("  R %1 V %2 B %3")
                    .arg(qRed(pixel.colour))
                    .arg(qGreen(pixel.colour))
                    .arg(qBlue(pixel.colour));
    if (samples && pixel.x < samples->Width() && pixel.y < samples->Height())
        text +=
            QStringLiteral("  valeur ") + QString::fromStdString(SampleValueText(
                                              samples->ValueAt(pixel.x, pixel.y), samples->Kind()));
    return text;
}
