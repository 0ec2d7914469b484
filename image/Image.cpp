#include "Image.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "DibFields.h"
#include "Message.h"

namespace {

// A block whose first byte is 40 has an information header; any other is read
// as a core header, as long as it is long enough to hold one.
bool HasInfoHeader(const CMemBlock& block) {
    return block.Size() >= CImage::kInfoHeaderSize && block.Data()[0] == CImage::kInfoHeaderSize;
}
bool HasCoreHeader(const CMemBlock& block) { return !HasInfoHeader(block) && block.Size() >= 12; }

}  // namespace

std::uint8_t* CImage::Lock() {
    if (!block_) {
        ShowMessage("Image : Unable to lock handle");
        return nullptr;
    }
    return block_->Data();
}

const std::uint8_t* CImage::Lock() const { return const_cast<CImage*>(this)->Lock(); }

int CImage::GetWidth() const {
    if (!block_) return 0;
    const CMemBlock& b = *block_;
    if (HasInfoHeader(b)) return dib::ReadS32(b.Data() + dib::kWidth);
    if (HasCoreHeader(b)) return dib::Read16(b.Data() + dib::kCoreWidth);
    return 0;
}

int CImage::GetHeight() const {
    if (!block_) return 0;
    const CMemBlock& b = *block_;
    if (HasInfoHeader(b)) return dib::ReadS32(b.Data() + dib::kHeight);
    if (HasCoreHeader(b)) return dib::Read16(b.Data() + dib::kCoreHeight);
    return 0;
}

int CImage::GetBitCount() const {
    if (!block_) return 0;
    if (HasInfoHeader(*block_)) return dib::Read16(block_->Data() + dib::kBitCount);
    if (HasCoreHeader(*block_)) return dib::Read16(block_->Data() + dib::kCoreBitCount);
    return 0;
}

std::uint32_t CImage::GetCompression() const {
    if (!block_ || !HasInfoHeader(*block_)) return 0;
    return dib::Read32(block_->Data() + dib::kCompression);
}

int CImage::GetWidthBytes(int width) {
    return static_cast<int>((static_cast<std::int64_t>(width) + 3) & ~std::int64_t{3});
}

int CImage::GetPadding() const {
    const int width = GetWidth();
    return (width % 4 != 0) ? 4 - (width % 4) : 0;
}

std::uint32_t CImage::GetImageSize() const {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(GetWidthBytes(GetWidth())) *
                                      static_cast<std::uint32_t>(GetHeight()));
}

std::uint32_t CImage::GetArea() const {
    return static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(GetWidth())) *
        static_cast<std::uint32_t>(GetHeight()));
}

int CImage::GetNumColors() const {
    if (!block_) return 0;
    if (HasInfoHeader(*block_)) {
        const std::uint32_t used = dib::Read32(block_->Data() + dib::kClrUsed);
        if (used != 0) return static_cast<int>(std::min<std::uint32_t>(used, 0x7FFFFFFF));
    }
    switch (GetBitCount()) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

int CImage::GetSizePalette() const {
    if (!block_) {
        ShowMessage("GetSizePalette : invalid handle");
        return 0;
    }
    const std::int64_t bytes =
        static_cast<std::int64_t>(GetNumColors()) * (HasInfoHeader(*block_) ? 4 : 3);
    return static_cast<int>(std::min<std::int64_t>(bytes, 0x7FFFFFFF));
}

std::uint64_t CImage::GetBitsOffset() const {
    if (!block_) return 0;
    const std::uint64_t entry = HasInfoHeader(*block_) ? 4 : 3;
    return GetTableOffset() + entry * static_cast<std::uint64_t>(GetNumColors());
}

std::uint64_t CImage::GetTableOffset() const {
    if (!block_) return 0;
    if (!HasInfoHeader(*block_)) return 12;
    // Bit-field pictures keep their three colour masks between header and table.
    return kInfoHeaderSize + (GetCompression() == 3 ? 12 : 0);
}

std::uint8_t* CImage::GetBits(std::uint8_t* block) const {
    if (block == nullptr || !block_ || block != block_->Data()) return nullptr;
    const std::int64_t width = GetWidth(), height = GetHeight();
    if (width <= 0 || height <= 0) return nullptr;
    const std::uint64_t rows = static_cast<std::uint64_t>(GetWidthBytes(static_cast<int>(width))) *
                               static_cast<std::uint64_t>(height);
    if (GetBitsOffset() + rows > block_->Size()) return nullptr;
    return block + GetBitsOffset();
}

const std::uint8_t* CImage::GetBits(const std::uint8_t* block) const {
    return GetBits(const_cast<std::uint8_t*>(block));
}

bool CImage::SetRoi(CRect r) {
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    const int width = GetWidth(), height = GetHeight();
    if (r.right > width || r.bottom > height) {
        ShowMessage("SetRoi : invalid rect, also set default");
        roi_ = {0, 0, std::max(width, 0), std::max(height, 0)};
        return false;
    }
    // A negative right or bottom (only possible before the swap) would leave
    // a rectangle outside the picture: clamp so no operation sees one.
    r.left = std::max(r.left, 0);
    r.right = std::max(r.right, 0);
    r.top = std::max(r.top, 0);
    r.bottom = std::max(r.bottom, 0);
    roi_ = {r.left, height - r.bottom, r.right, height - r.top};
    return true;
}

bool CImage::SetDefaultRoi() {
    roi_ = {0, 0, std::max(GetWidth(), 0), std::max(GetHeight(), 0)};
    return true;
}

void CImage::SetHandle(HBLOCK block) {
    block_ = std::move(block);
    SetRoi({0, 0, GetWidth(), GetHeight()});
    FillPalette();
}

HBLOCK CImage::CopyBlock(const CMemBlock* block) {
    if (block == nullptr) return nullptr;
    HBLOCK copy = CMemBlock::Allocate(block->Size());
    if (!copy) return nullptr;
    if (block->Size() > 0) std::memcpy(copy->Data(), block->Data(), block->Size());
    return copy;
}

void CImage::SaveBackup() {
    if (!block_) return;
    backup_ = CopyBlock(block_.get());
}

void CImage::Undo() {
    if (!backup_) return;
    if (block_) {
        std::swap(block_, backup_);  // the two pictures change places
    } else {
        block_ = CopyBlock(backup_.get());
        if (!block_) return;
    }
    SetRoi({0, 0, GetWidth(), GetHeight()});
    FillPalette();
}

bool CImage::WriteHeader(CMemBlock* block, std::uint32_t size, std::int32_t width,
                         std::int32_t height, std::uint16_t planes, std::uint16_t bitCount,
                         std::uint32_t compression, std::uint32_t imageSize,
                         std::int32_t xPelsPerMeter, std::int32_t yPelsPerMeter,
                         std::uint32_t clrUsed, std::uint32_t clrImportant) {
    if (block == nullptr || block->Size() < kInfoHeaderSize) return false;
    std::uint8_t* h = block->Data();
    dib::Write32(h + dib::kSize, size);
    dib::Write32(h + dib::kWidth, static_cast<std::uint32_t>(width));
    dib::Write32(h + dib::kHeight, static_cast<std::uint32_t>(height));
    dib::Write16(h + dib::kPlanes, planes);
    dib::Write16(h + dib::kBitCount, bitCount);
    dib::Write32(h + dib::kCompression, compression);
    dib::Write32(h + dib::kSizeImage, imageSize);
    dib::Write32(h + dib::kXPels, static_cast<std::uint32_t>(xPelsPerMeter));
    dib::Write32(h + dib::kYPels, static_cast<std::uint32_t>(yPelsPerMeter));
    dib::Write32(h + dib::kClrUsed, clrUsed);
    dib::Write32(h + dib::kClrImportant, clrImportant);
    return true;
}

HBLOCK CImage::CreateEmptyBlock(int width, int height, std::uint8_t fill) {
    const std::uint64_t stride = width > 0 ? static_cast<std::uint64_t>(GetWidthBytes(width)) : 0;
    const std::uint64_t size = stride * static_cast<std::uint64_t>(std::max(height, 0));
    if (width < 1 || height < 1) {
        ShowMessage("Create empty image : invalid size");
        return nullptr;
    }
    HBLOCK block;
    if (kEngineHeaderBytes + size <= CMemBlock::kMaxBlockSize)
        block = CMemBlock::Allocate(kEngineHeaderBytes + size);
    if (!block) {
        ShowMessage("Create empty image : insuffisant memory");
        return nullptr;
    }
    WriteHeader(block.get(), kInfoHeaderSize, width, height, 1, 8, 0,
                static_cast<std::uint32_t>(size), 0, 0, 256, 256);
    std::uint8_t* table = block->Data() + kInfoHeaderSize;
    for (int i = 0; i < 256; ++i) {
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<std::uint8_t>(i);
    }
    // The block comes zero-filled: only another level needs a pass.
    if (fill != 0) std::memset(block->Data() + kEngineHeaderBytes, fill, size);
    return block;
}

bool CImage::CreateEmptyImage(int width, int height, std::uint8_t fill) {
    HBLOCK block = CreateEmptyBlock(width, height, fill);
    if (!block) return false;
    SetHandle(std::move(block));
    return true;
}

bool CImage::AfterRead() {
    SetRoi({0, 0, GetWidth(), GetHeight()});
    GeneratePalette();
    return true;
}

bool CImage::GeneratePalette() { return FillPalette(); }

bool CImage::FillPalette() {
    palette_ = CPaletteTable{};
    const int n = GetNumColors();
    if (n == 0) return false;
    const bool info = HasInfoHeader(*block_);
    const std::uint64_t header = GetTableOffset();
    const std::uint64_t entry = info ? 4 : 3;
    // Only entries that lie inside the block, and at most 256, are taken.
    const std::uint64_t fit = block_->Size() > header ? (block_->Size() - header) / entry : 0;
    const int count =
        static_cast<int>(std::min<std::uint64_t>({static_cast<std::uint64_t>(n), 256, fit}));
    const std::uint8_t* table = block_->Data() + header;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = table + entry * static_cast<std::uint64_t>(i);
        palette_.entries[static_cast<std::size_t>(i)] = {e[2], e[1], e[0]};
    }
    palette_.count = count;
    return true;
}
