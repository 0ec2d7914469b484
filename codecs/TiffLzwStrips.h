#pragma once
// The LZW strips of a TIFF page of whole-byte samples, decoded on all cores
// by our own decoder instead of one strip after another by the library. A
// strip it refuses (damaged, old style, cut short) stops it; the caller
// then reads the page through the library, which says what is wrong.

#include <cstdint>
#include <functional>
#include <vector>

#include "CodecInput.h"

struct STiffStrip {
    std::uint64_t offset = 0, bytes = 0;
};

struct STiffLzwPage {
    std::vector<STiffStrip> strips;
    int height = 0;
    std::uint32_t rowsPerStrip = 1;
    std::size_t scanline = 0;
    // Horizontal prediction: the distance in bytes from a sample to the
    // one it was told from (the samples a pixel); 0 without prediction.
    std::size_t predictedFrom = 0;
};

// Decodes every row of `page` into rowAt(y) (scanline bytes each, top row
// first) and calls use(y, row) on it from the worker that decoded it.
// False when a strip is refused or its bytes cannot be read; rows may then
// have been written.
bool DecodeTiffLzwStrips(CCodecInput& input, const STiffLzwPage& page,
                         const std::function<std::uint8_t*(int)>& rowAt,
                         const std::function<void(int, std::uint8_t*)>& use);
