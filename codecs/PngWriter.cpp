// PNG files: the chunks written here, the pixels compressed by zlib, row by
// row from the engine's rows. Grey when the table is the grey ramp, palette
// (1, 4 or 8 bits, the whole table) otherwise, RGB for colour.
//
// Grey and RGB rows get the "sub" filter and deflate runs at its fastest
// level with run-length matches: the settings of quick writers. Palette
// rows (1, 4 or 8 bits) are not filtered, as the format's own advice says (a
// difference of indices means nothing), and deflate looks for real matches
// at zlib's default level: such pictures are drawings and maps, where
// repeats pay, and the file is then no larger than libpng's default.
// Handing rows to zlib ourselves spares a library's byte-by-byte filter and
// its copies, and lets bands of rows be compressed on all cores.

#include <array>
#include <cstring>
#include <vector>

#include "PictureReader.h"
#include "PictureSource.h"
#include "PngChunks.h"
#include "RowDifference.h"

namespace {

enum ColourType : std::uint8_t { kGrey = 0, kRgb = 2, kIndexed = 3 };

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
    const std::size_t rowBytes = 2 * static_cast<std::size_t>(samples.Width());
    const auto makeRow = [&](int y, std::uint8_t* row, std::uint8_t* filtered) {
        const std::uint16_t* in = samples.Row16(y);
        for (int x = 0; x < samples.Width(); ++x) {
            row[2 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(in[x] >> 8);
            row[2 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(in[x]);
        }
        filtered[0] = 1;  // "sub", a sample of two bytes to the left
        DifferenceFromLeft(row, rowBytes, 2, filtered + 1);
    };
    if (!WritePngImageData(out, samples.Height(), rowBytes + 1, false, makeRow, why))
        return failed();
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
    const std::size_t rowBytes = (static_cast<std::size_t>(source.Width()) * bits + 7) / 8;
    const std::size_t step = bits == 24 ? 3 : 1;
    const auto makeRow = [&](int y, std::uint8_t* scratch, std::uint8_t* filtered) {
        filtered[0] = indexed ? 0 : 1;  // none, or "sub"
        if (indexed)
            std::memcpy(filtered + 1, source.Row(y, scratch), rowBytes);
        else
            DifferenceFromLeft(source.Row(y, scratch), rowBytes, step, filtered + 1);
    };
    if (!WritePngImageData(out, source.Height(), rowBytes + 1, indexed, makeRow, why))
        return failed();
    if (!PutChunk(out, "IEND", nullptr, 0)) return why = kRefused, failed();
    return CodecStatus::Ok;
}
