#pragma once
// The engine's BMP reader in its two steps, so that the sizes a file claims
// are checked between them, before anything is allocated: first the headers
// (what the picture is, where its table and rows lie), then the masks, the
// colour table and the rows, into memory made for them. ReadFileBMP runs the
// two with the limits of PictureLimits.h in between; the picture-file
// reader runs its own checks there, the same limits for every format.
//
// Whatever header the file has (core, second-version, 40, 108 or 124
// bytes), the block gets the 40-byte information header with 4-byte colour
// entries, at the file's own depth (1, 4, 8, 16, 24 or 32 bits, bit-field
// masks kept); top-down rows are turned bottom-up and run-length coded ones
// decoded, so every operation sees one layout.

#include <cstdint>
#include <memory>

#include "ByteStream.h"
#include "MemBlock.h"

// Why a BMP file is refused; each but Silent has the engine's message.
enum class BmpRefusal {
    None,
    Silent,  // no BMP file header: nothing is said
    Damaged,
    NoMemory,
    UnsupportedHeader,
    UnsupportedFormat,
    BadSize,
    TooLarge
};

// What the headers say of the picture and of its rows in the file.
struct SBmpPicture {
    std::int64_t width = 0, height = 0;  // both above 0; a height may reach 2^31
    int bitCount = 0;                    // 1, 4, 8, 16, 24 or 32
    bool runLength = false;              // RLE8 or RLE4 rows
    std::uint64_t dataBytes = 0;         // bytes of the file from where its rows start
    // The bit-field masks and colour table as the block keeps them, right
    // after its 40-byte information header.
    std::uint64_t tableBytes = 0;
};

class CBmpFileReader {
public:
    // Reads `file` from its start, never past the length it announces.
    explicit CBmpFileReader(CByteStream& file);
    ~CBmpFileReader();
    CBmpFileReader(const CBmpFileReader&) = delete;
    CBmpFileReader& operator=(const CBmpFileReader&) = delete;

    // Step 1: the file header and the DIB header, every field within what
    // the reader decodes (sides above 0, its depths and compressions), and
    // where the table and the rows lie. Silent when the file ends inside
    // its file header.
    BmpRefusal ReadHeaders();
    // What ReadHeaders found.
    const SBmpPicture& Picture() const;
    // What the block of step 2 takes: the information header, masks and
    // table, then the rows at the stride of the file's depth.
    std::uint64_t BlockBytes() const;
    // Step 2, once the headers are read and the sizes checked: the
    // information header, masks and table, then the rows bottom-up, into
    // `block`, zero-filled and of BlockBytes() at least (NoMemory otherwise).
    BmpRefusal ReadPixels(CMemBlock& block);
    // The engine's message for `refusal` ("ReadFileBMP : damaged file"), or
    // "ReadFileBMP : Error while reading" once the file gave fewer bytes
    // than its length promised; empty for Silent.
    const char* Message(BmpRefusal refusal) const;

private:
    struct SState;
    std::unique_ptr<SState> state_;
};
