#pragma once
// The 10000 x 10000 picture the display benchmarks draw from, built once:
// pseudo-random levels under the false-colour palette.

#include <cstddef>
#include <cstdint>

#include "Image.h"

inline constexpr int kLargeSide = 10000;

inline CImage& LargePicture() {
    static CImage picture;
    static const bool ready = [] {
        picture.CreateEmptyImage(kLargeSide, kLargeSide, 0);
        std::uint8_t* bits = picture.GetBits(picture.Lock());
        for (std::size_t i = 0; i < static_cast<std::size_t>(kLargeSide) * kLargeSide; ++i)
            bits[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
        return picture.PaletteRainbow();
    }();
    (void)ready;
    return picture;
}
