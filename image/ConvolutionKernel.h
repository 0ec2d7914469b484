#pragma once
// The plain convolution loop behind CImage::Filter. It takes validated
// arguments only (no picture, no mask object) and is the reference that any
// faster version must match byte for byte.

#include <cstddef>
#include <cstdint>

#include "Mask.h"

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

}  // namespace detail
