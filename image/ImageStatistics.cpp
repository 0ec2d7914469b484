// Grey-level measurements of the whole picture (the region of interest plays
// no part): minimum, maximum, sum, mean, standard deviation and the 256-bin
// histogram. Each visits the width x height pixels row by row, skipping the
// row padding.
//
// The sum is kept in 64 bits, so large pictures no longer wrap; the mean stays
// the integer mean (the quotient truncated), and the standard deviation is
// taken around that integer mean, dividing by N.

#include <cmath>

#include "Image.h"
#include "ImagePixelRows.h"

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
    std::uint64_t sum = 0;
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x = 0; x < rows.width; ++x) sum += p[x];
    }
    Unlock();
    return sum;
}

int CImage::GetMean() {
    const std::uint64_t sum = GetSum();
    const std::uint32_t area = GetArea();
    if (area == 0) return 0;
    return static_cast<int>(static_cast<double>(sum) / static_cast<double>(area));
}

double CImage::GetStdev() {
    const std::uint32_t area = GetArea();
    const CPixelRows rows = LockPixelRows(*this, "GetStdev");
    if (!rows || area == 0) return 0.0;
    const int mean = GetMean();
    // Every square is an integer of at most 255^2 and the total stays far
    // below 2^53, so summing in integers gives exactly the double-precision
    // sum, whatever the order.
    std::uint64_t squares = 0;
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x = 0; x < rows.width; ++x) {
            const int d = p[x] - mean;
            squares += static_cast<std::uint32_t>(d * d);
        }
    }
    Unlock();
    return std::sqrt(static_cast<double>(squares) / static_cast<double>(area));
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
