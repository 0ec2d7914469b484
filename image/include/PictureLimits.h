#pragma once
// The limits every picture file is held to, BMP and the other formats alike.

#include <cstdint>

namespace limits {

// The largest picture file, and so the largest picture: a BMP file's sizes
// are 32-bit signed numbers, so a picture must fit a BMP file below 2 GiB
// with its headers and table. Files read from a stream that has no length
// (standard input) may not exceed it either.
constexpr std::uint64_t kMaxFileBytes = 0x7FFFFFFF;

// Widths and heights, in the engine's int.
constexpr std::int64_t kMaxSide = 0x7FFFFFFF;

// A compressed file may claim a picture far larger than its data could
// fill. Up to kRowsWithoutData bytes of rows (an 8192 x 8192 picture at 8
// bits) are allocated whatever the file's length: fax and run-length coding
// describe a blank area in a few bits whatever its size, and every real page
// of fax fits. Beyond it, the file must hold a byte for every
// kRowBytesPerFileByte bytes of rows. The strongest general coding of real
// pictures is LZW: about 1365 to 1 in TIFF (codes restart at 4096) and up to
// about 2730 to 1 in GIF (its table may stay full), deflate reaching about
// 1032 to 1; 1-bit samples open as 8-bit rows, eight times their bytes. So
// no real file comes near 8 x 1365 = 10920 bytes of rows a byte of data; the
// next power of two leaves it room, while a file of a few bytes still never
// makes a reader ask for gigabytes.
constexpr std::uint64_t kRowsWithoutData = std::uint64_t{64} << 20;
constexpr std::uint64_t kRowBytesPerFileByte = 16384;

// Whether `rowBytes` of rows may be allocated for a file of `fileBytes`.
constexpr bool RowsFitData(std::uint64_t rowBytes, std::uint64_t fileBytes) {
    return rowBytes <= kRowsWithoutData || rowBytes / kRowBytesPerFileByte <= fileBytes;
}

}  // namespace limits
