#pragma once
// Pictures whose header departs from the engine's usual shape, for the
// refusal tests: fewer colours, no colour table, more rows than the block.

#include <utility>

#include "Image.h"

// Offsets of the fields these tests change in the 40-byte information header.
namespace header {
constexpr int kHeight = 8, kBitCount = 14, kClrUsed = 32;
}

// Writes `bytes` bytes of `value` at `field`, least significant first.
inline void PutField(CMemBlock& block, int field, std::uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        block.Data()[field + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// An engine block of width x height at `fill` whose 32-bit header field at
// `offset` then says `value`.
inline void MakeWithHeaderField(CImage& image, int width, int height, std::uint8_t fill, int offset,
                                std::uint32_t value) {
    HBLOCK block = CImage::CreateEmptyBlock(width, height, fill);
    PutField(*block, offset, value);
    image.SetHandle(std::move(block));
}

// 16 colours announced: the table is 64 bytes and the rows start right after.
inline void MakeSixteenColours(CImage& image) {
    MakeWithHeaderField(image, 5, 2, 3, header::kClrUsed, 16);
}

// 24 bits per pixel: no colour table at all.
inline void MakeTrueColour(CImage& image) {
    HBLOCK block = CImage::CreateEmptyBlock(6, 2, 3);
    PutField(*block, header::kBitCount, 24, 2);
    PutField(*block, header::kClrUsed, 0);
    image.SetHandle(std::move(block));
}
