#include "PageBlock.h"

#include "PictureLimits.h"

int PageBitCount(const SPictureHeader& header) {
    switch (header.kind) {
        case PictureKind::Colour24:
            return 24;
        case PictureKind::Dib:
            return header.dib.bitCount;
        case PictureKind::Grey8:
        case PictureKind::Palette8:
            break;
    }
    return 8;
}

std::uint64_t PageRowBytes(const SPictureHeader& header) {
    return limits::PaddedRowBytes(static_cast<std::uint64_t>(header.width), PageBitCount(header)) *
           static_cast<std::uint64_t>(header.height);
}

namespace {

// What the block holds before its rows: the information header, then the
// file's own masks and table, or the grey table of 8-bit pictures (counted
// at 24 bits too).
std::uint64_t HeaderBytes(const SPictureHeader& header) {
    if (header.kind == PictureKind::Dib) return CImage::kInfoHeaderSize + header.dib.tableBytes;
    return CImage::kEngineHeaderBytes;
}

}  // namespace

std::uint64_t PageBlockBytes(const SPictureHeader& header) {
    return PageRowBytes(header) + HeaderBytes(header);
}

HBLOCK MakePageBlock(const SPictureHeader& header, SPictureRows& rows) {
    const int bitCount = PageBitCount(header);
    rows.width = static_cast<int>(header.width);
    rows.height = static_cast<int>(header.height);
    rows.stride = limits::PaddedRowBytes(static_cast<std::uint64_t>(header.width), bitCount);
    if (header.kind == PictureKind::Dib) {
        HBLOCK block = CMemBlock::Allocate(PageBlockBytes(header));
        if (!block) return nullptr;
        rows.block = block.get();
        rows.bits = block->Data() + HeaderBytes(header);
        return block;
    }
    HBLOCK block = CImage::CreatePictureBlock(rows.width, rows.height, bitCount);
    if (!block) return nullptr;
    rows.table = bitCount == 8 ? block->Data() + CImage::kInfoHeaderSize : nullptr;
    rows.bits = block->Data() + CImage::kInfoHeaderSize + (bitCount == 8 ? 1024 : 0);
    return block;
}
