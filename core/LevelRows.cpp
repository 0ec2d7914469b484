#include "LevelRows.h"

#include <cstring>

#include "ImageLock.h"

bool CopyRowsFromTop(CImage& image, std::span<const std::uint8_t> pixels) {
    const CStoredRows rows = image.GetStoredRows();
    if (rows.bits == nullptr || (rows.bitCount != 8 && rows.bitCount != 24)) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(rows.width) * (rows.bitCount / 8);
    if (pixels.size() != rowBytes * static_cast<std::size_t>(rows.height)) return false;
    const CImageLock lock(image);
    if (!lock) return false;
    std::uint8_t* bits = lock.Block() + image.GetBitsOffset();
    for (int y = 0; y < rows.height; ++y) {
        // Storage row 0 is the bottom line.
        std::uint8_t* out = bits + static_cast<std::uint64_t>(rows.height - 1 - y) * rows.stride;
        const std::uint8_t* in = pixels.data() + static_cast<std::size_t>(y) * rowBytes;
        if (rows.bitCount == 8) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            out[x] = in[x + 2];
            out[x + 1] = in[x + 1];
            out[x + 2] = in[x];
        }
    }
    return true;
}
