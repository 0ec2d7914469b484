#pragma once
// Where a picture's colour table lies in its block, and how much of it the
// block really holds, so palette writers and block builders never step past
// the table or the block.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Image.h"

struct CColorTableLayout {
    std::uint64_t offset = 0;  // from the start of the block
    int entryBytes = 4;        // 4 after an information header, 3 after a core header
    int entries = 0;           // entries present in the block, at most 256
};

inline CColorTableLayout ColorTableOf(const CImage& image) {
    const CMemBlock* block = image.GetHandle();
    if (block == nullptr) return {};
    CColorTableLayout layout;
    layout.offset = image.GetTableOffset();
    layout.entryBytes =
        (block->Size() >= CImage::kInfoHeaderSize && block->Data()[0] == CImage::kInfoHeaderSize)
            ? 4
            : 3;
    const std::uint64_t room =
        block->Size() > layout.offset ? (block->Size() - layout.offset) / layout.entryBytes : 0;
    layout.entries = static_cast<int>(
        std::min<std::uint64_t>({static_cast<std::uint64_t>(image.GetNumColors()), 256, room}));
    return layout;
}

// Copies the entries of `from`'s colour table that its block holds (at most
// 256) into the 256-entry table of an engine block, all four bytes of each
// (a core header's 3-byte entries get a 0); entries it lacks take the grey
// ramp.
inline void CopyColorTable(const CImage& from, CMemBlock& to) {
    const CColorTableLayout layout = ColorTableOf(from);
    const std::uint8_t* source = from.GetHandle()->Data() + layout.offset;
    std::uint8_t* table = to.Data() + CImage::kInfoHeaderSize;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* entry = table + 4 * i;
        if (i < layout.entries) {
            std::memcpy(entry, source + static_cast<std::ptrdiff_t>(i) * layout.entryBytes,
                        static_cast<std::size_t>(layout.entryBytes));
            if (layout.entryBytes == 3) entry[3] = 0;
        } else {
            entry[0] = entry[1] = entry[2] = static_cast<std::uint8_t>(i);
            entry[3] = 0;
        }
    }
}
