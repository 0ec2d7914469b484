// Grey-level measurements of the whole picture (the region of interest plays
// no part): minimum, maximum, sum, mean, standard deviation and the 256-bin
// histogram. Each visits the width x height pixels row by row, skipping the
// row padding.
//
// The sum is kept in 64 bits, so large pictures no longer wrap; the mean stays
// the integer mean (the quotient truncated), and the standard deviation is
// taken around that integer mean, dividing by N.

#include <algorithm>
#include <cmath>

#include "Image.h"
#include "ImagePixelRows.h"

namespace {

struct CLevelSums {
    std::uint64_t sum = 0;
    std::uint64_t squares = 0;
};

// Sums the levels (and their squares when asked) of every pixel. The inner
// loops add into 32-bit counters over runs short enough never to overflow
// (65536 squares of at most 255^2), which lets the compiler use wide vectors.
CLevelSums SumLevels(const CPixelRows& rows, bool withSquares = false) {
    constexpr std::int64_t kRun = 65536;
    CLevelSums sums;
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x0 = 0; x0 < rows.width; x0 += kRun) {
            const std::int64_t end = std::min(rows.width, x0 + kRun);
            std::uint32_t sum = 0, squares = 0;
            if (withSquares) {
                for (std::int64_t x = x0; x < end; ++x) {
                    sum += p[x];
                    squares += static_cast<std::uint32_t>(p[x] * p[x]);
                }
            } else {
                for (std::int64_t x = x0; x < end; ++x) sum += p[x];
            }
            sums.sum += sum;
            sums.squares += squares;
        }
    }
    return sums;
}

// The integer mean: the quotient taken in double precision and truncated.
int MeanOf(std::uint64_t sum, std::uint32_t area) {
    if (area == 0) return 0;
    return static_cast<int>(static_cast<double>(sum) / static_cast<double>(area));
}

}  // namespace

int CImage::GetMin() {
    const CPixelRows rows = LockPixelRows(*this, "GetMin");
    if (!rows) return 0;
    std::uint8_t least = 255;  // an empty picture gives 255
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x = 0; x < rows.width; ++x) least = p[x] < least ? p[x] : least;
    }
    Unlock();
    return least;
}

int CImage::GetMax() {
    const CPixelRows rows = LockPixelRows(*this, "GetMax");
    if (!rows) return 0;
    std::uint8_t most = 0;
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x = 0; x < rows.width; ++x) most = p[x] > most ? p[x] : most;
    }
    Unlock();
    return most;
}

std::uint64_t CImage::GetSum() {
    const CPixelRows rows = LockPixelRows(*this, "GetSum");
    if (!rows) return 0;
    const std::uint64_t sum = SumLevels(rows).sum;
    Unlock();
    return sum;
}

int CImage::GetMean() {
    const std::uint64_t sum = GetSum();
    const std::uint32_t area = GetArea();
    return MeanOf(sum, area);
}

double CImage::GetStdev() {
    const std::uint32_t area = GetArea();
    const CPixelRows rows = LockPixelRows(*this, "GetStdev");
    if (!rows || area == 0) return 0.0;
    // One pass gives the sum and the sum of squares; the squared deviations
    // from the integer mean m follow exactly, as integers:
    // sum (v - m)^2 = sum v^2 - 2 m sum v + N m^2. The total stays far below
    // 2^53, so it is the very double a pixel-by-pixel sum would give.
    const CLevelSums sums = SumLevels(rows, true);
    Unlock();
    const auto mean = static_cast<std::int64_t>(MeanOf(sums.sum, area));
    const std::int64_t n = area;
    const std::int64_t deviations = static_cast<std::int64_t>(sums.squares) -
                                    2 * mean * static_cast<std::int64_t>(sums.sum) +
                                    n * mean * mean;
    return std::sqrt(static_cast<double>(deviations) / static_cast<double>(area));
}

bool CImage::GenerateHistogram() {
    if (GetNumColors() != 256) {
        ShowMessage("Histogram : 256 colors only");
        return false;
    }
    const CPixelRows rows = LockPixelRows(*this, "GenerateHistogram");
    if (!rows) return false;
    std::uint32_t counts[256] = {};
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x = 0; x < rows.width; ++x) ++counts[p[x]];
    }
    Unlock();
    for (int i = 0; i < 256; ++i) histogram_[i] = counts[i];
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
