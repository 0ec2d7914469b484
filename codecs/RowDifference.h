#pragma once
// Each byte less the byte `step` places before it in the row, the first
// `step` bytes as they are: TIFF's horizontal predictor and PNG's "sub"
// filter. A plain loop, which the compiler turns into wide subtractions.

#include <cstddef>
#include <cstdint>

inline void DifferenceFromLeft(const std::uint8_t* row, std::size_t bytes, std::size_t step,
                               std::uint8_t* out) {
    for (std::size_t i = 0; i < step && i < bytes; ++i) out[i] = row[i];
    for (std::size_t i = step; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] - row[i - step]);
}
