#pragma once
// Run-length coded BMP rows (RLE8 and RLE4), decoded at the file's depth.

#include <cstddef>
#include <cstdint>

#include "BmpLayout.h"

// Decodes `size` bytes of RLE8 or RLE4 data into bottom-up rows of
// layout.rowBytes each. Pixels that a run or a delta would put outside the
// picture are dropped. Data may end without an end-of-line or end-of-picture
// code: the pixels it does not reach stay 0. False when a delta or an
// absolute run is cut short by the end (damage).
bool DecodeRunLength(const std::uint8_t* data, std::size_t size, const CBmpLayout& layout,
                     std::uint8_t* rows);
