#include "PointKernels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "KernelChoice.h"

#if ORVEX_VECTOR_KERNELS
#include <immintrin.h>
#endif

namespace pointkernels {

namespace reference {

void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]) {
    for (std::int64_t x = 0; x < count; ++x) p[x] = table[p[x]];
}

}  // namespace reference

namespace {

// Eight bytes read and written as one word: the lookups are independent
// and no store can be mistaken for a change of the table.
void MapRowPlain(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]) {
    std::int64_t x = 0;
    for (; x + 8 <= count; x += 8) {
        std::uint8_t in[8], out[8];
        std::memcpy(in, p + x, 8);
        for (int i = 0; i < 8; ++i) out[i] = table[in[i]];
        std::memcpy(p + x, out, 8);
    }
    reference::MapRow(p + x, count - x, table);
}

#if ORVEX_VECTOR_KERNELS

// 32 lookups at once. A byte shuffle looks up 16 entries by the low four
// bits of each index and gives 0 where the index is negative. Levels below
// 128 use the indexes v, v - 16, v - 32, ... (subtraction saturating at
// -128, so an index once negative stays negative) against the slices of 16
// entries k = 0 .. 7: slice k is picked while 16 k <= v. Each slice is stored
// XOR-ed with the slice before it, so the XOR of what was picked is exactly
// the entry of v's own slice. Levels from 128, taken as v XOR 128, do the
// same with the slices 8 .. 15, and give 0 in the other half.
ORVEX_VECTOR_TARGET std::int64_t MapBlocksAvx2(std::uint8_t* p, std::int64_t count,
                                               const std::uint8_t table[256]) {
    __m256i steps[16];
    for (int k = 0; k < 16; ++k) {
        const __m128i slice = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * k));
        const __m128i previous =
            k % 8 == 0 ? _mm_setzero_si128()
                       : _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * (k - 1)));
        steps[k] = _mm256_broadcastsi128_si256(_mm_xor_si128(slice, previous));
    }
    const __m256i sixteen = _mm256_set1_epi8(16);
    const __m256i topBit = _mm256_set1_epi8(static_cast<char>(0x80));
    std::int64_t x = 0;
    for (; x + 32 <= count; x += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + x));
        __m256i low = v, high = _mm256_xor_si256(v, topBit);
        __m256i result = _mm256_setzero_si256();
        for (int k = 0; k < 8; ++k) {
            result = _mm256_xor_si256(result, _mm256_shuffle_epi8(steps[k], low));
            result = _mm256_xor_si256(result, _mm256_shuffle_epi8(steps[8 + k], high));
            low = _mm256_subs_epi8(low, sixteen);
            high = _mm256_subs_epi8(high, sixteen);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + x), result);
    }
    return x;
}

// The negative: 255 - v is v with every bit turned over, 128 bytes a turn
// from a 32-byte boundary.
ORVEX_VECTOR_TARGET std::int64_t InvertBlocksAvx2(std::uint8_t* p, std::int64_t count) {
    const __m256i ones = _mm256_set1_epi8(static_cast<char>(0xFF));
    std::int64_t x = 0;
    for (; x + 128 <= count; x += 128) {
        auto* at = reinterpret_cast<__m256i*>(p + x);
        for (int k = 0; k < 4; ++k)
            _mm256_store_si256(at + k, _mm256_xor_si256(_mm256_load_si256(at + k), ones));
    }
    for (; x + 32 <= count; x += 32) {
        auto* at = reinterpret_cast<__m256i*>(p + x);
        _mm256_store_si256(at, _mm256_xor_si256(_mm256_load_si256(at), ones));
    }
    return x;
}

#endif

}  // namespace

void InvertRow(std::uint8_t* p, std::int64_t count) {
    const auto invert = [p](std::int64_t from, std::int64_t to) {
        for (std::int64_t x = from; x < to; ++x) p[x] = static_cast<std::uint8_t>(255 - p[x]);
    };
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        // Up to the next 32-byte boundary first: a row need not start on
        // one, and blocks astride two cache lines made the pass a fifth
        // slower.
        const std::int64_t head =
            std::min<std::int64_t>(count, -reinterpret_cast<std::uintptr_t>(p) & 31);
        invert(0, head);
        const std::int64_t done = head + InvertBlocksAvx2(p + head, count - head);
        invert(done, count);
        return;
    }
#endif
    invert(0, count);
}

void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        const std::int64_t done = MapBlocksAvx2(p, count, table);
        MapRowPlain(p + done, count - done, table);
        return;
    }
#endif
    MapRowPlain(p, count, table);
}

}  // namespace pointkernels
