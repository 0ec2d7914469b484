#pragma once
// Where a picture's colour table lies in its block, and how much of it the
// block really holds, so palette writers and block builders never step past
// the table or the block.

#include <algorithm>
#include <cstdint>

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
