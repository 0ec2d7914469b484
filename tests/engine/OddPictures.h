#pragma once
// Pictures whose header departs from the engine's usual shape, for the
// refusal tests: fewer colours, no colour table, more rows than the block.

#include <utility>

#include "DibFields.h"
#include "Image.h"

// An engine block of width x height at `fill` whose 32-bit header field at
// `offset` then says `value`.
inline void MakeWithHeaderField(CImage& image, int width, int height, std::uint8_t fill, int offset,
                                std::uint32_t value) {
    HBLOCK block = CImage::CreateEmptyBlock(width, height, fill);
    dib::Write32(block->Data() + offset, value);
    image.SetHandle(std::move(block));
}

// 16 colours announced: the table is 64 bytes and the rows start right after.
inline void MakeSixteenColours(CImage& image) {
    MakeWithHeaderField(image, 5, 2, 3, dib::kClrUsed, 16);
}

// 24 bits per pixel: no colour table at all.
inline void MakeTrueColour(CImage& image) {
    HBLOCK block = CImage::CreateEmptyBlock(6, 2, 3);
    dib::Write16(block->Data() + dib::kBitCount, 24);
    dib::Write32(block->Data() + dib::kClrUsed, 0);
    image.SetHandle(std::move(block));
}
