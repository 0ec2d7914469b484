#pragma once
// What the writers need of a picture: its rows top row first, its depth and
// table, and the rows of other depths turned into colour.

#include <cstdint>
#include <string>
#include <vector>

#include "Image.h"
#include "PictureCodec.h"

class CPictureSource {
public:
    // False (with `problem`) when the picture has no rows a file can hold.
    bool Open(const CImage& image, const char* formatName, std::string& problem);

    int Width() const { return rows_.width; }
    int Height() const { return rows_.height; }
    // 1, 4 or 8 bits of palette indices or grey, or 24 for colour (16- and
    // 32-bit pictures are given as 24).
    int BitCount() const { return bitCount_; }
    bool IsGrey() const { return grey_; }
    const CPaletteTable& Palette() const { return *palette_; }
    // Displayed row `y` (0 at the top): packed indices as stored, or red,
    // green, blue bytes.
    const std::uint8_t* Row(int y) { return Row(y, rgb_.data()); }
    // The same, colour rows made in `rgb` (3 bytes a pixel) instead of the
    // source's own buffer, so that threads may ask for rows at once.
    const std::uint8_t* Row(int y, std::uint8_t* rgb) const;

private:
    CStoredRows rows_;
    const CPaletteTable* palette_ = nullptr;
    int bitCount_ = 0;
    bool grey_ = false;
    std::vector<std::uint8_t> rgb_;
};
