#include "DibGeometry.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace dib {

namespace {
constexpr int kCoreHeaderSize = 12;
constexpr std::uint32_t kBitFields = 3;
}  // namespace

bool HasInfoHeader(const CMemBlock& block) {
    return block.Size() >= CImage::kInfoHeaderSize && block.Data()[0] == CImage::kInfoHeaderSize;
}

bool HasCoreHeader(const CMemBlock& block) {
    return !HasInfoHeader(block) && block.Size() >= kCoreHeaderSize;
}

std::uint64_t RowStride(std::int64_t width, int bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    return (static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
}

std::uint64_t TableOffset(const CMemBlock& block, std::uint32_t compression) {
    if (!HasInfoHeader(block)) return kCoreHeaderSize;
    return CImage::kInfoHeaderSize + (compression == kBitFields ? 12 : 0);
}

CColorTableLayout ColorTableOf(const CImage& image) {
    const CMemBlock* block = image.GetHandle();
    if (block == nullptr) return {};
    CColorTableLayout layout;
    layout.offset = TableOffset(*block, image.GetCompression());
    layout.entryBytes = HasInfoHeader(*block) ? 4 : 3;
    const std::uint64_t room =
        block->Size() > layout.offset ? (block->Size() - layout.offset) / layout.entryBytes : 0;
    layout.entries = static_cast<int>(
        std::min<std::uint64_t>({static_cast<std::uint64_t>(image.GetNumColors()), 256, room}));
    return layout;
}

void CopyColorTable(const CImage& from, CMemBlock& to) {
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

HBLOCK MakeEngineBlock(std::int64_t width, std::int64_t height, int bitCount, BlockFill fill) {
    if (width <= 0 || height <= 0 || (bitCount != 8 && bitCount != 24)) return nullptr;
    const std::uint64_t imageBytes =
        RowStride(width, bitCount) * static_cast<std::uint64_t>(height);
    const std::uint32_t entries = bitCount == 8 ? 256 : 0;
    const std::uint64_t headerBytes = CImage::kInfoHeaderSize + 4 * entries;
    if (imageBytes > CMemBlock::kMaxBlockSize - headerBytes) return nullptr;
    HBLOCK block = CMemBlock::Allocate(headerBytes + imageBytes, fill);
    if (!block) return nullptr;
    if (fill == BlockFill::Overwritten) {
        const std::uint64_t stride = RowStride(width, bitCount);
        const std::uint64_t pixelBytes = static_cast<std::uint64_t>(width) * (bitCount / 8);
        std::uint8_t* rows = block->Data() + headerBytes;
        if (stride > pixelBytes)
            for (std::int64_t y = 0; y < height; ++y)
                std::memset(rows + static_cast<std::uint64_t>(y) * stride + pixelBytes, 0,
                            stride - pixelBytes);
    }
    CImage::WriteHeader(block.get(), CImage::kInfoHeaderSize, static_cast<std::int32_t>(width),
                        static_cast<std::int32_t>(height), 1, static_cast<std::uint16_t>(bitCount),
                        0, static_cast<std::uint32_t>(imageBytes), 0, 0, entries, entries);
    if (entries == 0) return block;
    std::uint8_t* table = block->Data() + CImage::kInfoHeaderSize;
    for (int i = 0; i < 256; ++i) {
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<std::uint8_t>(i);
        table[4 * i + 3] = 0;
    }
    return block;
}

}  // namespace dib
