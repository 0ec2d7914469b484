#pragma once
// The histogram drawn as a figure: the file's name as its title, one bar a
// level, a level axis with ticks at 0, 64, 128, 192 and 255 and a count axis
// with 0, half and the highest count, in black on white. The figure is laid
// out once, as rectangles and words, then drawn either as an engine picture
// (8 bits, grey table, the words in the small bitmap font) that any picture
// writer saves, or as SVG, the words as text.

#include <cstdint>
#include <string>
#include <vector>

#include "Image.h"

// The smallest and largest sides of a plot.
inline constexpr int kPlotMinSide = 16, kPlotMaxSide = 16384;
// The default size: 256 bars two pixels wide, with room for the axes.
inline constexpr CSize kPlotDefaultSize{600, 240};

struct SFigureRect {
    int x, y, width, height;
    std::uint8_t level;  // 0 black .. 255 white
};

struct SFigureText {
    int x, y;  // the left, middle or right end of its top, as `anchor` says
    std::string text;
    int anchor;  // -1 left, 0 middle, 1 right
};

struct SHistogramFigure {
    int width = 0, height = 0;
    std::vector<SFigureRect> rects;
    std::vector<SFigureText> texts;
};

// Lays out the histogram `counts` in `size` pixels. A size too small for the
// axes and the words gets the bars alone; a plot narrower than 256 pixels
// shows in each column the highest count of the levels it covers.
SHistogramFigure LayHistogramFigure(const std::uint32_t counts[256], CSize size,
                                    const std::string& title);

// Draws the histogram of `source` (GenerateHistogram, which reports its own
// failures) into `plot`. False when the histogram or the plot's picture
// could not be made.
bool DrawHistogramPlot(CImage& source, CSize size, const std::string& title, CImage& plot);

// The figure as an SVG document.
std::string HistogramFigureSvg(const SHistogramFigure& figure);
// The histogram of `source` as an SVG document; false when the histogram
// could not be made.
bool HistogramPlotSvg(CImage& source, CSize size, const std::string& title, std::string& svg);
