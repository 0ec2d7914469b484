#pragma once
// Exact statistics of a picture's values: the file's own samples while they
// are kept, otherwise the 8-bit levels themselves. Integer samples are
// summed exactly (64-bit and wider integers), floats with compensated sums;
// the deviation is the population one (numpy's std), around the true mean.
// Floats that are not numbers are left out and counted.

#include <cstdint>
#include <limits>
#include <string>

#include "FileSamples.h"
#include "Image.h"

struct SValueStatistics {
    // The depth of the values: "8" for levels, else CFileSamples::DepthName.
    std::string depth;
    // NaN when there is no value to measure (every sample NaN); infinite
    // floats make the mean and deviation what they make them.
    double minimum = std::numeric_limits<double>::quiet_NaN();
    double maximum = std::numeric_limits<double>::quiet_NaN();
    double mean = std::numeric_limits<double>::quiet_NaN();
    double sd = std::numeric_limits<double>::quiet_NaN();
    std::uint64_t nan = 0;  // samples that are not numbers, left out
};

SValueStatistics MeasureValues(const CFileSamples& samples);

// A figure in its shortest form ("2047.5", "4095"; with `asFloat`, as a
// float file's float); empty when it is not finite.
std::string ValueNumberText(double value, bool asFloat = false);
// The levels of an 8-bit picture as values of depth "8"; nothing measured
// (NaN) for a picture without a full colour table, as its histogram is
// refused. The second form takes the picture's statistics (GetStatistics)
// when they are at hand, so the pixels are read once for both.
SValueStatistics MeasureLevels(CImage& image);
SValueStatistics MeasureLevels(CImage& image, const CLevelStatistics& levels);
