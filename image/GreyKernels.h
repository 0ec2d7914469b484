#pragma once
// Row kernel of the conversion to grey: blue, green, red bytes in, one level
// out, (299 R + 587 G + 114 B + 500) / 1000 in integers (a grey colour keeps
// its level). BgrRow works on 32 pixels at a time in its vector version (see
// KernelChoice.h); `reference` is the plain loop it must match byte for byte.

#include <cstdint>

namespace greykernels {

constexpr std::uint8_t Luminance(int red, int green, int blue) {
    return static_cast<std::uint8_t>((299 * red + 587 * green + 114 * blue + 500) / 1000);
}

// Reads 3 * width bytes of `row`, writes width bytes of `out`.
void BgrRow(const std::uint8_t* row, std::int64_t width, std::uint8_t* out);

namespace reference {
void BgrRow(const std::uint8_t* row, std::int64_t width, std::uint8_t* out);
}  // namespace reference

}  // namespace greykernels
