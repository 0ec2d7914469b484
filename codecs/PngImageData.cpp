#include "PngImageData.h"

#include <libdeflate.h>

#include <array>
#include <cstring>

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
                                largememory::CBytes& filtered) {
    constexpr const char* kCut = "it ends before its end chunk";
    if (!input.Seek(8)) return kCut;
    // The data chunks cannot hold more than the rest of the file.
    largememory::CBytes compressed;
    std::size_t gathered = 0;
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
        if (end && length != 0) return "its end chunk is not empty";
        if (stage == 0 && !compressed.Reset(input.Length() - input.Position()))
            return "not enough memory";
        std::uint8_t* chunk = compressed.data() + gathered;
        std::array<std::uint8_t, 4> crc{};
        if (input.Read(chunk, length) != length || input.Read(crc.data(), crc.size()) != crc.size())
            return kCut;
        std::uint32_t sum = libdeflate_crc32(0, head.data() + 4, 4);
        sum = libdeflate_crc32(sum, chunk, length);
        if (sum != BigEndian(crc.data())) return "CRC error";
        if (end) break;
        gathered += length;
        stage = 1;
    }
    CDecompressor inflater;
    if (inflater.d == nullptr || !filtered.Reset(filteredBytes)) return "not enough memory";
    std::size_t produced = 0;
    const libdeflate_result result = libdeflate_zlib_decompress(
        inflater.d, compressed.data(), gathered, filtered.data(), filtered.size(), &produced);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) return "too much image data";
    if (result != LIBDEFLATE_SUCCESS) return "invalid image data or checksum";
    if (produced != filteredBytes) return "not enough image data";
    return {};
}
