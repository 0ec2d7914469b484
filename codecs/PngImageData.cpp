#include "PngImageData.h"

#include <libdeflate.h>

#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace {

std::uint32_t BigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// A chunk's length may not exceed 2^31 - 1.
constexpr std::uint32_t kLongestChunk = 0x7FFFFFFF;

struct CDecompressor {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    ~CDecompressor() { libdeflate_free_decompressor(d); }
};

}  // namespace

std::string InflatePngImageData(CCodecInput& input, std::size_t filteredBytes,
                                std::vector<std::uint8_t>& filtered) {
    constexpr const char* kCut = "it ends before its end chunk";
    if (!input.Seek(8)) return kCut;
    std::vector<std::uint8_t> compressed;
    // 0 before the data chunks, 1 among them, 2 after them.
    int stage = 0;
    for (;;) {
        std::array<std::uint8_t, 8> head{};
        if (input.Read(head.data(), head.size()) != head.size()) return kCut;
        const std::uint32_t length = BigEndian(head.data());
        if (length > kLongestChunk) return "a chunk is too long";
        if (length > input.Length() - input.Position()) return kCut;
        const bool data = std::memcmp(head.data() + 4, "IDAT", 4) == 0;
        const bool end = std::memcmp(head.data() + 4, "IEND", 4) == 0;
        if (data && stage == 2) return "its image data is split by other chunks";
        if (end && stage == 0) return "it has no image data";
        if (!data && !end) {
            // Read by the header before the image data; not needed after it.
            if (stage == 1) stage = 2;
            if (!input.Seek(input.Position() + length + 4)) return kCut;
            continue;
        }
        const std::size_t start = compressed.size();
        if (data) {
            try {
                if (stage == 0) compressed.reserve(input.Length() - input.Position());
                compressed.resize(start + length);
            } catch (const std::bad_alloc&) {
                return "not enough memory";
            }
        } else if (length != 0) {
            return "its end chunk is not empty";
        }
        std::array<std::uint8_t, 4> crc{};
        if (input.Read(compressed.data() + start, length) != length ||
            input.Read(crc.data(), crc.size()) != crc.size())
            return kCut;
        std::uint32_t sum = libdeflate_crc32(0, head.data() + 4, 4);
        sum = libdeflate_crc32(sum, compressed.data() + start, length);
        if (sum != BigEndian(crc.data())) return "CRC error";
        if (end) break;
        stage = 1;
    }
    CDecompressor inflater;
    if (inflater.d == nullptr) return "not enough memory";
    try {
        filtered.resize(filteredBytes);
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    }
    std::size_t produced = 0;
    const libdeflate_result result =
        libdeflate_zlib_decompress(inflater.d, compressed.data(), compressed.size(),
                                   filtered.data(), filtered.size(), &produced);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) return "too much image data";
    if (result != LIBDEFLATE_SUCCESS) return "invalid image data or checksum";
    if (produced != filteredBytes) return "not enough image data";
    return {};
}
