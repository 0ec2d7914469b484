#include "GreyKernels.h"

#include "KernelChoice.h"

#if ORVEX_VECTOR_KERNELS
#include <immintrin.h>
#endif

namespace greykernels {

namespace reference {

void BgrRow(const std::uint8_t* row, std::int64_t width, std::uint8_t* out) {
    for (std::int64_t x = 0; x < width; ++x, row += 3) out[x] = Luminance(row[2], row[1], row[0]);
}

}  // namespace reference

namespace {

#if ORVEX_VECTOR_KERNELS

// 32 pixels (96 bytes) at a time, 16 in each half of the register. Each
// quarter of a half takes four pixels from a 16-byte window: a byte shuffle
// spreads their red and green into 16-bit pairs and their blue into 32-bit
// lanes, and pairwise multiply-adds give N = 299 R + 587 G + 114 B + 500 in
// 32 bits. The last window of a half starts 4 bytes early so that nothing
// past the 48 bytes of the half is read.
//
// N / 1000 is floor(floor(N / 8) / 125), and for N / 8 < 32000 the quotient
// by 125 is the high half of a 16-bit product by 33555 shifted by 6 (exact
// for every N up to 255 500, as the tests check for every colour).
ORVEX_VECTOR_TARGET std::int64_t BgrBlocksAvx2(const std::uint8_t* row, std::int64_t width,
                                               std::uint8_t* out) {
    constexpr char z = -1;  // the shuffle's zero
    const __m256i redGreen = _mm256_setr_epi8(2, z, 1, z, 5, z, 4, z, 8, z, 7, z, 11, z, 10, z,  //
                                              2, z, 1, z, 5, z, 4, z, 8, z, 7, z, 11, z, 10, z);
    const __m256i blue = _mm256_setr_epi8(0, z, z, z, 3, z, z, z, 6, z, z, z, 9, z, z, z,  //
                                          0, z, z, z, 3, z, z, z, 6, z, z, z, 9, z, z, z);
    const __m256i four = _mm256_set1_epi8(4);
    const __m256i redGreenLast = _mm256_or_si256(_mm256_add_epi8(redGreen, four),
                                                 _mm256_cmpeq_epi8(redGreen, _mm256_set1_epi8(z)));
    const __m256i blueLast =
        _mm256_or_si256(_mm256_add_epi8(blue, four), _mm256_cmpeq_epi8(blue, _mm256_set1_epi8(z)));
    const __m256i redGreenWeights = _mm256_set1_epi32(299 | (587 << 16));
    const __m256i blueWeight = _mm256_set1_epi32(114);
    const __m256i rounding = _mm256_set1_epi32(500);
    const __m256i by125 = _mm256_set1_epi16(static_cast<short>(33555));

    std::int64_t x = 0;
    for (; x + 32 <= width; x += 32) {
        const std::uint8_t* p = row + 3 * x;
        __m256i sums[4];
        for (int k = 0; k < 4; ++k) {
            const int offset = k < 3 ? 12 * k : 32;
            const __m256i window = _mm256_inserti128_si256(
                _mm256_castsi128_si256(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + offset))),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48 + offset)), 1);
            const __m256i rg = _mm256_shuffle_epi8(window, k < 3 ? redGreen : redGreenLast);
            const __m256i b = _mm256_shuffle_epi8(window, k < 3 ? blue : blueLast);
            const __m256i n =
                _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(rg, redGreenWeights),
                                                  _mm256_madd_epi16(b, blueWeight)),
                                 rounding);
            sums[k] = _mm256_srli_epi32(n, 3);
        }
        // Packing keeps each half apart: pixels 0-15 stay in the low half.
        const __m256i low = _mm256_packus_epi32(sums[0], sums[1]);
        const __m256i high = _mm256_packus_epi32(sums[2], sums[3]);
        const __m256i levelsLow = _mm256_srli_epi16(_mm256_mulhi_epu16(low, by125), 6);
        const __m256i levelsHigh = _mm256_srli_epi16(_mm256_mulhi_epu16(high, by125), 6);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                            _mm256_packus_epi16(levelsLow, levelsHigh));
    }
    return x;
}

#endif

}  // namespace

void BgrRow(const std::uint8_t* row, std::int64_t width, std::uint8_t* out) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        const std::int64_t done = BgrBlocksAvx2(row, width, out);
        reference::BgrRow(row + 3 * done, width - done, out + done);
        return;
    }
#endif
    reference::BgrRow(row, width, out);
}

}  // namespace greykernels
