#pragma once
// Turning the samples of one file row into one engine row, for every kind
// of file. Each function fills the columns start, start + step, ... below
// `width` (step 1 for a whole row; an interlaced PNG pass fills every
// eighth, fourth or second column), reading the file row's samples at those
// same columns.

#include <array>
#include <cstdint>
#include <string>

namespace samples {

struct SColumns {
    int start = 0, step = 1, width = 0;
};

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
// Palette indices of 1, 2, 4 or 8 bits, unchanged.
void PaletteIndices(const std::uint8_t* in, int bits, SColumns c, std::uint8_t* out);
// Red, green, blue (then any other samples) of 8 or 16 bits to the engine's
// blue, green, red bytes; 16-bit samples are scaled to 0..255. `in` may be
// `out` for 8-bit samples and three channels.
void ColourBgr(const std::uint8_t* in, int bits, int channels, bool bigEndian, SColumns c,
               std::uint8_t* out);

// Samples of a known maximum below 255 scaled to 0..255: v x 255 / max,
// rounded half up; samples above the maximum count as the maximum.
class CMaxScale {
public:
    explicit CMaxScale(unsigned maximum);
    std::uint8_t operator()(unsigned v) const { return table_[v < 256 ? v : 255]; }

private:
    std::array<std::uint8_t, 256> table_{};
};

// 16-bit grey to 8 bits by the linear window from the picture's own minimum
// to its maximum: level = (v - min) x 255 / (max - min), rounded half up,
// all 0 when they are equal. Every sample is first seen (Observe), then
// mapped (Level) once Fix has been called.
class CGreyWindow {
public:
    void Observe(unsigned v) {
        if (v < min_) min_ = v;
        if (v > max_) max_ = v;
    }
    // Samples at the given columns of a row (`channels` samples a pixel, the
    // first one grey), inverted first when `minIsWhite`.
    void ObserveRow(const std::uint8_t* in, int channels, bool bigEndian, bool minIsWhite,
                    SColumns c);
    void Fix();
    std::uint8_t Level(unsigned v) const { return table_[v]; }
    void LevelsRow(const std::uint8_t* in, int channels, bool bigEndian, bool minIsWhite,
                   SColumns c, std::uint8_t* out) const;
    // The history line that lets the result be reproduced.
    std::string Note() const;
    // The window's ends, once fixed.
    unsigned Low() const { return min_; }
    unsigned High() const { return max_; }

private:
    unsigned min_ = 65535, max_ = 0;
    std::array<std::uint8_t, 65536> table_{};
};

}  // namespace samples
