// Geometric operations on the whole picture (the region of interest is
// ignored): the two mirrors work in place; rotation, resizing and the palette
// bar build a new block in the engine's shape, carry the colour table over
// and install it with SetHandle, which resets the region of interest and
// rebuilds the palette object.
//
// Every check comes before the new block is made, and a failure leaves the
// picture as it was.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "Image.h"
#include "ImageColorTable.h"
#include "ImagePixelRows.h"

namespace {

std::uint8_t* NewRows(CMemBlock& block) { return block.Data() + CImage::kEngineHeaderBytes; }

// Copies the entries of `from`'s colour table that its block holds (at most
// 256) into the 256-entry table of an engine block; entries it lacks take the
// grey ramp.
void CopyColorTable(const CImage& from, CMemBlock& to) {
    const CColorTableLayout layout = ColorTableOf(from);
    const std::uint8_t* source = from.GetHandle()->Data() + layout.offset;
    std::uint8_t* table = to.Data() + CImage::kInfoHeaderSize;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* entry = table + 4 * i;
        if (i < layout.entries) {
            std::memcpy(entry, source + static_cast<std::ptrdiff_t>(i) * layout.entryBytes, 3);
        } else {
            entry[0] = entry[1] = entry[2] = static_cast<std::uint8_t>(i);
        }
        entry[3] = 0;
    }
}

// A zero-filled engine block of width x height pixels with its header
// written, or null when the size is beyond what a block may hold or memory
// cannot be had.
HBLOCK NewEngineBlock(std::int64_t width, std::int64_t height) {
    const std::uint64_t imageBytes = static_cast<std::uint64_t>((width + 3) & ~std::int64_t{3}) *
                                     static_cast<std::uint64_t>(height);
    if (imageBytes > CMemBlock::kMaxBlockSize - CImage::kEngineHeaderBytes) return nullptr;
    HBLOCK block = CMemBlock::Allocate(CImage::kEngineHeaderBytes + imageBytes);
    if (!block) return nullptr;
    CImage::WriteHeader(block.get(), CImage::kInfoHeaderSize, static_cast<std::int32_t>(width),
                        static_cast<std::int32_t>(height), 1, 8, 0,
                        static_cast<std::uint32_t>(imageBytes), 0, 0, 256, 256);
    return block;
}

// Quarter turns: new storage row r, column c takes the source byte at
// first + r * rowStep + c * columnStep. The copy goes in square tiles so that
// the source, read across its rows, stays in the cache.
void QuarterTurn(const std::uint8_t* first, std::int64_t rowStep, std::int64_t columnStep,
                 std::int64_t newWidth, std::int64_t newHeight, std::uint8_t* dst,
                 std::int64_t dstStride) {
    constexpr std::int64_t kTile = 64;
    for (std::int64_t r0 = 0; r0 < newHeight; r0 += kTile) {
        const std::int64_t r1 = std::min(newHeight, r0 + kTile);
        for (std::int64_t c0 = 0; c0 < newWidth; c0 += kTile) {
            const std::int64_t c1 = std::min(newWidth, c0 + kTile);
            for (std::int64_t r = r0; r < r1; ++r) {
                std::uint8_t* out = dst + r * dstStride;
                const std::uint8_t* in = first + r * rowStep;
                for (std::int64_t c = c0; c < c1; ++c) out[c] = in[c * columnStep];
            }
        }
    }
}

// As displayed (storage row 0 is the bottom line), clockwise: new storage row
// r holds source column w - 1 - r, bottom to top.
void RotateClockwise(const CPixelRows& src, std::uint8_t* dst, std::int64_t dstStride) {
    QuarterTurn(src.bits + src.width - 1, -1, src.stride, src.height, src.width, dst, dstStride);
}

// Anticlockwise: new storage row r holds source column r, top to bottom.
void RotateAnticlockwise(const CPixelRows& src, std::uint8_t* dst, std::int64_t dstStride) {
    QuarterTurn(src.Row(src.height - 1), 1, -src.stride, src.height, src.width, dst, dstStride);
}

void RotateHalfTurn(const CPixelRows& src, std::uint8_t* dst) {
    for (std::int64_t r = 0; r < src.height; ++r) {
        std::uint8_t* out = dst + r * src.stride;
        const std::uint8_t* in = src.Row(src.height - 1 - r);
        const std::int64_t last = src.width - 1;
        for (std::int64_t c = 0; c < src.width; ++c) out[c] = in[last - c];
    }
}

}  // namespace

bool CImage::FlipHorizontal() {
    const CPixelRows rows = LockPixelRows(*this, "FlipHorizontal");
    if (!rows) return false;
    // Each row is reversed in place; the padding bytes keep their values.
    for (std::int64_t y = 0; y < rows.height; ++y) {
        std::uint8_t* p = rows.Row(y);
        const std::int64_t last = rows.width - 1;
        for (std::int64_t x = 0; x < rows.width / 2; ++x) std::swap(p[x], p[last - x]);
    }
    Unlock();
    return true;
}

bool CImage::FlipVertical() {
    const CPixelRows rows = LockPixelRows(*this, "FlipVertical");
    if (!rows) return false;
    // Rows change places in pairs; the padding of the result is 0.
    for (std::int64_t a = 0, b = rows.height - 1; a < b; ++a, --b) {
        std::uint8_t* p = rows.Row(a);
        std::uint8_t* q = rows.Row(b);
        for (std::int64_t x = 0; x < rows.width; ++x) std::swap(p[x], q[x]);
    }
    for (std::int64_t y = 0; y < rows.height; ++y)
        std::memset(rows.Row(y) + rows.width, 0,
                    static_cast<std::size_t>(rows.stride - rows.width));
    Unlock();
    return true;
}

bool CImage::Rotate(unsigned angle, std::uint8_t fill) {
    if (angle % 360 == 0) return true;
    if (!IsValid()) {
        ShowMessage("Rotate : invalid handle");
        return false;
    }
    if (angle != 90 && angle != 180 && angle != 270) return false;
    const CPixelRows src = LockPixelRows(*this, "Rotate");
    if (!src) return false;
    const bool quarter = angle != 180;
    const std::int64_t newWidth = quarter ? src.height : src.width;
    const std::int64_t newHeight = quarter ? src.width : src.height;
    HBLOCK block = CreateEmptyBlock(static_cast<int>(newWidth), static_cast<int>(newHeight), fill);
    if (!block) return false;
    CopyColorTable(*this, *block);
    std::uint8_t* dst = NewRows(*block);
    const std::int64_t dstStride = GetWidthBytes(static_cast<int>(newWidth));
    if (angle == 90)
        RotateClockwise(src, dst, dstStride);
    else if (angle == 270)
        RotateAnticlockwise(src, dst, dstStride);
    else
        RotateHalfTurn(src, dst);
    Unlock();
    SetHandle(std::move(block));
    return true;
}

bool CImage::Resize(int newWidth, int newHeight) {
    if (!IsValid()) {
        ShowMessage("Resize : invalid handle");
        return false;
    }
    if (newWidth == GetWidth() && newHeight == GetHeight()) return false;
    if (newWidth < 1 || newHeight < 1) {
        ShowMessage("Resize : invalid size");
        return false;
    }
    const CPixelRows src = LockPixelRows(*this, "Resize");
    if (!src) return false;
    HBLOCK block = NewEngineBlock(newWidth, newHeight);
    if (!block) {
        ShowMessage("Resize image : Insuffisant memory");
        return false;
    }
    CopyColorTable(*this, *block);

    // Nearest neighbour by truncation: the row ratio in extended precision,
    // the column ratio rounded to single precision first. Storage rows map to
    // storage rows, so the bottom of the picture stays at the bottom.
    const long double rowRatio = static_cast<long double>(src.height) / newHeight;
    const long double columnRatio = static_cast<float>(static_cast<double>(src.width) / newWidth);
    std::uint8_t* dst = NewRows(*block);
    const std::int64_t dstStride = GetWidthBytes(newWidth);
    // Columns go in chunks so that their source columns are worked out once
    // per chunk, without a table as wide as the picture.
    constexpr std::int64_t kChunk = 2048;
    std::int64_t sourceColumn[kChunk];
    for (std::int64_t x0 = 0; x0 < newWidth; x0 += kChunk) {
        const std::int64_t count = std::min<std::int64_t>(kChunk, newWidth - x0);
        for (std::int64_t i = 0; i < count; ++i) {
            const auto sx =
                static_cast<std::int64_t>(static_cast<long double>(x0 + i) * columnRatio);
            sourceColumn[i] = std::min(sx, src.width - 1);
        }
        for (std::int64_t y = 0; y < newHeight; ++y) {
            const auto sy = std::min(static_cast<std::int64_t>(rowRatio * y), src.height - 1);
            const std::uint8_t* in = src.Row(sy);
            std::uint8_t* out = dst + y * dstStride + x0;
            for (std::int64_t i = 0; i < count; ++i) out[i] = in[sourceColumn[i]];
        }
    }
    Unlock();
    SetHandle(std::move(block));
    return true;
}

bool CImage::AddPaletteBar(int rows) {
    if (!IsValid()) {
        ShowMessage("Resize : invalid handle");
        return false;
    }
    const CPixelRows src = LockPixelRows(*this, "Resize");
    if (!src) return false;
    if (rows < 0 || src.height + rows > INT32_MAX) {
        ShowMessage("Resize : invalid size");
        return false;
    }
    const std::int64_t newHeight = src.height + rows;
    HBLOCK block = NewEngineBlock(src.width, newHeight);
    if (!block) {
        ShowMessage("Resize image : Insuffisant memory");
        return false;
    }
    CopyColorTable(*this, *block);
    std::uint8_t* dst = NewRows(*block);
    // The bar is the bottom `rows` lines as displayed: a ramp from 0 at the
    // left edge to floor(255 (w - 1) / w) at the right, the same on every row.
    for (std::int64_t x = 0; x < src.width; ++x)
        dst[x] = static_cast<std::uint8_t>(255 * x / src.width);
    for (std::int64_t y = 1; y < rows; ++y)
        std::memcpy(dst + y * src.stride, dst, static_cast<std::size_t>(src.width));
    for (std::int64_t y = 0; y < src.height; ++y)
        std::memcpy(dst + (rows + y) * src.stride, src.Row(y), static_cast<std::size_t>(src.width));
    Unlock();
    SetHandle(std::move(block));
    return true;
}
