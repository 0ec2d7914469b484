#pragma once
// TIFF's LZW compression of one strip, byte for byte the stream libtiff's own
// encoder makes: codes of 9 to 12 bits, most significant bit first, a clear
// code first, a clear code whenever the table fills or the ratio of bytes in
// to bits out stops improving (looked at every 10000 bytes), the end code
// last. The table is an open-addressed hash that stays in the fast caches,
// which makes this several times faster than the library's.

#include <cstdint>
#include <span>
#include <vector>

class CLzwStrip {
public:
    CLzwStrip();
    // The compressed strip of `count` bytes; valid until the next call.
    std::span<const std::uint8_t> Compress(const std::uint8_t* bytes, std::size_t count);

private:
    static constexpr int kTableBits = 14;
    void ClearTable();

    // Each slot: the string's code in the low 12 bits, above it the key
    // (the prefix's code and the next byte); all ones when free.
    std::vector<std::uint32_t> table_;
    std::vector<std::uint8_t> out_;
};
