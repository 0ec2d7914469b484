#include "SampleRamp.h"

#include <algorithm>
#include <optional>
#include <vector>

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

// The same levels as a multiply-add in single precision, truncated, with
// the packing's saturation for the ends: four times fewer operations than
// the exact lanes above, and exact only for some ramps. It is used for a
// ramp once every sample the ramp can tell apart has been run through it
// and given the exact level; the rest follow, since the multiply-add
// rises with the sample.
struct SFloatRamp {
    float scale = 0;
    float offset = 0;
};

// Eight samples read straight into 32-bit lanes.
ORVEX_VECTOR_TARGET inline __m256i FloatLanes(const std::uint16_t* samples, __m256 scale,
                                              __m256 offset) {
    const __m256i v =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples)));
    return _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(v), scale), offset));
}

// Runs on whole blocks of 32 samples; returns how many it did.
ORVEX_VECTOR_TARGET std::int64_t RampFloatAvx2(const std::uint16_t* samples, std::uint8_t* levels,
                                               std::int64_t count, SFloatRamp ramp) {
    const __m256 scale = _mm256_set1_ps(ramp.scale);
    const __m256 offset = _mm256_set1_ps(ramp.offset);
    // The two packings work within 128-bit halves and leave groups of four
    // levels in the order 0 2 4 6 1 3 5 7 (in groups of four samples).
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    std::int64_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const std::uint16_t* at = samples + i;
        const __m256i first =
            _mm256_packs_epi32(FloatLanes(at, scale, offset), FloatLanes(at + 8, scale, offset));
        const __m256i second = _mm256_packs_epi32(FloatLanes(at + 16, scale, offset),
                                                  FloatLanes(at + 24, scale, offset));
        const __m256i bytes =
            _mm256_permutevar8x32_epi32(_mm256_packus_epi16(first, second), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(levels + i), bytes);
    }
    return i;
}

// Every sample from the ramp's start to its end (those outside it take the
// level of the nearer end), padded to whole blocks, through both loops.
std::optional<SFloatRamp> ProveFloatRamp(SSampleRamp ramp) {
    const std::int64_t first = std::max<std::int64_t>(ramp.start, 0);
    const std::int64_t last = std::min<std::int64_t>(std::int64_t{ramp.start} + ramp.range, 65535);
    if (first > last) return std::nullopt;
    std::vector<std::uint16_t> probe(static_cast<std::size_t>((last - first + 32) / 32 * 32),
                                     static_cast<std::uint16_t>(last));
    for (std::int64_t v = first; v <= last; ++v)
        probe[static_cast<std::size_t>(v - first)] = static_cast<std::uint16_t>(v);
    const auto count = static_cast<std::int64_t>(probe.size());
    std::vector<std::uint8_t> exact(probe.size()), fast(probe.size());
    samplekernels::RampSamples16Plain(probe.data(), exact.data(), count, ramp);
    // level = floor(255 d / range + 1/2): a quarter step of 1 / (2 range)
    // past the half keeps exact halves from falling short.
    const double scale = 255.0 / ramp.range;
    for (const double past : {0.25, 0.125, 0.375}) {
        const SFloatRamp candidate{
            static_cast<float>(scale),
            static_cast<float>(0.5 + past / ramp.range - ramp.start * scale)};
        if (RampFloatAvx2(probe.data(), fast.data(), count, candidate) == count && fast == exact)
            return candidate;
    }
    return std::nullopt;
}

// The proof for the last ramp this thread was given: a picture's rows all
// share one.
const std::optional<SFloatRamp>& FloatRampFor(SSampleRamp ramp) {
    thread_local SSampleRamp proved{0, 0};
    thread_local std::optional<SFloatRamp> result;
    if (proved.start != ramp.start || proved.range != ramp.range) {
        result = ProveFloatRamp(ramp);
        proved = ramp;
    }
    return result;
}

ORVEX_VECTOR_TARGET void RampSamples16Avx2(const std::uint16_t* samples, std::uint8_t* levels,
                                           std::int64_t count, SSampleRamp ramp) {
    const __m256i start = _mm256_set1_epi32(ramp.start);
    const __m256i range = _mm256_set1_epi32(ramp.range);
    const __m256i divisor = _mm256_set1_epi32(2 * ramp.range);
    const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(2 * ramp.range));
    std::int64_t i = 0;
    if (const std::optional<SFloatRamp>& viaFloat = FloatRampFor(ramp))
        i = RampFloatAvx2(samples, levels, count, *viaFloat);
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
