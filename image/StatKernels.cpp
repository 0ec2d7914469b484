#include "StatKernels.h"

#include <algorithm>
#include <cstring>

#include "KernelChoice.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if ORVEX_VECTOR_KERNELS
#include <immintrin.h>
#endif

void CLevelSummary::Add(const CLevelSummary& other) {
    least = std::min(least, other.least);
    most = std::max(most, other.most);
    sums.sum += other.sums.sum;
    sums.squares += other.sums.squares;
}

void CLevelCounts::Flush() {
    for (int level = 0; level < 256; ++level) {
        totals[level] += pending[0][level] + pending[1][level];
        pending[0][level] = pending[1][level] = 0;
    }
    pendingBytes = 0;
}

void CLevelCounts::Merge(std::uint32_t counts[256]) const {
    for (int level = 0; level < 256; ++level)
        counts[level] = totals[level] + pending[0][level] + pending[1][level];
}

namespace statkernels {

namespace reference {

CLevelSums SumLevels(const CRowsView& rows, bool withSquares) {
    CLevelSums sums;
    for (std::int64_t y = 0; y < rows.height; ++y) {
        const std::uint8_t* p = rows.Row(y);
        for (std::int64_t x = 0; x < rows.width; ++x) {
            sums.sum += p[x];
            if (withSquares) sums.squares += static_cast<std::uint64_t>(p[x]) * p[x];
        }
    }
    return sums;
}

std::uint8_t MinLevel(const CRowsView& rows) {
    std::uint8_t least = 255;
    for (std::int64_t y = 0; y < rows.height; ++y)
        for (std::int64_t x = 0; x < rows.width; ++x) least = std::min(least, rows.Row(y)[x]);
    return least;
}

std::uint8_t MaxLevel(const CRowsView& rows) {
    std::uint8_t most = 0;
    for (std::int64_t y = 0; y < rows.height; ++y)
        for (std::int64_t x = 0; x < rows.width; ++x) most = std::max(most, rows.Row(y)[x]);
    return most;
}

CLevelSummary SummarizeLevels(const CRowsView& rows) {
    CLevelSummary s;
    for (std::int64_t y = 0; y < rows.height; ++y) {
        for (std::int64_t x = 0; x < rows.width; ++x) {
            const std::uint8_t v = rows.Row(y)[x];
            s.least = std::min(s.least, v);
            s.most = std::max(s.most, v);
            s.sums.sum += v;
            s.sums.squares += static_cast<std::uint64_t>(v) * v;
        }
    }
    return s;
}

void CountLevelsRow(const std::uint8_t* p, std::int64_t count, std::uint32_t counts[256]) {
    for (std::int64_t x = 0; x < count; ++x) ++counts[p[x]];
}

}  // namespace reference

#if defined(__SSE2__)

namespace {

// Calls visit.template Rows<n>(rowPointers) with n = 4 rows taken one from
// each quarter of the picture, then n = 1 for the rows left over.
template <typename Visitor>
void VisitInBands(const CRowsView& rows, Visitor& visit) {
    const std::int64_t quarter = rows.height / 4;
    for (std::int64_t i = 0; i < quarter; ++i) {
        const std::uint8_t* band[4] = {rows.Row(i), rows.Row(quarter + i),
                                       rows.Row(2 * quarter + i), rows.Row(3 * quarter + i)};
        visit.template Rows<4>(band);
    }
    for (std::int64_t y = 4 * quarter; y < rows.height; ++y) {
        const std::uint8_t* single[1] = {rows.Row(y)};
        visit.template Rows<1>(single);
    }
}

__m128i Load16(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

std::uint64_t AddLanes64(__m128i v) {
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(v)) +
           static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
}

// Sums by the sum of absolute differences from zero, which adds eight bytes
// into each 64-bit half and never overflows. Squares: bytes widened to 16
// bits and multiplied pairwise into 32-bit lanes; each lane gains at most
// 4 x 4 x 255^2 per step of four rows, so it is emptied into 64 bits every
// 2048 steps. With the extremes, the least and greatest bytes of each lane
// ride along in the same loop, so every byte is loaded once.
template <bool kWithSquares, bool kWithExtremes>
struct CSumVisitor {
    std::int64_t width = 0;
    CLevelSummary tail;
    __m128i sum = _mm_setzero_si128();
    __m128i squares = _mm_setzero_si128();
    __m128i least = _mm_set1_epi8(-1);
    __m128i most = _mm_setzero_si128();

    template <int kRows>
    void Rows(const std::uint8_t* const* row) {
        constexpr std::int64_t kStepsPerFlush = 2048;
        const __m128i zero = _mm_setzero_si128();
        const std::int64_t blocks = width / 16;
        for (std::int64_t b0 = 0; b0 < blocks; b0 += kStepsPerFlush) {
            const std::int64_t b1 = std::min(blocks, b0 + kStepsPerFlush);
            __m128i lanes = zero;
            for (std::int64_t b = b0; b < b1; ++b) {
                for (int k = 0; k < kRows; ++k) {
                    const __m128i v = Load16(row[k] + 16 * b);
                    sum = _mm_add_epi64(sum, _mm_sad_epu8(v, zero));
                    if constexpr (kWithSquares) {
                        const __m128i lo = _mm_unpacklo_epi8(v, zero);
                        const __m128i hi = _mm_unpackhi_epi8(v, zero);
                        lanes = _mm_add_epi32(
                            lanes, _mm_add_epi32(_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi)));
                    }
                    if constexpr (kWithExtremes) {
                        least = _mm_min_epu8(least, v);
                        most = _mm_max_epu8(most, v);
                    }
                }
            }
            if constexpr (kWithSquares) {
                squares = _mm_add_epi64(squares, _mm_unpacklo_epi32(lanes, zero));
                squares = _mm_add_epi64(squares, _mm_unpackhi_epi32(lanes, zero));
            }
        }
        for (int k = 0; k < kRows; ++k)
            tail.Add(reference::SummarizeLevels({row[k] + 16 * blocks, width - 16 * blocks, 1, 0}));
    }

    CLevelSummary Result() const {
        CLevelSummary s = tail;
        s.sums.sum += AddLanes64(sum);
        if constexpr (kWithSquares) s.sums.squares += AddLanes64(squares);
        if constexpr (kWithExtremes) {
            std::uint8_t low[16], high[16];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(low), least);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(high), most);
            s.least = std::min(s.least, *std::min_element(low, low + 16));
            s.most = std::max(s.most, *std::max_element(high, high + 16));
        }
        return s;
    }
};

// The least (or greatest) byte, sixteen lanes at a time.
template <bool kLeast>
struct CExtremeVisitor {
    std::int64_t width = 0;
    __m128i lanes = kLeast ? _mm_set1_epi8(-1) : _mm_setzero_si128();
    std::uint8_t tail = kLeast ? 255 : 0;

    static __m128i Pick(__m128i a, __m128i b) {
        return kLeast ? _mm_min_epu8(a, b) : _mm_max_epu8(a, b);
    }
    static std::uint8_t Pick(std::uint8_t a, std::uint8_t b) {
        return kLeast ? std::min(a, b) : std::max(a, b);
    }

    template <int kRows>
    void Rows(const std::uint8_t* const* row) {
        const std::int64_t blocks = width / 16;
        for (std::int64_t b = 0; b < blocks; ++b)
            for (int k = 0; k < kRows; ++k) lanes = Pick(lanes, Load16(row[k] + 16 * b));
        for (int k = 0; k < kRows; ++k)
            for (std::int64_t x = 16 * blocks; x < width; ++x) tail = Pick(tail, row[k][x]);
    }

    std::uint8_t Result() const {
        std::uint8_t bytes[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), lanes);
        std::uint8_t result = tail;
        for (std::uint8_t b : bytes) result = Pick(result, b);
        return result;
    }
};

}  // namespace

#if ORVEX_VECTOR_KERNELS

// The sums (squares, extremes) with 32-byte registers, for machines that
// have them: the same four bands and the same lanes as above, twice as wide.
template <bool kWithSquares, bool kWithExtremes>
ORVEX_VECTOR_TARGET CLevelSummary SummarizeAvx2(const CRowsView& rows) {
    constexpr std::int64_t kStepsPerFlush = 2048;
    const __m256i zero = _mm256_setzero_si256();
    const std::int64_t quarter = rows.height / 4, blocks = rows.width / 32;
    __m256i sum = zero, squares = zero, least = _mm256_set1_epi8(-1), most = zero;
    CLevelSummary tail;
    for (std::int64_t i = 0; i < rows.height - 3 * quarter; ++i) {
        const bool four = i < quarter;
        const std::uint8_t* first = rows.Row(four ? i : 3 * quarter + i);
        const std::uint8_t* row[4] = {first, four ? rows.Row(quarter + i) : first,
                                      four ? rows.Row(2 * quarter + i) : first,
                                      four ? rows.Row(3 * quarter + i) : first};
        const int count = four ? 4 : 1;
        for (std::int64_t b0 = 0; b0 < blocks; b0 += kStepsPerFlush) {
            const std::int64_t b1 = std::min(blocks, b0 + kStepsPerFlush);
            [[maybe_unused]] __m256i lanes = zero;
            for (std::int64_t b = b0; b < b1; ++b) {
                for (int k = 0; k < count; ++k) {
                    const __m256i v =
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row[k] + 32 * b));
                    sum = _mm256_add_epi64(sum, _mm256_sad_epu8(v, zero));
                    if constexpr (kWithSquares) {
                        const __m256i lo = _mm256_unpacklo_epi8(v, zero);
                        const __m256i hi = _mm256_unpackhi_epi8(v, zero);
                        lanes = _mm256_add_epi32(
                            lanes,
                            _mm256_add_epi32(_mm256_madd_epi16(lo, lo), _mm256_madd_epi16(hi, hi)));
                    }
                    if constexpr (kWithExtremes) {
                        least = _mm256_min_epu8(least, v);
                        most = _mm256_max_epu8(most, v);
                    }
                }
            }
            if constexpr (kWithSquares) {
                squares = _mm256_add_epi64(squares, _mm256_unpacklo_epi32(lanes, zero));
                squares = _mm256_add_epi64(squares, _mm256_unpackhi_epi32(lanes, zero));
            }
        }
        for (int k = 0; k < count; ++k)
            tail.Add(
                reference::SummarizeLevels({row[k] + 32 * blocks, rows.width - 32 * blocks, 1, 0}));
    }
    std::uint64_t sums[4], squareSums[4];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums), sum);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(squareSums), squares);
    CLevelSummary s = tail;
    s.sums.sum += sums[0] + sums[1] + sums[2] + sums[3];
    if constexpr (kWithSquares)
        s.sums.squares += squareSums[0] + squareSums[1] + squareSums[2] + squareSums[3];
    if constexpr (kWithExtremes) {
        std::uint8_t low[32], high[32];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(low), least);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(high), most);
        s.least = std::min(s.least, *std::min_element(low, low + 32));
        s.most = std::max(s.most, *std::max_element(high, high + 32));
    }
    return s;
}

#endif

// The plain version: 16-byte registers, which every x86-64 has.
template <bool kWithSquares, bool kWithExtremes>
static CLevelSummary SummarizePlain(const CRowsView& rows) {
    CSumVisitor<kWithSquares, kWithExtremes> visit;
    visit.width = rows.width;
    VisitInBands(rows, visit);
    return visit.Result();
}

CLevelSums SumLevels(const CRowsView& rows, bool withSquares) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels())
        return withSquares ? SummarizeAvx2<true, false>(rows).sums
                           : SummarizeAvx2<false, false>(rows).sums;
#endif
    return withSquares ? SummarizePlain<true, false>(rows).sums
                       : SummarizePlain<false, false>(rows).sums;
}

CLevelSummary SummarizeLevels(const CRowsView& rows) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) return SummarizeAvx2<true, true>(rows);
#endif
    return SummarizePlain<true, true>(rows);
}

std::uint8_t MinLevel(const CRowsView& rows) {
    CExtremeVisitor<true> visit;
    visit.width = rows.width;
    VisitInBands(rows, visit);
    return visit.Result();
}

std::uint8_t MaxLevel(const CRowsView& rows) {
    CExtremeVisitor<false> visit;
    visit.width = rows.width;
    VisitInBands(rows, visit);
    return visit.Result();
}

#else

CLevelSums SumLevels(const CRowsView& rows, bool withSquares) {
    return reference::SumLevels(rows, withSquares);
}
std::uint8_t MinLevel(const CRowsView& rows) { return reference::MinLevel(rows); }
std::uint8_t MaxLevel(const CRowsView& rows) { return reference::MaxLevel(rows); }
CLevelSummary SummarizeLevels(const CRowsView& rows) { return reference::SummarizeLevels(rows); }

#endif

namespace {

// Counts `count` bytes into the two tables, even bytes into one and odd
// bytes into the other. The bytes are loaded one by one: each load is also
// the table's index, which is cheaper than shifting them out of a wide word.
void CountIntoTables(const std::uint8_t* p, std::int64_t count, std::uint16_t (&t)[2][256]) {
    std::int64_t x = 0;
    for (; x + 8 <= count; x += 8) {
        ++t[0][p[x]];
        ++t[1][p[x + 1]];
        ++t[0][p[x + 2]];
        ++t[1][p[x + 3]];
        ++t[0][p[x + 4]];
        ++t[1][p[x + 5]];
        ++t[0][p[x + 6]];
        ++t[1][p[x + 7]];
    }
    for (; x < count; ++x) ++t[x & 1][p[x]];
}

}  // namespace

void CountLevelsRow(const std::uint8_t* p, std::int64_t count, CLevelCounts& counts) {
    while (count > 0) {
        const std::int64_t room = CLevelCounts::kFlushBytes - counts.pendingBytes;
        const std::int64_t run = count < room ? count : room;
        CountIntoTables(p, run, counts.pending);
        counts.pendingBytes += run;
        if (counts.pendingBytes == CLevelCounts::kFlushBytes) counts.Flush();
        p += run;
        count -= run;
    }
}

}  // namespace statkernels
