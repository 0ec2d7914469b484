#pragma once
// Little-endian field access inside a DIB or BMP header, without alignment
// assumptions. Callers check that the bytes exist before reading them.

#include <cstdint>
#include <cstring>

namespace dib {

inline std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t ReadS32(const std::uint8_t* p) { return static_cast<std::int32_t>(Read32(p)); }
inline void Write16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Write32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Offsets of the 40-byte information header.
constexpr int kSize = 0, kWidth = 4, kHeight = 8, kPlanes = 12, kBitCount = 14, kCompression = 16,
              kSizeImage = 20, kXPels = 24, kYPels = 28, kClrUsed = 32, kClrImportant = 36;
// Offsets of the 12-byte core header.
constexpr int kCoreWidth = 4, kCoreHeight = 6, kCorePlanes = 8, kCoreBitCount = 10;

}  // namespace dib
