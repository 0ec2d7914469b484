#include "PngChunks.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "Parallel.h"
#include "RunDeflate.h"

namespace {

// Compressed bytes a chunk of image data carries.
constexpr std::size_t kImageDataChunk = std::size_t{256} << 10;
// Filtered bytes a band of rows holds, at least one row: small enough that
// a worker's buffers stay few pages, which it touches once.
constexpr std::size_t kBandBytes = std::size_t{1} << 20;

// One band compressed: its deflate blocks and the checksum of its rows. A
// worker's buffers are kept from band to band.
struct SBand {
    std::unique_ptr<std::uint8_t[]> rows, packed;
    std::size_t rowsRoom = 0, packedRoom = 0, packedSize = 0;
    uLong adler = 1;
    std::size_t filteredBytes = 0;
    const char* problem = nullptr;
};

// `buffer` made to hold at least `size` bytes, not zeroed (it is written
// whole before it is read).
std::uint8_t* Room(std::unique_ptr<std::uint8_t[]>& buffer, std::size_t& room, std::size_t size) {
    if (room < size) {
        buffer.reset();
        room = 0;
        buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        room = size;
    }
    return buffer.get();
}

// Compresses rows [first, last) as raw deflate blocks: ended by an empty
// stored block on a byte boundary, or as the stream's final block when
// `final`.
void CompressBand(int first, int last, bool final, std::size_t filteredBytes, bool matches,
                  const PngRowMaker& makeRow, SBand& band) try {
    std::vector<std::uint8_t> scratch(filteredBytes);
    band.filteredBytes = filteredBytes * static_cast<std::size_t>(last - first);
    band.adler = 1;
    band.problem = nullptr;
    const std::size_t n = band.filteredBytes;
    if (!matches) {
        // Runs only, by our own deflate, over the band's rows at once.
        std::uint8_t* const rows = Room(band.rows, band.rowsRoom, n);
        for (int y = first; y < last; ++y)
            makeRow(y, scratch.data(), rows + static_cast<std::size_t>(y - first) * filteredBytes);
        band.adler = adler32_z(1, rows, n);
        band.packedSize =
            RunDeflate(rows, n, final, Room(band.packed, band.packedRoom, RunDeflateBound(n)));
        return;
    }
    // Real matches, by zlib at its default level, a row at a time.
    std::vector<std::uint8_t> row(filteredBytes);
    // zlib's own bound for any level and strategy, with the closing empty
    // block and some room to spare.
    const std::size_t bound = n + ((n + 7) >> 3) + ((n + 63) >> 6) + 64;
    std::uint8_t* const packed = Room(band.packed, band.packedRoom, bound);
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        band.problem = "not enough memory";
        return;
    }
    stream.next_out = packed;
    stream.avail_out = static_cast<uInt>(bound);
    for (int y = first; y < last && band.problem == nullptr; ++y) {
        makeRow(y, scratch.data(), row.data());
        band.adler = adler32_z(band.adler, row.data(), filteredBytes);
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(filteredBytes);
        const int flush = y + 1 < last ? Z_NO_FLUSH : final ? Z_FINISH : Z_SYNC_FLUSH;
        const int rc = deflate(&stream, flush);
        // The bound leaves room for all of it: anything short is a fault.
        if (rc == Z_STREAM_ERROR || stream.avail_in != 0 ||
            (flush == Z_FINISH && rc != Z_STREAM_END))
            band.problem = "compression failed";
    }
    band.packedSize = bound - stream.avail_out;
    deflateEnd(&stream);
} catch (const std::bad_alloc&) {
    band.problem = "not enough memory";
}

// Compressed bytes cut into IDAT chunks as they come.
class CChunker {
public:
    explicit CChunker(CByteStream& out) : out_(out) { buffer_.reserve(kImageDataChunk); }
    bool Put(const std::uint8_t* bytes, std::size_t count) {
        while (count > 0) {
            const std::size_t take = std::min(count, kImageDataChunk - buffer_.size());
            buffer_.insert(buffer_.end(), bytes, bytes + take);
            bytes += take;
            count -= take;
            if (buffer_.size() == kImageDataChunk && !Flush()) return false;
        }
        return true;
    }
    bool Flush() {
        if (buffer_.empty()) return true;
        const bool put = PutChunk(out_, "IDAT", buffer_.data(), buffer_.size());
        buffer_.clear();
        return put;
    }

private:
    CByteStream& out_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

bool PutChunk(CByteStream& out, const char (&type)[5], const std::uint8_t* data,
              std::size_t length) {
    std::array<std::uint8_t, 8> head{};
    PutBigEndian(head.data(), static_cast<std::uint32_t>(length));
    std::memcpy(head.data() + 4, type, 4);
    uLong crc = crc32_z(0, head.data() + 4, 4);
    if (length > 0) crc = crc32_z(crc, data, length);
    std::array<std::uint8_t, 4> tail{};
    PutBigEndian(tail.data(), static_cast<std::uint32_t>(crc));
    return out.Write(head.data(), head.size()) && (length == 0 || out.Write(data, length)) &&
           out.Write(tail.data(), tail.size());
}

bool WritePngImageData(CByteStream& out, int height, std::size_t filteredBytes, bool matches,
                       const PngRowMaker& makeRow, std::string& problem) {
    CChunker chunker(out);
    // A zlib header: a 32 KiB window, and the level's flag (fastest for
    // runs only, or default).
    const std::uint8_t header[2] = {0x78, static_cast<std::uint8_t>(matches ? 0x9C : 0x01)};
    if (!chunker.Put(header, sizeof header)) return problem = kRefused, false;
    const int bandRows = static_cast<int>(
        std::clamp<std::size_t>(kBandBytes / filteredBytes, 1, std::max(height, 1)));
    const int bandCount = (height + bandRows - 1) / bandRows;
    // As many bands at a time as there are workers, written in order.
    const int atOnce = std::max(1, GetWorkerCount());
    uLong adler = 1;
    std::vector<SBand> slots(static_cast<std::size_t>(atOnce));
    for (int firstBand = 0; firstBand < bandCount; firstBand += atOnce) {
        const int bands = std::min(atOnce, bandCount - firstBand);
        const std::span<SBand> done(slots.data(), static_cast<std::size_t>(bands));
        ParallelRows(0, bands, 1, [&](int from, int to) {
            for (int b = from; b < to; ++b) {
                const int band = firstBand + b;
                const int first = band * bandRows;
                CompressBand(first, std::min(height, first + bandRows), band + 1 == bandCount,
                             filteredBytes, matches, makeRow, done[static_cast<std::size_t>(b)]);
            }
        });
        for (const SBand& band : done) {
            if (band.problem != nullptr) return problem = band.problem, false;
            if (!chunker.Put(band.packed.get(), band.packedSize)) return problem = kRefused, false;
            adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.filteredBytes));
        }
    }
    std::uint8_t trailer[4];
    PutBigEndian(trailer, static_cast<std::uint32_t>(adler));
    if (!chunker.Put(trailer, sizeof trailer) || !chunker.Flush()) return problem = kRefused, false;
    return true;
}
