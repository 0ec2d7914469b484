#pragma once
// Pixels handed in by a program, rows from the top, into a picture of the
// same size: 8-bit levels (one byte a pixel) or RGB colours into a 24-bit
// picture (three bytes a pixel, red first; the picture stores blue first).

#include <cstdint>
#include <span>

#include "Image.h"

// False, with nothing written, when `pixels` does not fit the picture.
bool CopyRowsFromTop(CImage& image, std::span<const std::uint8_t> pixels);
