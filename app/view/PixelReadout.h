#pragma once
// The status bar's readout of the pixel under the mouse:
// "x 120  y 45  niveau 37", then the colour shown when the colour table is
// not the grey ramp ("R 0 V 12 B 240"), then the file's own value when its
// samples are kept ("valeur 3412", "valeur -0.25"); direct-colour pictures
// have no level.

#include <QString>

#include "ImageRenderer.h"

class CFileSamples;

// `samples`: the picture's kept samples, or null.
QString ReadoutText(const SShownPixel& pixel, const CFileSamples* samples);
