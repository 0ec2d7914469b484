#pragma once
// The status bar's readout of the pixel under the mouse:
// "x 120  y 45  niveau 37", then the colour shown when the colour table is
// not the grey ramp ("R 0 V 12 B 240"); direct-colour pictures have no level.

#include <QString>

#include "ImageRenderer.h"

QString ReadoutText(const SShownPixel& pixel);
