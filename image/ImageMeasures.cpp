// Grey-level measurements of the whole picture (the region of interest plays
// no part): minimum, maximum, sum, mean, standard deviation (one by one or
// all five from one pass) and the 256-bin histogram. Each visits the width x height pixels row by
// row, skipping the row padding; large pictures are measured in bands of rows on all cores.
//
// The sum is kept in 64 bits, so large pictures no longer wrap; the mean stays
// the integer mean (the quotient truncated), and the standard deviation is
// taken around that integer mean, dividing by N.

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <mutex>

#include "Image.h"
#include "ImagePixelRows.h"
#include "Message.h"
#include "Parallel.h"
#include "StatKernels.h"

namespace {

// Least bytes per band when a measurement is split over the cores. Sums and
// extremes go at the speed of the cache (tens of gigabytes a second on one
// core), so a band must take a few hundred microseconds to pay for its
// thread; counting the levels works harder on each byte.
constexpr std::int64_t kStreamingBandBytes = std::int64_t{4} << 20;
constexpr std::int64_t kCountingBandBytes = std::int64_t{1} << 20;

// Measures each band of rows on its own core and combines the band results.
// Every result is an integer count, sum or extreme, so the order in which
// the bands finish changes nothing.
template <typename Result, typename Measure, typename Combine>
Result MeasureInBands(const CPixelRows& rows, std::int64_t bandBytes, Result total, Measure measure,
                      Combine combine) {
    std::mutex lock;
    const auto rowsPerBand = static_cast<int>(
        std::clamp<std::int64_t>(bandBytes / std::max<std::int64_t>(rows.width, 1), 1, INT32_MAX));
    ParallelRows(0, static_cast<int>(rows.height), rowsPerBand, [&](int first, int last) {
        const Result part =
            measure(CRowsView{rows.Row(first), rows.width, last - first, rows.stride});
        const std::lock_guard<std::mutex> guard(lock);
        total = combine(total, part);
    });
    return total;
}

CLevelSums SumLevels(const CPixelRows& rows, bool withSquares) {
    return MeasureInBands(
        rows, kStreamingBandBytes, CLevelSums{},
        [withSquares](const CRowsView& band) { return statkernels::SumLevels(band, withSquares); },
        [](CLevelSums a, CLevelSums b) {
            return CLevelSums{a.sum + b.sum, a.squares + b.squares};
        });
}

// The integer mean: the quotient taken in double precision and truncated.
int MeanOf(std::uint64_t sum, std::uint32_t area) {
    if (area == 0) return 0;
    return static_cast<int>(static_cast<double>(sum) / static_cast<double>(area));
}

// The deviation around the integer mean m from the sum and the sum of
// squares, exactly, as integers: sum (v - m)^2 = sum v^2 - 2 m sum v + N m^2.
// The total stays far below 2^53, so it is the very double a pixel-by-pixel
// sum would give.
double DeviationOf(const CLevelSums& sums, std::uint32_t area) {
    if (area == 0) return 0.0;
    const auto mean = static_cast<std::int64_t>(MeanOf(sums.sum, area));
    const std::int64_t n = area;
    const std::int64_t deviations = static_cast<std::int64_t>(sums.squares) -
                                    2 * mean * static_cast<std::int64_t>(sums.sum) +
                                    n * mean * mean;
    return std::sqrt(static_cast<double>(deviations) / static_cast<double>(area));
}

}  // namespace

int CImage::GetMin() {
    const CLockedPixelRows rows(*this, "GetMin");
    if (!rows) return 0;
    const std::uint8_t least = MeasureInBands(  // 255 when empty
        rows, kStreamingBandBytes, std::uint8_t{255}, statkernels::MinLevel,
        [](std::uint8_t a, std::uint8_t b) { return std::min(a, b); });
    return least;
}

int CImage::GetMax() {
    const CLockedPixelRows rows(*this, "GetMax");
    if (!rows) return 0;
    const std::uint8_t most =
        MeasureInBands(rows, kStreamingBandBytes, std::uint8_t{0}, statkernels::MaxLevel,
                       [](std::uint8_t a, std::uint8_t b) { return std::max(a, b); });
    return most;
}

std::uint64_t CImage::GetSum() {
    const CLockedPixelRows rows(*this, "GetSum");
    if (!rows) return 0;
    const std::uint64_t sum = SumLevels(rows, false).sum;
    return sum;
}

int CImage::GetMean() {
    const std::uint64_t sum = GetSum();
    const std::uint32_t area = GetArea();
    return MeanOf(sum, area);
}

double CImage::GetStdev() {
    const std::uint32_t area = GetArea();
    const CLockedPixelRows rows(*this, "GetStdev");
    if (!rows || area == 0) return 0.0;
    return DeviationOf(SumLevels(rows, true), area);
}

CLevelStatistics CImage::GetStatistics() {
    const std::uint32_t area = GetArea();
    const CLockedPixelRows rows(*this, "GetStatistics");
    if (!rows) return {};
    const CLevelSummary s =
        MeasureInBands(rows, kStreamingBandBytes, CLevelSummary{}, statkernels::SummarizeLevels,
                       [](CLevelSummary a, const CLevelSummary& b) {
                           a.Add(b);
                           return a;
                       });
    return {s.least,       s.most, s.sums.sum, MeanOf(s.sums.sum, area), DeviationOf(s.sums, area),
            s.sums.squares};
}

bool CImage::GenerateHistogram() {
    if (GetNumColors() != 256) {
        ShowMessage("Histogram : 256 colors only");
        return false;
    }
    const CLockedPixelRows rows(*this, "GenerateHistogram");
    if (!rows) return false;
    using CHistogram = std::array<std::uint32_t, 256>;
    histogram_ = MeasureInBands(
        rows, kCountingBandBytes, CHistogram{},
        [](const CRowsView& band) {
            CLevelCounts counts;
            for (std::int64_t y = 0; y < band.height; ++y)
                statkernels::CountLevelsRow(band.Row(y), band.width, counts);
            CHistogram merged;
            counts.Merge(merged.data());
            return merged;
        },
        [](CHistogram a, const CHistogram& b) {
            for (int level = 0; level < 256; ++level) a[level] += b[level];
            return a;
        });
    return true;
}

int CImage::GetHistogramValue(int level) const {
    if (level < 0 || level > 255) return 0;
    return static_cast<int>(histogram_[level]);
}

std::uint32_t CImage::GetHistogramMax() const {
    std::uint32_t most = 0;
    for (std::uint32_t count : histogram_) most = count > most ? count : most;
    return most;
}
