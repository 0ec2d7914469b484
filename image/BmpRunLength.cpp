#include "BmpRunLength.h"

bool DecodeRunLength(const std::uint8_t* data, std::size_t size, const CBmpLayout& layout,
                     std::uint8_t* rows) {
    const bool four = layout.compression == bmp::kBiRle4;
    const std::int64_t width = layout.width, height = layout.height;
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height) {
            std::uint8_t* row = rows + static_cast<std::uint64_t>(y) * layout.rowBytes;
            if (four) {
                std::uint8_t& byte = row[x / 2];
                byte = (x % 2 == 0) ? static_cast<std::uint8_t>((byte & 0x0F) | (index << 4))
                                    : static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F));
            } else {
                row[x] = index;
            }
        }
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < size) {
        const std::uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(four ? static_cast<std::uint8_t>((k % 2 == 0) ? value >> 4 : value & 0x0F)
                         : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return true;
        } else if (value == 2) {  // delta
            if (i + 2 > size) return false;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {  // absolute run of `value` pixels, padded to 16 bits
            const std::size_t bytes = four ? (value + 1u) / 2u : value;
            if (i + bytes > size) return false;
            for (int k = 0; k < value; ++k) {
                const std::uint8_t b = data[i + (four ? static_cast<std::size_t>(k / 2)
                                                      : static_cast<std::size_t>(k))];
                put(four ? static_cast<std::uint8_t>((k % 2 == 0) ? b >> 4 : b & 0x0F) : b);
            }
            i += bytes + (bytes & 1u);
        }
        if (y >= height) return true;  // nothing more can be drawn
    }
    return true;
}
