#pragma once
// What a BMP file's headers say, parsed and range-checked before anything is
// allocated, and where its table and rows lie. Used by the reader and the
// writer only.

#include <cstdint>

namespace bmp {

constexpr std::uint16_t kSignature = 0x4D42;  // "BM"
constexpr int kFileHeaderSize = 14;
constexpr int kMaxHeaderSize = 124;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3,
                        kBiAlphaBitFields = 6;

}  // namespace bmp

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
    int maskBytes = 0;             // bit-field masks kept after the block's 40-byte header
    std::uint32_t masks[3]{};      // red, green, blue masks for bit fields
    int colorEntries = 0;          // colour-table entries kept (at most 2^bits)
    int entryBytes = 4;            // 3 after a core header
    std::uint64_t rowBytes = 0;    // stride of one stored row at the real depth
    std::uint64_t pixelBytes = 0;  // rowBytes * height
    std::uint64_t rowsStart = 0;   // where the pixel data starts in the file
    std::uint64_t dataBytes = 0;   // bytes of the file from rowsStart to its end

    bool IsRle() const { return compression == bmp::kBiRle8 || compression == bmp::kBiRle4; }
    bool IsBitFields() const {
        return compression == bmp::kBiBitFields || compression == bmp::kBiAlphaBitFields;
    }
};
