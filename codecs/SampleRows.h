#pragma once
// Turning the samples of one file row into one engine row, for every kind
// of file. Each function fills the columns start, start + step, ... below
// `width` (step 1 for a whole row; an interlaced PNG pass fills every
// eighth, fourth or second column), reading the file row's samples at those
// same columns.

#include <array>
#include <cstdint>

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

// Sample `x` of a row of 1-, 2-, 4- or 8-bit samples, first pixel in the
// high bits of a byte.
inline unsigned PackedAt(const std::uint8_t* row, int bits, int x) {
    if (bits == 8) return row[x];
    const unsigned bit = static_cast<unsigned>(x) * static_cast<unsigned>(bits);
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

// 16-bit sample `index` of a row, in either byte order.
inline unsigned Sample16At(const std::uint8_t* row, std::uint64_t index, bool bigEndian) {
    const std::uint8_t* p = row + 2 * index;
    return bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
}

// Grey of 1, 2, 4 or 8 bits spread over 0..255 (x 255, x 85, x 17, x 1),
// inverted when `minIsWhite`. `channels` samples a pixel; the first is grey.
void GreyLevels(const std::uint8_t* in, int bits, int channels, bool minIsWhite, SColumns c,
                std::uint8_t* out);
// 16-bit grey, the first of `channels` samples a pixel, inverted when
// `minIsWhite`, as one value a column: out[x].
void DeepGrey(const std::uint8_t* in, int channels, bool bigEndian, bool minIsWhite, SColumns c,
              std::uint16_t* out);
// Palette indices of 1, 2, 4 or 8 bits, unchanged.
void PaletteIndices(const std::uint8_t* in, int bits, SColumns c, std::uint8_t* out);
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

// Grey samples deeper than 8 bits to 8 bits by the linear window from the
// picture's own minimum to its maximum: level = (v - min) x 255 / (max -
// min), rounded half up. A picture whose samples are all equal keeps its
// own level on its scale: RoundedLevel(v, white). Every sample is first seen
// (Put before Fix), then levelled (Put after Fix).
class CGreyWindow {
public:
    explicit CGreyWindow(unsigned white) : white_(white) {}
    // The samples at the columns `c` of a row: seen, or written to `out`.
    void Put(const std::uint16_t* samples, SColumns c, std::uint8_t* out);
    void Fix();
    // The window's ends, once fixed.
    unsigned Low() const { return min_; }
    unsigned High() const { return max_; }

private:
    unsigned white_;
    unsigned min_ = 65535, max_ = 0;
    bool fixed_ = false;
    std::array<std::uint8_t, 65536> table_{};
};

}  // namespace samples
