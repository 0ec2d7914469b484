#include "SampleRamp.h"

#include <algorithm>

#include "KernelChoice.h"

#if ORVEX_VECTOR_KERNELS
#include <immintrin.h>
#endif

namespace samplekernels {

void RampSamples16Plain(const std::uint16_t* samples, std::uint8_t* levels, std::int64_t count,
                        SSampleRamp ramp) {
    const std::int64_t range = ramp.range;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t d = std::clamp<std::int64_t>(samples[i] - ramp.start, 0, range);
        levels[i] = static_cast<std::uint8_t>((2 * 255 * d + range) / (2 * range));
    }
}

}  // namespace samplekernels

namespace {

#if ORVEX_VECTOR_KERNELS

// Eight levels as 32-bit lanes: the quotient estimated in single precision
// (within one of the true one: the numerator is below 2^30, the quotient
// below 256), then set right by the exact remainder.
ORVEX_VECTOR_TARGET inline __m256i RampLanes(__m256i v, __m256i start, __m256i range,
                                             __m256i divisor, __m256 inverse) {
    const __m256i d = _mm256_min_epi32(
        _mm256_max_epi32(_mm256_sub_epi32(v, start), _mm256_setzero_si256()), range);
    const __m256i n = _mm256_add_epi32(_mm256_mullo_epi32(d, _mm256_set1_epi32(510)), range);
    __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), inverse));
    const __m256i r = _mm256_sub_epi32(n, _mm256_mullo_epi32(q, divisor));
    q = _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), r));  // r < 0: one less
    q = _mm256_sub_epi32(q, _mm256_cmpgt_epi32(r, _mm256_sub_epi32(divisor, _mm256_set1_epi32(1))));
    return q;
}

ORVEX_VECTOR_TARGET void RampSamples16Avx2(const std::uint16_t* samples, std::uint8_t* levels,
                                           std::int64_t count, SSampleRamp ramp) {
    const __m256i start = _mm256_set1_epi32(ramp.start);
    const __m256i range = _mm256_set1_epi32(ramp.range);
    const __m256i divisor = _mm256_set1_epi32(2 * ramp.range);
    const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(2 * ramp.range));
    std::int64_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(samples + i));
        const __m256i low = RampLanes(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(v)), start,
                                      range, divisor, inverse);
        const __m256i high = RampLanes(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(v, 1)), start,
                                       range, divisor, inverse);
        // Packing works within 128-bit halves: put the words back in order.
        const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, high), 0xD8);
        const __m128i bytes =
            _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(levels + i), bytes);
    }
    samplekernels::RampSamples16Plain(samples + i, levels + i, count - i, ramp);
}

#endif

}  // namespace

void RampSamples16(const std::uint16_t* samples, std::uint8_t* levels, std::int64_t count,
                   SSampleRamp ramp) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        RampSamples16Avx2(samples, levels, count, ramp);
        return;
    }
#endif
    samplekernels::RampSamples16Plain(samples, levels, count, ramp);
}
