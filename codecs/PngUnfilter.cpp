#include "PngUnfilter.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pngfilter {

namespace {

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

}  // namespace

namespace reference {

bool Unfilter(std::uint8_t type, int bpp, const std::uint8_t* in, const std::uint8_t* prior,
              std::uint8_t* out, std::size_t count) {
    if (type > kPaeth) return false;
    const std::size_t step = static_cast<std::size_t>(bpp);
    for (std::size_t i = 0; i < count; ++i) {
        const int a = i >= step ? out[i - step] : 0, b = prior[i],
                  c = i >= step ? prior[i - step] : 0;
        int predicted = 0;
        switch (type) {
            case kSub:
                predicted = a;
                break;
            case kUp:
                predicted = b;
                break;
            case kAverage:
                predicted = (a + b) / 2;
                break;
            case kPaeth:
                predicted = Paeth(a, b, c);
                break;
            default:
                break;
        }
        out[i] = static_cast<std::uint8_t>(in[i] + predicted);
    }
    return true;
}

}  // namespace reference

#if defined(__SSE2__)

namespace {

__m128i Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// A pixel of 3 or 4 bytes into the low bytes of a register, and back; only
// its own bytes are read and written, so a row may be undone in place. The
// bytes go straight between memory and a general register: a word put
// together on the stack would make each pixel wait for the last one's
// store to be forwarded.
template <int Bpp>
__m128i LoadPixel(const std::uint8_t* p) {
    std::uint32_t word;
    if constexpr (Bpp == 4) {
        std::memcpy(&word, p, 4);
    } else {
        std::uint16_t low;
        std::memcpy(&low, p, 2);
        word = low | std::uint32_t{p[2]} << 16;
    }
    return _mm_cvtsi32_si128(static_cast<int>(word));
}
template <int Bpp>
void StorePixel(std::uint8_t* p, __m128i v) {
    const auto word = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    if constexpr (Bpp == 4) {
        std::memcpy(p, &word, 4);
    } else {
        const auto low = static_cast<std::uint16_t>(word);
        std::memcpy(p, &low, 2);
        p[2] = static_cast<std::uint8_t>(word >> 16);
    }
}

void Up(const std::uint8_t* in, const std::uint8_t* prior, std::uint8_t* out, std::size_t count) {
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) Store(out + i, _mm_add_epi8(Load(in + i), Load(prior + i)));
    for (; i < count; ++i) out[i] = static_cast<std::uint8_t>(in[i] + prior[i]);
}

// One byte a pixel: a running sum, sixteen bytes at a time by doubling
// shifts, the last sum carried into the next sixteen.
void SubOne(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    __m128i carry = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        __m128i v = Load(in + i);
        v = _mm_add_epi8(v, _mm_slli_si128(v, 1));
        v = _mm_add_epi8(v, _mm_slli_si128(v, 2));
        v = _mm_add_epi8(v, _mm_slli_si128(v, 4));
        v = _mm_add_epi8(v, _mm_slli_si128(v, 8));
        v = _mm_add_epi8(v, carry);
        Store(out + i, v);
        carry = _mm_set1_epi8(static_cast<char>(out[i + 15]));
    }
    std::uint8_t left = i > 0 ? out[i - 1] : 0;
    for (; i < count; ++i) left = out[i] = static_cast<std::uint8_t>(in[i] + left);
}

// Three or four bytes a pixel: one pixel at a time, its bytes side by side.
template <int Bpp>
void SubPixels(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    __m128i left = _mm_setzero_si128();
    for (std::size_t i = 0; i + Bpp <= count; i += Bpp) {
        left = _mm_add_epi8(LoadPixel<Bpp>(in + i), left);
        StorePixel<Bpp>(out + i, left);
    }
}

// floor((a + b) / 2) from the rounding-up average.
template <int Bpp>
void AveragePixels(const std::uint8_t* in, const std::uint8_t* prior, std::uint8_t* out,
                   std::size_t count) {
    const __m128i one = _mm_set1_epi8(1);
    __m128i left = _mm_setzero_si128();
    for (std::size_t i = 0; i + Bpp <= count; i += Bpp) {
        const __m128i up = LoadPixel<Bpp>(prior + i);
        const __m128i mean =
            _mm_sub_epi8(_mm_avg_epu8(left, up), _mm_and_si128(_mm_xor_si128(left, up), one));
        left = _mm_add_epi8(LoadPixel<Bpp>(in + i), mean);
        StorePixel<Bpp>(out + i, left);
    }
}

__m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

// Paeth's predictor in 16-bit lanes, a pixel at a time: the nearest of left,
// up and upper left to left + up - upper left, ties in that order.
template <int Bpp>
void PaethPixels(const std::uint8_t* in, const std::uint8_t* prior, std::uint8_t* out,
                 std::size_t count) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;
    for (std::size_t i = 0; i + Bpp <= count; i += Bpp) {
        const __m128i b = _mm_unpacklo_epi8(LoadPixel<Bpp>(prior + i), zero);
        const __m128i pa = Abs16(_mm_sub_epi16(b, c));  // |p - a|
        const __m128i pb = Abs16(_mm_sub_epi16(a, c));  // |p - b|
        const __m128i pc = Abs16(_mm_sub_epi16(_mm_add_epi16(a, b), _mm_add_epi16(c, c)));
        const __m128i useA = _mm_and_si128(_mm_cmpgt_epi16(pb, pa) | _mm_cmpeq_epi16(pb, pa),
                                           _mm_cmpgt_epi16(pc, pa) | _mm_cmpeq_epi16(pc, pa));
        const __m128i useB =
            _mm_andnot_si128(useA, _mm_cmpgt_epi16(pc, pb) | _mm_cmpeq_epi16(pc, pb));
        const __m128i useC = _mm_andnot_si128(_mm_or_si128(useA, useB), _mm_set1_epi16(-1));
        const __m128i predicted = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(useA, a), _mm_and_si128(useB, b)), _mm_and_si128(useC, c));
        const __m128i value =
            _mm_add_epi8(LoadPixel<Bpp>(in + i), _mm_packus_epi16(predicted, zero));
        StorePixel<Bpp>(out + i, value);
        a = _mm_unpacklo_epi8(value, zero);
        c = b;
    }
}

// The filters that run a pixel at a time, for pixels of `Bpp` bytes.
template <int Bpp>
bool UnfilterPixels(std::uint8_t type, const std::uint8_t* in, const std::uint8_t* prior,
                    std::uint8_t* out, std::size_t count) {
    switch (type) {
        case kSub:
            return SubPixels<Bpp>(in, out, count), true;
        case kAverage:
            return AveragePixels<Bpp>(in, prior, out, count), true;
        case kPaeth:
            return PaethPixels<Bpp>(in, prior, out, count), true;
        default:
            return false;
    }
}

}  // namespace

bool Unfilter(std::uint8_t type, int bpp, const std::uint8_t* in, const std::uint8_t* prior,
              std::uint8_t* out, std::size_t count) {
    const bool pixels = (bpp == 3 || bpp == 4) && count % static_cast<std::size_t>(bpp) == 0;
    if (pixels && type != kNone && type != kUp)
        return bpp == 3 ? UnfilterPixels<3>(type, in, prior, out, count)
                        : UnfilterPixels<4>(type, in, prior, out, count);
    switch (type) {
        case kNone:
            if (out != in) std::memmove(out, in, count);
            return true;
        case kUp:
            Up(in, prior, out, count);
            return true;
        case kSub:
            if (bpp == 1) return SubOne(in, out, count), true;
            break;
        case kAverage:
        case kPaeth:
            break;
        default:
            return false;
    }
    return reference::Unfilter(type, bpp, in, prior, out, count);
}

#else

bool Unfilter(std::uint8_t type, int bpp, const std::uint8_t* in, const std::uint8_t* prior,
              std::uint8_t* out, std::size_t count) {
    return reference::Unfilter(type, bpp, in, prior, out, count);
}

#endif

}  // namespace pngfilter
