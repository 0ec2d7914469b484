#pragma once
// Where things lie in a packed DIB, worked out in one place: the stride of a
// row at any depth, where the colour table starts, how many of its entries
// the block really holds, and the engine's own block for a new picture.
//
// A block whose first byte is 40 has an information header (4-byte colour
// entries, then bit-field masks when its compression says so); any other long
// enough is read as a 12-byte core header (3-byte entries).

#include <cstdint>

#include "Image.h"
#include "MemBlock.h"

namespace dib {

bool HasInfoHeader(const CMemBlock& block);
bool HasCoreHeader(const CMemBlock& block);

// Bytes of one stored row: `width` pixels of `bitCount` bits, padded to a
// multiple of 4. 0 for a width below 1.
std::uint64_t RowStride(std::int64_t width, int bitCount);

// Where a picture's colour table lies in its block, and how much of it the
// block really holds, so palette readers and writers never step past the
// table or the block.
struct CColorTableLayout {
    std::uint64_t offset = 0;  // from the start of the block
    int entryBytes = 4;        // 4 after an information header, 3 after a core header
    int entries = 0;           // entries present in the block, at most 256
};
// The layout of `image`'s table; no entries without a block.
CColorTableLayout ColorTableOf(const CImage& image);

// Copies the entries of `from`'s colour table that its block holds (at most
// 256) into the 256-entry table of an engine block, all four bytes of each
// (a core header's 3-byte entries get a 0); entries it lacks take the grey
// ramp.
void CopyColorTable(const CImage& from, CMemBlock& to);

// Offset of the colour table: after the header and any bit-field masks.
std::uint64_t TableOffset(const CMemBlock& block, std::uint32_t compression);

// An engine block for width x height pixels of 8 bits: the information
// header, a grey 256-entry table, then the rows, zero-filled. With a
// `bitCount` of 24 there is no table and each pixel takes three bytes. With
// BlockFill::Overwritten only the pixels are left unwritten, for a caller
// that draws every one (the rows' padding is zeroed). Null when the size is
// not positive, is beyond what a block may hold, or memory cannot be had;
// the caller reports.
HBLOCK MakeEngineBlock(std::int64_t width, std::int64_t height, int bitCount = 8,
                       BlockFill fill = BlockFill::Zeroed);

// The rows of an engine block.
inline std::uint8_t* EngineRows(CMemBlock& block) {
    return block.Data() + CImage::kEngineHeaderBytes;
}

}  // namespace dib
