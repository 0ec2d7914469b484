#include "ValueHistogram.h"

#include <algorithm>
#include <cmath>

#include "FileSamples.h"

namespace {

template <typename F>
void ForEachValue(const CFileSamples& samples, F f) {
    for (int y = 0; y < samples.Height(); ++y)
        for (int x = 0; x < samples.Width(); ++x) f(samples.ValueAt(x, y));
}

}  // namespace

int SValueHistogram::BinOf(double value) const {
    const double bin = std::floor((value - low) / binWidth);
    return static_cast<int>(std::clamp(bin, 0.0, static_cast<double>(Bins() - 1)));
}

SValueHistogram MakeValueHistogram(const CFileSamples& samples, int maxBins) {
    SValueHistogram histogram;
    double low = INFINITY, high = -INFINITY;
    ForEachValue(samples, [&](double v) {
        if (!std::isfinite(v)) {
            ++histogram.notFinite;
            return;
        }
        low = std::min(low, v);
        high = std::max(high, v);
    });
    if (low > high) return histogram;
    histogram.low = low;
    histogram.high = high;
    const int most = std::max(1, maxBins);
    int bins = most;
    if (samples.Kind() != SampleKind::Float) {
        const double values = high - low + 1.0;
        histogram.binWidth = std::ceil(values / most);
        bins = static_cast<int>(std::ceil(values / histogram.binWidth));
    } else if (high > low) {
        histogram.binWidth = high / most - low / most;  // no overflow at the float limits
    } else {
        bins = 1;
    }
    histogram.counts.assign(static_cast<std::size_t>(bins), 0);
    ForEachValue(samples, [&](double v) {
        if (std::isfinite(v)) ++histogram.counts[static_cast<std::size_t>(histogram.BinOf(v))];
    });
    return histogram;
}
