#pragma once
// TIFF's LZW strips decoded: codes of 9 to 12 bits, most significant bit
// first, the width growing one code early as every TIFF writer does. Each
// table entry is a place in the output where its string already lies, so a
// code is one copy instead of a walk down a chain of prefixes. Strips in
// the old, least-significant-bit-first style, and every stream the decoder
// finds wrong, are refused: the caller then has the library decode them and
// report what is wrong.

#include <cstdint>
#include <span>
#include <vector>

class CLzwStripDecoder {
public:
    CLzwStripDecoder();
    // The first `count` bytes `packed` decodes to, valid until the next
    // call; empty when the strip is refused or decodes to fewer bytes.
    std::span<const std::uint8_t> Decompress(std::span<const std::uint8_t> packed,
                                             std::size_t count);

private:
    struct SString {
        std::uint32_t at = 0, length = 0;
    };
    std::vector<SString> table_;
    std::vector<std::uint8_t> out_;
};
