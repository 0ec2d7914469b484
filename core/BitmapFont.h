#pragma once
// A small bitmap font of our own for the few words a figure needs (a file
// name, numbers on its axes) where no font library is at hand: 5 x 7 pixels
// a character, 6 across with the gap. A character it lacks is drawn as "?".

#include <string>

inline constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kGlyphAdvance = 6;

// Whether the pixel (x, y) of `c`'s glyph is set, y = 0 at the top.
bool GlyphPixel(unsigned char c, int x, int y);

// The width in pixels of `text` drawn one byte a character (a byte of a
// UTF-8 sequence after its first adds nothing: the sequence is one "?").
int TextWidth(const std::string& text);

// Calls plot(x, y) for each set pixel of `text` drawn from (left, top).
template <typename Plot>
void DrawText(const std::string& text, int left, int top, Plot plot) {
    int x = left;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue;
        for (int gy = 0; gy < kGlyphHeight; ++gy)
            for (int gx = 0; gx < kGlyphWidth; ++gx)
                if (GlyphPixel(byte, gx, gy)) plot(x + gx, top + gy);
        x += kGlyphAdvance;
    }
}
