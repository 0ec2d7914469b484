#pragma once
// Undoing PNG's row filters. Each row of a PNG image starts with a filter
// type; the bytes after it are differences from the byte `bpp` to the left
// (bpp: bytes a pixel, at least 1), from the byte above, or from their
// average or Paeth's predictor of the three. The fast versions use 16-byte
// registers where the filter allows it: "up" and "sub" over whole rows, the
// average and Paeth's predictor a pixel at a time for 3 and 4 bytes a pixel.
// The straightforward loops in `reference` give the very same bytes and are
// what the tests compare against.

#include <cstddef>
#include <cstdint>

namespace pngfilter {

constexpr std::uint8_t kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4;

// Undoes filter `type` on `count` bytes: out[i] from in[i], out[i - bpp] and
// prior[i], the row above already undone (zeros above the first row). `out`
// may be `in`, never `prior`. False, with nothing written, for an unknown
// filter type.
bool Unfilter(std::uint8_t type, int bpp, const std::uint8_t* in, const std::uint8_t* prior,
              std::uint8_t* out, std::size_t count);

namespace reference {
bool Unfilter(std::uint8_t type, int bpp, const std::uint8_t* in, const std::uint8_t* prior,
              std::uint8_t* out, std::size_t count);
}  // namespace reference

}  // namespace pngfilter
