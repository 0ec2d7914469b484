#pragma once
// Builds BMP files byte by byte, so tests can describe exactly the header,
// colour table and rows a file holds, including damaged ones.

#include <cstdint>
#include <string>
#include <vector>

class CBmpBuilder {
public:
    std::vector<std::uint8_t> bytes;

    CBmpBuilder& U8(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    CBmpBuilder& U16(std::uint16_t v) {
        return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8));
    }
    CBmpBuilder& U32(std::uint32_t v) {
        return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16));
    }
    CBmpBuilder& Text(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    CBmpBuilder& Fill(std::size_t count, std::uint8_t v) {
        bytes.insert(bytes.end(), count, v);
        return *this;
    }
    CBmpBuilder& FileHeader(std::uint32_t fileSize, std::uint32_t pixelOffset) {
        return Text("BM").U32(fileSize).U16(0).U16(0).U32(pixelOffset);
    }
    CBmpBuilder& InfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits,
                            std::uint32_t compression = 0, std::uint32_t colorsUsed = 0,
                            std::uint32_t imageBytes = 0) {
        return U32(40)
            .U32(static_cast<std::uint32_t>(width))
            .U32(static_cast<std::uint32_t>(height))
            .U16(1)
            .U16(bits)
            .U32(compression)
            .U32(imageBytes)
            .U32(2835)
            .U32(2835)
            .U32(colorsUsed)
            .U32(0);
    }
    // Grey table of n 4-byte entries.
    CBmpBuilder& GreyTable(int n) {
        for (int i = 0; i < n; ++i)
            U8(static_cast<std::uint8_t>(i))
                .U8(static_cast<std::uint8_t>(i))
                .U8(static_cast<std::uint8_t>(i))
                .U8(0);
        return *this;
    }
};

// A plain 8-bit file, bottom-up rows where pixel (x, y) = (x + 3 y) mod 256.
inline std::vector<std::uint8_t> MakeGrey8Bmp(int width, int height) {
    const int stride = (width + 3) & ~3;
    CBmpBuilder b;
    b.FileHeader(static_cast<std::uint32_t>(1078 + stride * height), 1078)
        .InfoHeader(width, height, 8)
        .GreyTable(256);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) b.U8(static_cast<std::uint8_t>((x + 3 * y) & 0xFF));
        b.Fill(static_cast<std::size_t>(stride - width), 0);
    }
    return b.bytes;
}
