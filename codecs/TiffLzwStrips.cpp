#include "TiffLzwStrips.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "LzwStripDecoder.h"
#include "Parallel.h"

namespace {

// Strips are read from the file this many packed bytes at a time, then
// decoded at once.
constexpr std::uint64_t kPackedBytesAtOnce = std::uint64_t{16} << 20;

// Undoes horizontal prediction: each sample was stored as its difference
// from the one `from` bytes to its left. The sums run in registers: through
// memory, each byte would wait for the store of the one before it.
void AddFromLeft(std::uint8_t* row, std::size_t bytes, std::size_t from) {
    std::size_t x = from;
    if (from == 1) {
#if defined(__SSE2__)
        // Sixteen running sums at once, carried from the last byte before.
        __m128i carry = _mm_set1_epi8(static_cast<char>(row[0]));
        for (; x + 16 <= bytes; x += 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            v = _mm_add_epi8(v, _mm_slli_si128(v, 1));
            v = _mm_add_epi8(v, _mm_slli_si128(v, 2));
            v = _mm_add_epi8(v, _mm_slli_si128(v, 4));
            v = _mm_add_epi8(v, _mm_slli_si128(v, 8));
            v = _mm_add_epi8(v, carry);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), v);
            carry = _mm_set1_epi8(static_cast<char>(row[x + 15]));
        }
#endif
        std::uint8_t sum = row[x - 1];
        for (; x < bytes; ++x) row[x] = sum = static_cast<std::uint8_t>(sum + row[x]);
        return;
    }
    if (from == 3) {
        std::uint8_t red = row[0], green = row[1], blue = row[2];
        for (; x + 3 <= bytes; x += 3) {
            row[x] = red = static_cast<std::uint8_t>(red + row[x]);
            row[x + 1] = green = static_cast<std::uint8_t>(green + row[x + 1]);
            row[x + 2] = blue = static_cast<std::uint8_t>(blue + row[x + 2]);
        }
    }
    for (; x < bytes; ++x) row[x] = static_cast<std::uint8_t>(row[x] + row[x - from]);
}

// The packed bytes of strips [first, last), read one after another (strips
// that follow each other in the file in one read).
bool ReadPacked(CCodecInput& input, const STiffLzwPage& page, std::size_t first, std::size_t last,
                std::vector<std::uint8_t>& packed, std::vector<std::uint64_t>& starts) {
    starts.clear();
    std::uint64_t total = 0;
    for (std::size_t s = first; s < last; ++s) {
        starts.push_back(total);
        total += page.strips[s].bytes;
    }
    starts.push_back(total);
    packed.resize(static_cast<std::size_t>(total));
    for (std::size_t s = first; s < last;) {
        std::size_t end = s + 1;
        while (end < last &&
               page.strips[end].offset == page.strips[end - 1].offset + page.strips[end - 1].bytes)
            ++end;
        const std::uint64_t at = starts[s - first];
        const std::size_t size = static_cast<std::size_t>(starts[end - first] - at);
        if (!input.Seek(page.strips[s].offset) || input.Read(packed.data() + at, size) != size)
            return false;
        s = end;
    }
    return true;
}

}  // namespace

bool DecodeTiffLzwStrips(CCodecInput& input, const STiffLzwPage& page,
                         const std::function<std::uint8_t*(int)>& rowAt,
                         const std::function<void(int, std::uint8_t*)>& use) {
    const std::size_t stripCount = page.strips.size();
    if (page.rowsPerStrip == 0 || page.scanline == 0 ||
        stripCount * page.rowsPerStrip < static_cast<std::uint64_t>(page.height))
        return false;
    for (const STiffStrip& strip : page.strips)
        if (strip.offset > input.Length() || strip.bytes > input.Length() - strip.offset)
            return false;
    try {
        std::vector<std::uint8_t> packed;
        std::vector<std::uint64_t> starts;
        for (std::size_t first = 0; first < stripCount;) {
            // Strips up to the packed bytes' budget, at least one.
            std::size_t last = first + 1;
            for (std::uint64_t total = page.strips[first].bytes;
                 last < stripCount && total + page.strips[last].bytes <= kPackedBytesAtOnce; ++last)
                total += page.strips[last].bytes;
            if (!ReadPacked(input, page, first, last, packed, starts)) return false;
            std::atomic<bool> refused = false;
            ParallelRows(0, static_cast<int>(last - first), 1, [&](int from, int to) {
                try {
                    CLzwStripDecoder decoder;
                    for (int k = from; k < to && !refused; ++k) {
                        const std::size_t s = first + static_cast<std::size_t>(k);
                        const int top = static_cast<int>(s * page.rowsPerStrip);
                        const int rows =
                            std::min<int>(static_cast<int>(page.rowsPerStrip), page.height - top);
                        if (rows <= 0) continue;
                        const std::span<const std::uint8_t> strip = decoder.Decompress(
                            {packed.data() + starts[k], packed.data() + starts[k + 1]},
                            static_cast<std::size_t>(rows) * page.scanline);
                        if (strip.empty()) {
                            refused = true;
                            return;
                        }
                        for (int r = 0; r < rows; ++r) {
                            std::uint8_t* row = rowAt(top + r);
                            std::memcpy(row,
                                        strip.data() + static_cast<std::size_t>(r) * page.scanline,
                                        page.scanline);
                            if (page.predictedFrom != 0)
                                AddFromLeft(row, page.scanline, page.predictedFrom);
                            use(top + r, row);
                        }
                    }
                } catch (const std::bad_alloc&) {
                    refused = true;
                }
            });
            if (refused) return false;
            first = last;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
