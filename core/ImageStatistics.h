#pragma once
// The six measurements of the statistics dialog, read once from a picture,
// and their texts as the dialog shows them. orvex-cli's --stats prints the
// same texts.

#include <cstdint>
#include <string>

#include "Image.h"

struct CImageStatistics {
    std::uint32_t pixels = 0;  // width x height
    int minimum = 0;
    int maximum = 0;
    std::uint64_t sum = 0;
    float mean = 0.0f;  // the integer mean, shown as a float
    double stdev = 0.0;

    // Reads the values from the picture; the engine reports its own failures.
    static CImageStatistics Measure(CImage& image);
    // The same from the engine's statistics of a picture of `pixels` pixels.
    static CImageStatistics From(const CLevelStatistics& levels, std::uint32_t pixels);

    std::string PixelsText() const;
    std::string MinimumText() const;
    std::string MaximumText() const;
    std::string SumText() const;
    std::string MeanText() const;   // "%.*g", 6 significant digits
    std::string StdevText() const;  // "%.*g", 15 significant digits
};
