#pragma once
// The loops behind CImage::MorphoDilate and CImage::MorphoErode: the plain
// ones, which take validated arguments only and are the reference, and the
// fast band loop, which must match them byte for byte.

#include <cstddef>
#include <cstdint>

#include "Mask.h"

class CRowSource;

namespace detail {

// A structuring element copied out of a mask: a cell belongs to it when its
// value is non-zero, whatever its sign.
struct ElementTable {
    int side = 0;
    bool cells[CMask::kCells * CMask::kCells] = {};  // row-major, side x side used
};
ElementTable MakeElementTable(const CMask& element);

enum class MorphoOperation { Dilate, Erode };

// Object pixels are exactly 255. Dilation whitens a pixel when any element
// cell lies on an object pixel; erosion blackens it when any lies on another
// value; otherwise it keeps its value. The band of half the element along the
// picture's edges is left as it is. Reads `source`, writes `target`; both
// hold `height` rows of `stride` bytes.
void MorphoReference(const std::uint8_t* source, std::uint8_t* target, std::size_t stride,
                     int width, int height, const ElementTable& element, MorphoOperation operation);

// The fast loop marks the hits of each source row once (0xFF or 0), then
// combines the marks under the element: first the element rows that cover the
// same columns, then those columns. A hit anywhere under the element gives
// the same result as the first hit the reference stops at.
struct MorphoPlan {
    int side = 0;
    int half = 0;
    bool dilate = true;
    bool fullSquare = false;  // every cell set
    int patternCount = 0;
    std::uint32_t patterns[CMask::kCells] = {};  // bit j: element column j
    int rowPattern[CMask::kCells] = {};          // the row's pattern, -1 for an empty row
};
MorphoPlan MakeMorphoPlan(const ElementTable& element, MorphoOperation operation);

// The bytes one band needs for a picture `width` pixels wide.
std::size_t MorphoScratchBytes(const MorphoPlan& plan, int width);

// Computes storage rows first .. last - 1, columns half .. width - half - 1,
// in place in `bits`, reading the original rows through `source`.
void MorphoBand(const MorphoPlan& plan, const CRowSource& source, std::uint8_t* scratch,
                std::uint8_t* bits, std::size_t stride, int width, int first, int last);

}  // namespace detail
