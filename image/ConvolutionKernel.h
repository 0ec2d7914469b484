#pragma once
// The convolution behind CImage::Filter: the plain loop, which takes
// validated arguments only (no picture, no mask object) and is the reference,
// and the fast band loop, which must match it byte for byte.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "Mask.h"

class CRowSource;

namespace detail {

// Storage columns left .. right - 1 and storage rows top .. bottom - 1.
struct PixelArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool IsEmpty() const { return left >= right || top >= bottom; }
};

// A mask's coefficients copied out once, with the divisor the engine uses:
// the sum of the absolute values, at least 1.
struct KernelTable {
    int side = 0;
    int divisor = 1;
    std::int8_t cells[CMask::kCells * CMask::kCells] = {};  // row-major, side x side used
};
KernelTable MakeKernelTable(const CMask& mask);

// Computes every pixel of `area` (which must lie at least half the kernel
// inside the picture) from `source` into `target`; both hold rows of `stride`
// bytes. Kernel row i meets storage row y - half + i, so row 0 lies on the
// line displayed below the centre. The sum is divided with truncation toward
// zero and clamped to 0 .. 255.
void FilterReference(const std::uint8_t* source, std::uint8_t* target, std::size_t stride,
                     PixelArea area, const KernelTable& kernel);

// The fast loop sums the same integers in another order: row by row through
// a kernel that is exactly one column of weights times one row of weights,
// in 16 bits when no partial sum can leave them, and divides through a float
// reciprocal that is exact for the divisors allowed here.
constexpr int kMaxFastDivisor = 8192;

struct FilterPlan {
    int side = 0;
    int half = 0;
    float inverse = 1;
    bool narrow = false;     // every partial sum fits in 16 bits
    bool separable = false;  // cell(i, j) = rowWeights[i] * columnWeights[j]
    int rowWeights[CMask::kCells] = {};
    int columnWeights[CMask::kCells] = {};
    int cells[CMask::kCells * CMask::kCells] = {};  // row-major, side x side used
};

// False when the fast loop cannot take the kernel (even side, divisor out of
// 1 .. kMaxFastDivisor); the reference then does the work.
bool MakeFilterPlan(const KernelTable& kernel, FilterPlan& plan);

// sum / divisor truncated toward zero, clamped to 0 .. 255, with
// inverse = 1 / divisor and |sum| < 2^24.
inline std::uint8_t QuotientByte(std::int32_t sum, float inverse) {
    const auto q =
        static_cast<std::int32_t>((static_cast<float>(std::max(sum, 0)) + 0.5f) * inverse);
    return static_cast<std::uint8_t>(std::min(q, 255));
}

// The bytes one band needs for its rows in flight, for an area `width`
// columns wide.
std::size_t FilterScratchBytes(const FilterPlan& plan, int width);

// Computes storage rows first .. last - 1, columns area.left .. area.right - 1,
// in place in `bits`, reading the original rows through `source`.
void FilterBand(const FilterPlan& plan, const CRowSource& source, std::uint8_t* scratch,
                std::uint8_t* bits, std::size_t stride, PixelArea area, int first, int last);

}  // namespace detail
