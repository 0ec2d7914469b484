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

// What a picture's file takes beside its rows when written as a BMP: file
// header, the engine's header and table, and bit-field masks.
constexpr std::uint64_t kFileBytesBesideRows = 14 + 40 + 1024 + 16;

// Bytes of a row of `width` pixels of `bitCount` bits, padded to a multiple
// of 4 as a BMP's rows and the engine's are.
constexpr std::uint64_t PaddedRowBytes(std::uint64_t width, int bitCount) {
    return (width * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

// Whether a picture of `width` x `height` pixels of `bitCount` bits fits
// the largest file. The engine views every picture at one byte a pixel too:
// fewer bits count as 8. Here and below, nothing overflows for a width below
// 2^31, a height of 2^31 at most (a top-down BMP's) and 32 bits at most.
constexpr bool PictureFitsFile(std::uint64_t width, std::uint64_t height, int bitCount) {
    return PaddedRowBytes(width, bitCount < 8 ? 8 : bitCount) * height + kFileBytesBesideRows <=
           kMaxFileBytes;
}

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

// The bytes of plain rows a file must hold for `height` rows of `width`
// pixels of `bitCount` bits: every row, but the last one may lack its
// padding (the file ends where its last pixel ends; the missing bytes stay
// 0).
constexpr std::uint64_t PlainRowsNeeded(std::uint64_t width, std::uint64_t height, int bitCount) {
    const std::uint64_t stride = PaddedRowBytes(width, bitCount);
    const std::uint64_t lastRowBytes = (width * static_cast<std::uint64_t>(bitCount) + 7) / 8;
    return stride * height - (stride - lastRowBytes);
}

// Whether rows kept as the file stores them (a BMP's) can come from the
// `dataBytes` it holds from where they start. Plain rows must all be there.
// Run-length coded ones may leave most of the picture at 0 with a few bytes
// (an early end-of-picture code, long deltas), so they are held to the ratio
// of RowsFitData instead.
constexpr bool StoredRowsFitData(std::uint64_t width, std::uint64_t height, int bitCount,
                                 bool runLength, std::uint64_t dataBytes) {
    return runLength ? RowsFitData(PaddedRowBytes(width, bitCount) * height, dataBytes)
                     : PlainRowsNeeded(width, height, bitCount) <= dataBytes;
}

}  // namespace limits
