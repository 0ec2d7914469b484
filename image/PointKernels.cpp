#include "PointKernels.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace pointkernels {

namespace reference {

void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]) {
    for (std::int64_t x = 0; x < count; ++x) p[x] = table[p[x]];
}

}  // namespace reference

namespace {

#if defined(__x86_64__) && defined(__GNUC__)

// 32 lookups at once: the table as 16 slices of 16 entries, each slice
// looked up by the low four bits with a byte shuffle and kept where the high
// four bits name that slice.
__attribute__((target("avx2"))) std::int64_t MapBlocksAvx2(std::uint8_t* p, std::int64_t count,
                                                           const std::uint8_t table[256]) {
    __m256i slices[16];
    for (int k = 0; k < 16; ++k)
        slices[k] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * k)));
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    std::int64_t x = 0;
    for (; x + 32 <= count; x += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + x));
        const __m256i low = _mm256_and_si256(v, nibble);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble);
        __m256i result = _mm256_setzero_si256();
        for (int k = 0; k < 16; ++k) {
            const __m256i inSlice = _mm256_cmpeq_epi8(high, _mm256_set1_epi8(static_cast<char>(k)));
            result = _mm256_blendv_epi8(result, _mm256_shuffle_epi8(slices[k], low), inSlice);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + x), result);
    }
    return x;
}

#endif

}  // namespace

void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx2")) {
        const std::int64_t done = MapBlocksAvx2(p, count, table);
        MapRowWithoutAvx2(p + done, count - done, table);
        return;
    }
#endif
    MapRowWithoutAvx2(p, count, table);
}

void MapRowWithoutAvx2(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]) {
    // Eight bytes read and written as one word: the lookups are independent
    // and no store can be mistaken for a change of the table.
    std::int64_t x = 0;
    for (; x + 8 <= count; x += 8) {
        std::uint8_t in[8], out[8];
        std::memcpy(in, p + x, 8);
        for (int i = 0; i < 8; ++i) out[i] = table[in[i]];
        std::memcpy(p + x, out, 8);
    }
    reference::MapRow(p + x, count - x, table);
}

}  // namespace pointkernels
