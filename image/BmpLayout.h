#pragma once
// What a BMP file's headers say, parsed and range-checked before anything is
// allocated. Used by the reader only.

#include <cstdint>
#include <string>

struct CBmpLayout {
    // File header.
    std::uint32_t pixelOffset = 0;  // from the start of the file
    // DIB header, whatever its kind.
    std::uint32_t headerSize = 0;
    bool coreHeader = false;  // 12-byte header, 3-byte colour entries
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive here
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = 0;  // as in the file
    std::int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;  // as in the file
    std::uint32_t colorsImportant = 0;
    // Derived.
    int maskBytes = 0;               // bit-field masks stored after a 40-byte header
    std::uint32_t masks[3]{};        // red, green, blue masks for bit fields
    int colorEntries = 0;            // colour-table entries kept (at most 2^bits)
    int entryBytes = 4;              // 3 after a core header
    std::uint64_t rowBytes = 0;      // stride of one stored row at the real depth
    std::uint64_t lastRowBytes = 0;  // bytes of one row without its padding
    std::uint64_t pixelBytes = 0;    // rowBytes * height
    std::uint64_t dataBytes = 0;     // pixel data read from the file

    bool IsRle() const { return compression == 1 || compression == 2; }
    bool IsBitFields() const { return compression == 3 || compression == 6; }
};
