#include "GeometryKernels.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "KernelChoice.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if ORVEX_VECTOR_KERNELS
#include <immintrin.h>
#endif

namespace geometrykernels {

namespace {

// Copies the destination rectangle rows [r0, r1) x columns [c0, c1) byte by
// byte.
void TurnRectangle(const CQuarterTurn& turn, std::int64_t r0, std::int64_t r1, std::int64_t c0,
                   std::int64_t c1) {
    for (std::int64_t r = r0; r < r1; ++r) {
        std::uint8_t* out = turn.dst + r * turn.dstStride;
        const std::uint8_t* in = turn.origin + r * turn.rowStep;
        for (std::int64_t c = c0; c < c1; ++c) out[c] = in[c * turn.columnStep];
    }
}

}  // namespace

namespace reference {

void ReverseRow(std::uint8_t* p, std::int64_t count) {
    for (std::int64_t x = 0; x < count / 2; ++x) std::swap(p[x], p[count - 1 - x]);
}

void SwapRows(std::uint8_t* a, std::uint8_t* b, std::int64_t count) {
    for (std::int64_t x = 0; x < count; ++x) std::swap(a[x], b[x]);
}

void QuarterTurnRows(const CQuarterTurn& turn, std::int64_t firstRow, std::int64_t lastRow) {
    TurnRectangle(turn, firstRow, lastRow, 0, turn.newWidth);
}

void GatherRow(const std::uint8_t* in, const std::uint32_t* columns, std::int64_t count,
               std::uint8_t* out) {
    for (std::int64_t i = 0; i < count; ++i) out[i] = in[columns[i]];
}

}  // namespace reference

namespace {

#if defined(__SSE2__)

__m128i Load16(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
void Store16(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

__m128i Reverse16(__m128i v) {
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}

// Transposes 16 x 16 bytes: four rounds that interleave each register with
// the one eight places further.
void Transpose16(__m128i m[16]) {
    for (int round = 0; round < 4; ++round) {
        __m128i t[16];
        for (int i = 0; i < 8; ++i) {
            t[2 * i] = _mm_unpacklo_epi8(m[i], m[i + 8]);
            t[2 * i + 1] = _mm_unpackhi_epi8(m[i], m[i + 8]);
        }
        for (int i = 0; i < 16; ++i) m[i] = t[i];
    }
}

// The 16 x 16 block of destination rows [r0, r0+16), columns [c0, c0+16),
// for a turn whose row step is +-1: each destination column is 16 adjacent
// source bytes, so the block is 16 loads, a transpose and 16 stores.
void TurnBlock16(const CQuarterTurn& turn, std::int64_t r0, std::int64_t c0) {
    __m128i m[16];
    const bool forwards = turn.rowStep > 0;
    const std::int64_t lowest = forwards ? r0 : -(r0 + 15);
    for (int j = 0; j < 16; ++j) m[j] = Load16(turn.origin + (c0 + j) * turn.columnStep + lowest);
    Transpose16(m);
    for (int k = 0; k < 16; ++k) {
        const std::int64_t r = forwards ? r0 + k : r0 + 15 - k;
        Store16(turn.dst + r * turn.dstStride + c0, m[k]);
    }
}

#endif

}  // namespace

#if ORVEX_VECTOR_KERNELS

namespace {

ORVEX_VECTOR_TARGET __m256i Reverse32(__m256i v) {
    const __m256i reversed = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
                                              15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, reversed), _MM_SHUFFLE(1, 0, 3, 2));
}

// Swaps reversed 32-byte blocks from both ends while they do not overlap;
// returns how many bytes at each end are done.
ORVEX_VECTOR_TARGET std::int64_t ReverseEndsAvx2(std::uint8_t* p, std::int64_t count) {
    std::int64_t x = 0;
    for (; 2 * x + 64 <= count; x += 32) {
        std::uint8_t* right = p + count - 32 - x;
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + x));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(right));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + x), Reverse32(b));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(right), Reverse32(a));
    }
    return x;
}

}  // namespace

#endif

// The plain version: 16-byte blocks, which every x86-64 has.
static void ReverseRowPlain(std::uint8_t* p, std::int64_t count) {
    std::int64_t x = 0;
#if defined(__SSE2__)
    // Swaps 16-byte blocks from both ends while they do not overlap.
    for (; 2 * x + 32 <= count; x += 16) {
        std::uint8_t* right = p + count - 16 - x;
        const __m128i a = Load16(p + x), b = Load16(right);
        Store16(p + x, Reverse16(b));
        Store16(right, Reverse16(a));
    }
#endif
    for (; x < count / 2; ++x) std::swap(p[x], p[count - 1 - x]);
}

void ReverseRow(std::uint8_t* p, std::int64_t count) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        const std::int64_t done = ReverseEndsAvx2(p, count);
        ReverseRowPlain(p + done, count - 2 * done);
        return;
    }
#endif
    ReverseRowPlain(p, count);
}

void SwapRows(std::uint8_t* a, std::uint8_t* b, std::int64_t count) {
    std::int64_t x = 0;
#if defined(__SSE2__)
    for (; x + 16 <= count; x += 16) {
        const __m128i first = Load16(a + x), second = Load16(b + x);
        Store16(a + x, second);
        Store16(b + x, first);
    }
#endif
    reference::SwapRows(a + x, b + x, count - x);
}

void QuarterTurnRows(const CQuarterTurn& turn, std::int64_t firstRow, std::int64_t lastRow) {
    // Source rows are read across in square tiles so that they stay in the
    // cache; inside a tile, whole 16 x 16 blocks go through registers.
    constexpr std::int64_t kTile = 64;
#if defined(__SSE2__)
    const bool transposing = turn.rowStep == 1 || turn.rowStep == -1;
#endif
    for (std::int64_t r0 = firstRow; r0 < lastRow; r0 += kTile) {
        const std::int64_t r1 = std::min(lastRow, r0 + kTile);
        for (std::int64_t c0 = 0; c0 < turn.newWidth; c0 += kTile) {
            const std::int64_t c1 = std::min(turn.newWidth, c0 + kTile);
            std::int64_t rowsDone = r0, columnsDone = c0;
#if defined(__SSE2__)
            if (transposing) {
                rowsDone = r0 + (r1 - r0) / 16 * 16;
                columnsDone = c0 + (c1 - c0) / 16 * 16;
                for (std::int64_t r = r0; r < rowsDone; r += 16)
                    for (std::int64_t c = c0; c < columnsDone; c += 16) TurnBlock16(turn, r, c);
            }
#endif
            TurnRectangle(turn, r0, rowsDone, columnsDone, c1);
            TurnRectangle(turn, rowsDone, r1, c0, c1);
        }
    }
}

void GatherRow(const std::uint8_t* in, const std::uint32_t* columns, std::int64_t count,
               std::uint8_t* out) {
    // Eight independent lookups per step, written as one word.
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint8_t word[8];
        for (int k = 0; k < 8; ++k) word[k] = in[columns[i + k]];
        std::memcpy(out + i, word, 8);
    }
    reference::GatherRow(in, columns + i, count - i, out + i);
}

void EvenBytesRow(const std::uint8_t* in, std::int64_t count, std::uint8_t* out) {
    for (std::int64_t i = 0; i < count; ++i) out[i] = in[2 * i];
}

}  // namespace geometrykernels
