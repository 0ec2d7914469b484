#pragma once
// The histogram drawn as a picture, with no text so that no font is needed:
// black bars on a white ground, the highest count reaching the top, and
// under them a grey ramp band from level 0 at the left to 255 at the right
// as the level axis. Made as an engine picture (8 bits, grey table), so any
// picture writer saves it.

#include "Image.h"

// The smallest and largest sides of a plot.
inline constexpr int kPlotMinSide = 16, kPlotMaxSide = 16384;

// Draws the histogram of `source` (GenerateHistogram, which reports its own
// failures) into `plot`, `size` pixels. False when the histogram or the
// plot's picture could not be made.
bool DrawHistogramPlot(CImage& source, CSize size, CImage& plot);
