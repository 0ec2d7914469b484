#pragma once
// Helpers of the byte-for-byte tests of the neighbourhood operations.

#include <cstddef>
#include <cstdint>

#include "Image.h"
#include "Parallel.h"

// Sets the number of threads for one test and restores one per core after.
struct CWorkerCount {
    explicit CWorkerCount(int count) { SetWorkerCount(count); }
    ~CWorkerCount() { SetWorkerCount(0); }
};

// A new width x height picture whose every row byte, padding included, is
// level() in turn, so any write to the padding shows.
template <typename Level>
void FillBlock(CImage& image, int width, int height, Level level) {
    image.CreateEmptyImage(width, height, 0);
    std::uint8_t* bits = image.GetBits(image.Lock());
    const std::size_t bytes = static_cast<std::size_t>(CImage::GetWidthBytes(width)) * height;
    for (std::size_t i = 0; i < bytes; ++i) bits[i] = static_cast<std::uint8_t>(level());
}
