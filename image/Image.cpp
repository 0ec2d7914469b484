#include "Image.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "DibFields.h"
#include "DibGeometry.h"
#include "Message.h"

using dib::HasCoreHeader;
using dib::HasInfoHeader;

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

int CImage::GetWidthBytes(int width) { return static_cast<int>(dib::RowStride(width, 8)); }

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
    return dib::TableOffset(*block_, GetCompression());
}

// Whether the block holds `stride` x height bytes of rows behind its header
// and colour table.
bool CImage::HoldsRows(std::uint64_t stride) const {
    const std::int64_t width = GetWidth(), height = GetHeight();
    if (!block_ || width <= 0 || height <= 0) return false;
    return GetBitsOffset() + stride * static_cast<std::uint64_t>(height) <= block_->Size();
}

std::uint8_t* CImage::GetBits(std::uint8_t* block) const {
    if (block == nullptr || !block_ || block != block_->Data()) return nullptr;
    if (!HoldsRows(dib::RowStride(GetWidth(), 8))) return nullptr;
    return block + GetBitsOffset();
}

CStoredRows CImage::GetStoredRows() const {
    CStoredRows rows;
    if (!block_) return rows;
    rows.width = GetWidth();
    rows.height = GetHeight();
    rows.bitCount = GetBitCount();
    rows.stride = dib::RowStride(rows.width, rows.bitCount);
    if (!HoldsRows(rows.stride)) return rows;
    rows.bits = block_->Data() + GetBitsOffset();
    if (GetCompression() == 3) {
        // Bit-field masks sit right after the header, before the rows.
        const std::uint8_t* masks = block_->Data() + kInfoHeaderSize;
        rows.redMask = dib::Read32(masks);
        rows.greenMask = dib::Read32(masks + 4);
        rows.blueMask = dib::Read32(masks + 8);
    } else if (rows.bitCount == 16) {
        rows.redMask = 0x7C00, rows.greenMask = 0x03E0, rows.blueMask = 0x001F;
    } else {
        rows.redMask = 0xFF0000, rows.greenMask = 0x00FF00, rows.blueMask = 0x0000FF;
    }
    return rows;
}

CDirectChannel::CDirectChannel(std::uint32_t mask) : mask_(mask) {
    if (mask_ == 0) return;
    shift_ = std::countr_zero(mask_);
    largest_ = mask_ >> shift_;
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

HBLOCK CImage::ExchangeBlock(HBLOCK copy) {
    std::swap(block_, copy);
    return copy;
}

HBLOCK CImage::ReleaseHandle() {
    HBLOCK block = std::move(block_);
    SetDefaultRoi();
    return block;
}

HBLOCK CImage::CopyBlock(const CMemBlock* block) {
    if (block == nullptr) return nullptr;
    HBLOCK copy = CMemBlock::Allocate(block->Size(), BlockFill::Overwritten);
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
    if (width < 1 || height < 1) {
        ShowMessage("Create empty image : invalid size");
        return nullptr;
    }
    HBLOCK block = dib::MakeEngineBlock(width, height);
    if (!block) {
        ShowMessage("Create empty image : insuffisant memory");
        return nullptr;
    }
    // The block comes zero-filled: only another level needs a pass.
    if (fill != 0) std::memset(dib::EngineRows(*block), fill, block->Size() - kEngineHeaderBytes);
    return block;
}

HBLOCK CImage::CreatePictureBlock(int width, int height, int bitCount) {
    return dib::MakeEngineBlock(width, height, bitCount);
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
    if (GetNumColors() == 0) return false;
    // Only entries that lie inside the block, and at most 256, are taken.
    const dib::CColorTableLayout layout = dib::ColorTableOf(*this);
    const std::uint8_t* table = block_->Data() + layout.offset;
    for (int i = 0; i < layout.entries; ++i) {
        const std::uint8_t* e = table + static_cast<std::uint64_t>(layout.entryBytes) * i;
        palette_.entries[static_cast<std::size_t>(i)] = {e[2], e[1], e[0]};
    }
    palette_.count = layout.entries;
    return true;
}
