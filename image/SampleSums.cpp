#include "SampleSums.h"

#include <algorithm>

#include "KernelChoice.h"

#if ORVEX_VECTOR_KERNELS
#include <immintrin.h>
#endif

namespace samplekernels {

SSampleRowSums SumSamples16Plain(const std::uint16_t* samples, std::int64_t count, bool isSigned) {
    SSampleRowSums sums;
    if (count <= 0) return sums;
    const auto value = [isSigned](std::uint16_t s) -> std::int32_t {
        return isSigned ? static_cast<std::int16_t>(s) : s;
    };
    sums.least = sums.most = value(samples[0]);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int32_t v = value(samples[i]);
        sums.sum += v;
        sums.squares += static_cast<std::uint64_t>(static_cast<std::int64_t>(v) * v);
        sums.least = std::min(sums.least, v);
        sums.most = std::max(sums.most, v);
    }
    return sums;
}

}  // namespace samplekernels

namespace {

#if ORVEX_VECTOR_KERNELS

// Sixteen samples at a time as signed 16-bit lanes (unsigned ones moved down
// by 32768, which the sums take back at the end): pairs of products summed
// into 32-bit lanes by one instruction, their squares widened to 64 bits.
// A square of a lane is at most 2^30, a pair's sum at most 2^31, which fits
// an unsigned 32-bit lane.
ORVEX_VECTOR_TARGET SSampleRowSums SumSamples16Avx2(const std::uint16_t* samples,
                                                    std::int64_t count, bool isSigned) {
    const std::int64_t vectors = count / 16;
    const std::int32_t offset = isSigned ? 0 : 32768;
    const __m256i flip = _mm256_set1_epi16(static_cast<short>(isSigned ? 0 : 0x8000));
    const __m256i ones = _mm256_set1_epi16(1);
    const __m256i zero = _mm256_setzero_si256();
    __m256i least = _mm256_set1_epi16(32767), most = _mm256_set1_epi16(-32768);
    __m256i squares = zero;  // four 64-bit lanes
    std::int64_t sum = 0;    // of the moved samples
    // Blocks of 8192 vectors keep each 32-bit lane of sums below 2^30.
    constexpr std::int64_t kBlock = 8192;
    for (std::int64_t start = 0; start < vectors; start += kBlock) {
        const std::int64_t end = std::min(vectors, start + kBlock);
        __m256i sums = zero;
        for (std::int64_t i = start; i < end; ++i) {
            const __m256i v = _mm256_xor_si256(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(samples + 16 * i)), flip);
            least = _mm256_min_epi16(least, v);
            most = _mm256_max_epi16(most, v);
            sums = _mm256_add_epi32(sums, _mm256_madd_epi16(v, ones));
            const __m256i pairs = _mm256_madd_epi16(v, v);
            squares = _mm256_add_epi64(squares, _mm256_unpacklo_epi32(pairs, zero));
            squares = _mm256_add_epi64(squares, _mm256_unpackhi_epi32(pairs, zero));
        }
        alignas(32) std::int32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), sums);
        for (const std::int32_t lane : lanes) sum += lane;
    }
    alignas(32) std::uint64_t squareLanes[4];
    alignas(32) std::int16_t leastLanes[16], mostLanes[16];
    _mm256_store_si256(reinterpret_cast<__m256i*>(squareLanes), squares);
    _mm256_store_si256(reinterpret_cast<__m256i*>(leastLanes), least);
    _mm256_store_si256(reinterpret_cast<__m256i*>(mostLanes), most);
    std::uint64_t movedSquares = 0;
    for (const std::uint64_t lane : squareLanes) movedSquares += lane;
    const std::int64_t done = 16 * vectors;
    // Back from the moved samples m = v - offset: sum v = sum m + n x offset,
    // sum v^2 = sum m^2 + 2 x offset x sum m + n x offset^2.
    SSampleRowSums sums;
    sums.sum = sum + done * offset;
    sums.squares = movedSquares + static_cast<std::uint64_t>(2 * offset * sum) +
                   static_cast<std::uint64_t>(done) * static_cast<std::uint64_t>(offset) *
                       static_cast<std::uint64_t>(offset);
    sums.least = *std::min_element(leastLanes, leastLanes + 16) + offset;
    sums.most = *std::max_element(mostLanes, mostLanes + 16) + offset;
    if (done == count) return sums;
    const SSampleRowSums rest =
        samplekernels::SumSamples16Plain(samples + done, count - done, isSigned);
    if (done == 0) return rest;
    sums.sum += rest.sum;
    sums.squares += rest.squares;
    sums.least = std::min(sums.least, rest.least);
    sums.most = std::max(sums.most, rest.most);
    return sums;
}

#endif

}  // namespace

SSampleRowSums SumSamples16(const std::uint16_t* samples, std::int64_t count, bool isSigned) {
    if (count <= 0) return {};
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) return SumSamples16Avx2(samples, count, isSigned);
#endif
    return samplekernels::SumSamples16Plain(samples, count, isSigned);
}
