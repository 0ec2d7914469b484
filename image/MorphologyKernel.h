#pragma once
// The plain loops behind CImage::MorphoDilate and CImage::MorphoErode. They
// take validated arguments only and are the reference that any faster version
// must match byte for byte.

#include <cstddef>
#include <cstdint>

#include "Mask.h"

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

}  // namespace detail
