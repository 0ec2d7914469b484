// PNG files: the chunks written here, the pixels compressed by zlib, row by
// row from the engine's rows. Grey when the table is the grey ramp, palette
// (1, 4 or 8 bits, the whole table) otherwise, RGB for colour.
//
// Grey and RGB rows get the "sub" filter and deflate runs at its fastest
// level with run-length matches: the settings of quick writers, which make
// the same compressed stream. Palette rows (1, 4 or 8 bits) are not filtered,
// as the format's own advice says (a difference of indices means nothing),
// and deflate looks for real matches at zlib's default level: such pictures
// are drawings and maps, where repeats pay, and the file is then no larger
// than libpng's default. Handing rows to zlib ourselves spares a library's
// byte-by-byte filter and its copies.

#include <zlib.h>

#include <array>
#include <cstring>
#include <vector>

#include "PictureReader.h"
#include "PictureSource.h"
#include "RowDifference.h"

namespace {

// Compressed bytes a chunk of image data carries.
constexpr std::size_t kImageDataChunk = std::size_t{256} << 10;

enum ColourType : std::uint8_t { kGrey = 0, kRgb = 2, kIndexed = 3 };

// Why a write stopped when the output (a full disk, say) refused bytes.
constexpr const char* kRefused = "the data could not be written";

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// Writes a chunk: its length, type, data and the checksum of type and data.
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

// The image data as one zlib stream, cut into chunks as the output fills.
class CImageData {
public:
    explicit CImageData(CByteStream& out) : out_(out), buffer_(kImageDataChunk) {}
    ~CImageData() {
        if (started_) deflateEnd(&stream_);
    }
    CImageData(const CImageData&) = delete;
    CImageData& operator=(const CImageData&) = delete;

    // False with `problem` when zlib cannot start.
    bool Start(bool matches, std::string& problem) {
        started_ = deflateInit2(&stream_, matches ? Z_DEFAULT_COMPRESSION : 1, Z_DEFLATED, 15, 8,
                                matches ? Z_DEFAULT_STRATEGY : Z_RLE) == Z_OK;
        if (!started_) problem = "not enough memory";
        stream_.next_out = buffer_.data();
        stream_.avail_out = static_cast<uInt>(buffer_.size());
        return started_;
    }

    // Compresses `bytes`; the last call finishes the stream and writes what
    // is left. False with `problem` when the output refuses the data.
    bool Add(std::uint8_t* bytes, std::size_t count, bool last, std::string& problem) {
        stream_.next_in = bytes;
        stream_.avail_in = static_cast<uInt>(count);
        const int flush = last ? Z_FINISH : Z_NO_FLUSH;
        int rc = Z_OK;
        do {
            if (stream_.avail_out == 0 && !Flush(problem)) return false;
            rc = deflate(&stream_, flush);
            if (rc == Z_STREAM_ERROR) {
                problem = "compression failed";
                return false;
            }
        } while (stream_.avail_in > 0 || (last && rc != Z_STREAM_END));
        return !last || Flush(problem);
    }

private:
    bool Flush(std::string& problem) {
        const std::size_t ready = buffer_.size() - stream_.avail_out;
        if (ready > 0 && !PutChunk(out_, "IDAT", buffer_.data(), ready)) {
            problem = kRefused;
            return false;
        }
        stream_.next_out = buffer_.data();
        stream_.avail_out = static_cast<uInt>(buffer_.size());
        return true;
    }

    CByteStream& out_;
    std::vector<std::uint8_t> buffer_;
    z_stream stream_{};
    bool started_ = false;
};

}  // namespace

// A file's own unsigned samples as 16-bit grey, unscaled (a 12-bit
// picture keeps 0..4095), big-endian, each row with the "sub" filter.
CodecStatus WritePngSamples(const CFileSamples& samples, CByteStream& out, std::string& problem) {
    std::string why;
    auto failed = [&] {
        problem = "PNG file not written (" + why + ")";
        return CodecStatus::Damaged;
    };
    std::array<std::uint8_t, 13> header{};
    PutBigEndian(header.data(), static_cast<std::uint32_t>(samples.Width()));
    PutBigEndian(header.data() + 4, static_cast<std::uint32_t>(samples.Height()));
    header[8] = 16;
    header[9] = kGrey;
    if (!out.Write("\x89PNG\r\n\x1a\n", 8) || !PutChunk(out, "IHDR", header.data(), header.size()))
        return why = kRefused, failed();
    CImageData data(out);
    if (!data.Start(false, why)) return failed();
    const std::size_t rowBytes = 2 * static_cast<std::size_t>(samples.Width());
    std::vector<std::uint8_t> row(rowBytes), filtered(rowBytes + 1);
    for (int y = 0; y < samples.Height(); ++y) {
        const std::uint16_t* in = samples.Row16(y);
        for (int x = 0; x < samples.Width(); ++x) {
            row[2 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(in[x] >> 8);
            row[2 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(in[x]);
        }
        filtered[0] = 1;  // "sub", a sample of two bytes to the left
        DifferenceFromLeft(row.data(), rowBytes, 2, filtered.data() + 1);
        if (!data.Add(filtered.data(), filtered.size(), y == samples.Height() - 1, why))
            return failed();
    }
    if (!PutChunk(out, "IEND", nullptr, 0)) return why = kRefused, failed();
    return CodecStatus::Ok;
}

CodecStatus WritePng(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PNG", problem)) return CodecStatus::Unsupported;
    std::string why;
    auto failed = [&] {
        problem = "PNG file not written (" + why + ")";
        return CodecStatus::Damaged;
    };
    const int bits = source.BitCount();
    const ColourType colour = bits == 24 ? kRgb : source.IsGrey() ? kGrey : kIndexed;

    std::array<std::uint8_t, 13> header{};
    PutBigEndian(header.data(), static_cast<std::uint32_t>(source.Width()));
    PutBigEndian(header.data() + 4, static_cast<std::uint32_t>(source.Height()));
    header[8] = static_cast<std::uint8_t>(bits == 24 ? 8 : bits);
    header[9] = colour;  // then deflate, the one filter method, no interlacing
    bool written =
        out.Write("\x89PNG\r\n\x1a\n", 8) && PutChunk(out, "IHDR", header.data(), header.size());
    if (written && colour == kIndexed) {
        // The whole table of the depth; entries past the picture's own are black.
        std::vector<std::uint8_t> table(3u << bits, 0);
        for (int i = 0; i < source.Palette().count && i < (1 << bits); ++i) {
            const CPaletteTable::Entry& e = source.Palette().entries[i];
            table[3 * i] = e.red, table[3 * i + 1] = e.green, table[3 * i + 2] = e.blue;
        }
        written = PutChunk(out, "PLTE", table.data(), table.size());
    }
    if (!written) return why = kRefused, failed();

    const bool indexed = colour == kIndexed;
    CImageData data(out);
    if (!data.Start(indexed, why)) return failed();
    const std::size_t rowBytes = (static_cast<std::size_t>(source.Width()) * bits + 7) / 8;
    const std::size_t step = bits == 24 ? 3 : 1;
    std::vector<std::uint8_t> filtered(rowBytes + 1);
    for (int y = 0; y < source.Height(); ++y) {
        filtered[0] = indexed ? 0 : 1;  // none, or "sub"
        if (indexed)
            std::memcpy(filtered.data() + 1, source.Row(y), rowBytes);
        else
            DifferenceFromLeft(source.Row(y), rowBytes, step, filtered.data() + 1);
        if (!data.Add(filtered.data(), filtered.size(), y == source.Height() - 1, why))
            return failed();
    }
    if (!PutChunk(out, "IEND", nullptr, 0)) return why = kRefused, failed();
    return CodecStatus::Ok;
}
