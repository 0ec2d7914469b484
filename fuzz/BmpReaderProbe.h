#pragma once
// What the BMP reader promises for any bytes at all, checked the same way by
// the fuzz target and by the replay of fuzz/regressions/bmp in `make test`:
// a refused input is simply refused; an accepted one has every pixel row
// readable, is written back without complaint, and the written file reads
// again. (Reads outside the block are caught by the sanitizers both run
// under.)

#include <cstddef>
#include <cstdint>
#include <string>

#include "ByteStream.h"
#include "Image.h"
#include "ImageLock.h"

// Empty when the promise holds, otherwise what broke it.
inline std::string ProbeBmpReader(const std::uint8_t* data, std::size_t size) {
    CMemoryStream in(data, size);
    CImage image;
    if (!image.ReadFileBMP(in)) return {};
    {
        const CImageLock lock(image);
        if (const std::uint8_t* bits = image.GetBits(lock.Block())) {
            volatile std::uint32_t sum = 0;
            for (std::uint32_t i = 0; i < image.GetImageSize(); ++i) sum = sum + bits[i];
        }
    }
    CMemoryStream out;
    if (!image.SaveFileBMP(out)) return "an accepted picture could not be saved";
    CImage again;
    CMemoryStream back(out.Bytes());
    if (!again.ReadFileBMP(back)) return "a saved picture could not be read again";
    return {};
}
