#pragma once
// 16-bit samples brought to 8-bit levels by a linear ramp: the level of a
// sample v is (2 x 255 x d + range) / (2 x range) in integers, with
// d = v - start clamped to 0 .. range (a window's levels, rounded half up).
// The vector version gives the very bytes of the plain loop.

#include <cstdint>

struct SSampleRamp {
    std::int32_t start = 0;  // -2^20 .. 2^20
    std::int32_t range = 1;  // 1 .. 2^20
};

void RampSamples16(const std::uint16_t* samples, std::uint8_t* levels, std::int64_t count,
                   SSampleRamp ramp);

namespace samplekernels {
void RampSamples16Plain(const std::uint16_t* samples, std::uint8_t* levels, std::int64_t count,
                        SSampleRamp ramp);
}  // namespace samplekernels
