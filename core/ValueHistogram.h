#pragma once
// The histogram of a picture file's own values (its kept samples, not the
// 8-bit levels), over which a window is chosen. Bins of one width run from
// the least to the greatest finite value. Integer samples get bins of a
// whole number of values, so that no bin gathers one value more than its
// neighbours by rounding; a narrow range gets one bin per value. Values that
// are not finite (NaN, infinities) are counted apart.

#include <cstdint>
#include <vector>

class CFileSamples;

struct SValueHistogram {
    double low = 0.0, high = 0.0;       // the least and the greatest finite value
    double binWidth = 1.0;              // the values one bin covers
    std::vector<std::uint64_t> counts;  // empty when no value is finite
    std::uint64_t notFinite = 0;

    int Bins() const { return static_cast<int>(counts.size()); }
    // The bin of a finite value, clamped to the bins.
    int BinOf(double value) const;
    // Where bin `bin` starts; BinStart(Bins()) is where the last one ends.
    double BinStart(int bin) const { return low + bin * binWidth; }
};

// At most `maxBins` bins (at least 1).
SValueHistogram MakeValueHistogram(const CFileSamples& samples, int maxBins);
