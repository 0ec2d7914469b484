#pragma once
// Turning the samples of one file row into one engine row, for every kind
// of file. Each function fills the columns start, start + step, ... below
// `width` (step 1 for a whole row; an interlaced PNG pass fills every
// eighth, fourth or second column), reading the file row's samples at those
// same columns.

#include <array>
#include <cstdint>
#include <optional>

#include "FileSamples.h"
#include "PictureLosses.h"
#include "SampleRamp.h"

namespace samples {

struct SColumns {
    int start = 0, step = 1, width = 0;
};

// The one rounding of levels: `value` on a scale of 0..`white` brought to
// 0..255, value x 255 / white rounded half up (0 when white is 0); values
// above white count as white.
constexpr std::uint8_t RoundedLevel(std::uint64_t value, std::uint64_t white) {
    if (white == 0) return 0;
    if (value > white) value = white;
    return static_cast<std::uint8_t>((2 * value * 255 + white) / (2 * white));
}

// Sample `x` of a row of samples of 1 to 16 bits packed with no gap, first
// sample in the high bits of the first byte.
inline unsigned PackedAt(const std::uint8_t* row, int bits, std::uint64_t x) {
    if (bits == 8) return row[x];
    const std::uint64_t bit = x * static_cast<unsigned>(bits);
    const unsigned mask = (1u << bits) - 1;
    if (bits < 8 && (bits & (bits - 1)) == 0)  // 1, 2 or 4 bits: within one byte
        return (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
    // Up to 16 bits starting anywhere in a byte: two or three bytes.
    const std::uint8_t* p = row + bit / 8;
    const unsigned used = static_cast<unsigned>(bit % 8) + static_cast<unsigned>(bits);
    const unsigned bytes = (used + 7) / 8;
    std::uint32_t gathered = 0;
    for (unsigned k = 0; k < bytes; ++k) gathered = gathered << 8 | p[k];
    return (gathered >> (8 * bytes - used)) & mask;
}

// 16-bit sample `index` of a row, in either byte order.
inline unsigned Sample16At(const std::uint8_t* row, std::uint64_t index, bool bigEndian) {
    const std::uint8_t* p = row + 2 * index;
    return bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
}

// Grey of 1 to 8 bits spread over 0..255 by RoundedLevel (x 255, x 85, x 17
// at 1, 2 and 4 bits), inverted when `minIsWhite`. `channels` samples a
// pixel; the first is grey.
void GreyLevels(const std::uint8_t* in, int bits, int channels, bool minIsWhite, SColumns c,
                std::uint8_t* out);

// How the grey samples of a file row deeper than Orvex keeps are laid out.
struct SDeepLayout {
    int bits = 16;  // 1 to 16, or 32; 8-, 16- and 32-bit samples in whole bytes
    SampleKind kind = SampleKind::Unsigned;
    int channels = 1;        // samples a pixel; the first is grey
    bool bigEndian = false;  // byte order of 16- and 32-bit samples
    bool minIsWhite = false;
};
// Grey samples of up to 16 bits as one value a column, out[x]: signed ones
// offset by 2^(bits - 1) (their lowest value is 0), inverted on their scale
// when `minIsWhite`.
void DeepGrey(const std::uint8_t* in, const SDeepLayout& layout, SColumns c, std::uint16_t* out);
// 32-bit samples the same way as numbers: integers (signed ones offset by
// 2^31) and floats; inverted floats are 1 - v.
void DeepGrey(const std::uint8_t* in, const SDeepLayout& layout, SColumns c, double* out);
// Palette indices of 1, 2, 4 or 8 bits, unchanged; the first of `channels`
// samples a pixel.
void PaletteIndices(const std::uint8_t* in, int bits, SColumns c, std::uint8_t* out,
                    int channels = 1);
// Red, green, blue (then any other samples) of 8 or 16 bits to the engine's
// blue, green, red bytes; 16-bit samples are brought to 0..255 by
// RoundedLevel. `in` may be `out` for 8-bit samples and three channels.
void ColourBgr(const std::uint8_t* in, int bits, int channels, bool bigEndian, SColumns c,
               std::uint8_t* out);

// Samples of a known white below 255 brought to 0..255 by RoundedLevel.
class CMaxScale {
public:
    explicit CMaxScale(unsigned white);
    std::uint8_t operator()(unsigned v) const { return table_[v < 256 ? v : 255]; }

private:
    std::array<std::uint8_t, 256> table_{};
};

// Grey samples deeper than 8 bits (or signed, or floating-point) to 8 bits
// by the linear window from the picture's own minimum to its maximum: level
// = (v - min) x 255 / (max - min), rounded half up. A picture whose samples
// are all equal keeps its own level on its scale: RoundedLevel(v, white)
// for integers (signed ones offset), v clamped to 0..1 for floats. Floats
// that are not numbers or infinite are left out of the window and open as
// 0. Every sample is first seen (Put before Fix), then levelled (Put after
// Fix).
class CGreyWindow {
public:
    // Samples of `kind` and `bits`, white at `white` on their scale (2^bits
    // - 1; a PGM file's own maximum), handed over as DeepGrey gives them.
    CGreyWindow(SampleKind kind, int bits, std::uint64_t white);
    // The samples at the columns `c` of a row: seen, or written to `out`.
    // Samples of 16 bits at most come as 16-bit values, 32-bit ones as numbers.
    void Put(const std::uint16_t* samples, SColumns c, std::uint8_t* out);
    void Put(const double* samples, SColumns c, std::uint8_t* out);
    void Fix();
    // Fixes the window at ends of the user's choice instead of those seen,
    // as the file holds them (low <= high).
    void FixAt(double low, double high);
    // The same ends without the table of 16-bit levels: for LevelOf and
    // Ramp only.
    void FixEndsAt(double low, double high);
    // The window's ends, once fixed, as the file holds them (signed ones
    // without their offset).
    double Low() const { return min_ - offset_; }
    double High() const { return max_ - offset_; }
    // The level of a sample handed over as DeepGrey gives it, once fixed.
    std::uint8_t Level16(unsigned v) const { return table_[v]; }
    std::uint8_t LevelOf(double v) const;
    // Once fixed, for unsigned integer samples: the levels as a linear ramp
    // giving the very levels of LevelOf, when the window's ends allow one.
    std::optional<SSampleRamp> Ramp() const;

private:
    SampleKind kind_;
    std::uint64_t white_;
    double offset_;
    // The ends seen among 16-bit values, then among numbers; merged by Fix.
    unsigned min16_ = 65535, max16_ = 0;
    double min_, max_;
    bool fixed_ = false;
    std::array<std::uint8_t, 65536> table_{};
};

// The samples of DeepGrey at the columns `c` of a row kept as the file
// holds them (signed ones without their offset) in `out`.
void KeepGrey(const std::uint16_t* samples, SColumns c, const CFileSamples& kept,
              std::uint16_t* out);
void KeepGrey(const double* samples, SColumns c, const CFileSamples& kept, std::uint32_t* out);

}  // namespace samples
