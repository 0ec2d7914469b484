#pragma once
// What every picture writer promises, checked the same way by the fuzz
// target and by `make test`: a picture of any size, depth and table that a
// format holds is written without complaint, and the file reads again as a
// picture of the same size showing the same colour at every pixel.
//
// The picture is made from the input as a well-formed BMP file, read by the
// engine's own reader: byte 0 picks the depth (1, 4 or 8 bits with a table,
// 8 bits with the grey ramp, 24 bits), bytes 1 to 3 the size, byte 4 how
// many table entries the indices use; the table's colours and the pixels
// follow, the input's bytes used again from the start when they run out.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Message.h"
#include "PictureCodec.h"

namespace writerprobe {

// The colour pixel (x, y) shows, rows counted as stored, as 0xRRGGBB; ~0u
// for a depth no reader gives.
inline std::uint32_t ShownColour(const CImage& image, const CStoredRows& rows, int x, int y) {
    const std::uint8_t* row = rows.Row(y);
    if (rows.bitCount <= 8) {
        const unsigned bit = static_cast<unsigned>(x) * rows.bitCount;
        const unsigned index =
            (row[bit / 8] >> (8 - rows.bitCount - bit % 8)) & ((1u << rows.bitCount) - 1);
        const CPaletteTable::Entry& e = image.GetPalette()->entries[index];
        return static_cast<std::uint32_t>(e.red << 16 | e.green << 8 | e.blue);
    }
    if (rows.bitCount != 24) return ~0u;
    const std::uint8_t* p = row + 3 * x;
    return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

// The BMP file the input describes.
inline std::vector<std::uint8_t> MakeBmp(const std::uint8_t* data, std::size_t size) {
    auto at = [&](std::size_t i) -> std::uint8_t { return size == 0 ? 0 : data[i % size]; };
    static constexpr int kBits[] = {1, 4, 8, 8, 24};
    const int kind = at(0) % 5, bits = kBits[kind];
    const bool greyRamp = kind == 3;
    // Small sizes: each input is written in up to seven formats, and odd
    // widths, short rows and tables matter more than many pixels.
    const int width = 1 + (at(1) | at(2) << 8) % 130, height = 1 + at(3) % 40;
    const int entries = bits == 24 ? 0 : greyRamp ? 256 : 1 + at(4) % (1 << bits);
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(entries);
    std::vector<std::uint8_t> file(offset + stride * static_cast<std::uint32_t>(height), 0);
    auto put = [&](std::size_t where, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[where + i] = static_cast<std::uint8_t>(value >> 8 * i);
    };
    file[0] = 'B', file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(bits), 2);
    put(46, static_cast<std::uint32_t>(entries), 4);
    std::size_t next = 5;
    for (int i = 0; i < entries; ++i) {
        for (int c = 0; c < 3; ++c)
            file[54 + 4 * i + c] = greyRamp ? static_cast<std::uint8_t>(i) : at(next++);
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = file.data() + offset + stride * static_cast<std::uint32_t>(y);
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                for (int c = 0; c < 3; ++c) row[3 * x + c] = at(next++);
                continue;
            }
            // Indices stay inside the table the file gives.
            const unsigned index = at(next++) % static_cast<unsigned>(entries);
            const unsigned bit = static_cast<unsigned>(x * bits);
            row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
        }
    }
    return file;
}

}  // namespace writerprobe

// Empty when the promise holds, otherwise what broke it.
inline std::string ProbePictureWriter(const std::uint8_t* data, std::size_t size) {
    std::string told;
    CScopedMessageSink sink([&](const std::string& text) { told += text; });
    CCodecInput bmp(writerprobe::MakeBmp(data, size));
    CImage image;
    if (ReadFormatPicture(image, bmp, PictureFormat::Bmp).status != CodecStatus::Ok)
        return "a well-formed BMP file was refused: " + told;
    const CStoredRows rows = image.GetStoredRows();
    for (const PictureFormat format : WritablePictureFormats()) {
        if (!FormatHolds(format, image)) continue;
        const std::string name = FormatName(format);
        CMemoryStream out;
        std::string problem;
        if (WriteFormatPicture(image, out, format, problem) != CodecStatus::Ok)
            return name + ": a picture the format holds was not written: " + problem + told;
        CCodecInput file(out.Bytes());
        CImage back;
        const SCodecRead read = ReadFormatPicture(back, file, format);
        if (read.status != CodecStatus::Ok)
            return name + ": a written picture could not be read again: " + read.problem + told;
        if (back.GetSize() != image.GetSize()) return name + ": the size changed";
        const CStoredRows again = back.GetStoredRows();
        for (int y = 0; y < rows.height; ++y)
            for (int x = 0; x < rows.width; ++x)
                if (writerprobe::ShownColour(back, again, x, y) !=
                    writerprobe::ShownColour(image, rows, x, y))
                    return name + ": pixel " + std::to_string(x) + "," + std::to_string(y) +
                           " shows another colour";
    }
    return {};
}
