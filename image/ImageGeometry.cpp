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
#include <memory>
#include <new>
#include <utility>

#include "DibGeometry.h"
#include "GeometryKernels.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif
#include "Image.h"
#include "ImagePixelRows.h"
#include "Message.h"
#include "Parallel.h"

namespace {

// Rows of the new picture per band when a turn is split over the cores.
constexpr int kRowsPerBand = 64;

// Least bytes of the new picture per band when a resize is split over the
// cores: a reduction goes at the speed of memory, and below about a
// megabyte a thread costs more than it saves.
constexpr std::int64_t kResizeBandBytes = std::int64_t{1} << 20;

// Asks the system to back the block with huge pages where it can: a new
// picture of tens of megabytes otherwise takes thousands of page faults as it
// is first written. Only whole, aligned huge pages inside the block are
// concerned; a refusal changes nothing.
void PreferHugePages(CMemBlock& block) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(block.Data());
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + block.Size()) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
#endif
}

// Quarter turns: new storage row r, column c takes the source byte at
// origin + r * rowStep + c * columnStep, both steps given by the angle.
void QuarterTurn(const geometrykernels::CQuarterTurn& turn, std::int64_t newHeight) {
    ParallelRows(0, static_cast<int>(newHeight), kRowsPerBand, [&turn](int first, int last) {
        geometrykernels::QuarterTurnRows(turn, first, last);
    });
}

// As displayed (storage row 0 is the bottom line), clockwise: new storage row
// r holds source column w - 1 - r, bottom to top.
void RotateClockwise(const CPixelRows& src, std::uint8_t* dst, std::int64_t dstStride) {
    QuarterTurn({src.bits + src.width - 1, -1, src.stride, src.height, dst, dstStride}, src.width);
}

// Anticlockwise: new storage row r holds source column r, top to bottom.
void RotateAnticlockwise(const CPixelRows& src, std::uint8_t* dst, std::int64_t dstStride) {
    QuarterTurn({src.Row(src.height - 1), 1, -src.stride, src.height, dst, dstStride}, src.width);
}

void RotateHalfTurn(const CPixelRows& src, std::uint8_t* dst) {
    ParallelRows(0, static_cast<int>(src.height), kRowsPerBand, [&src, dst](int first, int last) {
        for (std::int64_t r = first; r < last; ++r) {
            std::uint8_t* out = dst + r * src.stride;
            std::memcpy(out, src.Row(src.height - 1 - r), static_cast<std::size_t>(src.width));
            geometrykernels::ReverseRow(out, src.width);
        }
    });
}

// Nearest-neighbour sampling by truncation: the row ratio in extended
// precision, the column ratio rounded to single precision first. Storage rows
// map to storage rows, so the bottom of the picture stays at the bottom.
struct CResampling {
    long double rowRatio = 0;
    const std::uint32_t* sourceColumn = nullptr;  // one entry per new column
    bool evenColumns = false;                     // sourceColumn[x] = 2 x throughout
};

void ResampleRows(const CPixelRows& src, const CResampling& sampling, std::uint8_t* dst,
                  std::int64_t newWidth, std::int64_t dstStride, std::int64_t newHeight) {
    auto sourceRow = [&](std::int64_t y) {
        return std::min(static_cast<std::int64_t>(sampling.rowRatio * y), src.height - 1);
    };
    const auto minRows = static_cast<int>(
        std::clamp<std::int64_t>(kResizeBandBytes / std::max<std::int64_t>(newWidth, 1), 1,
                                 std::max<std::int64_t>(newHeight, 1)));
    ParallelRows(0, static_cast<int>(newHeight), minRows, [&](int first, int last) {
        for (std::int64_t y = first; y < last; ++y) {
            std::uint8_t* out = dst + y * dstStride;
            // When enlarging, neighbouring new rows often share their source
            // row: the row just made is copied again.
            if (y > first && sourceRow(y) == sourceRow(y - 1))
                std::memcpy(out, out - dstStride, static_cast<std::size_t>(newWidth));
            else if (sampling.evenColumns)
                geometrykernels::EvenBytesRow(src.Row(sourceRow(y)), newWidth, out);
            else
                geometrykernels::GatherRow(src.Row(sourceRow(y)), sampling.sourceColumn, newWidth,
                                           out);
        }
    });
}

}  // namespace

bool CImage::FlipHorizontal() {
    const CLockedPixelRows rows(*this, "FlipHorizontal");
    if (!rows) return false;
    // Each row is reversed in place; the padding bytes keep their values.
    for (std::int64_t y = 0; y < rows.height; ++y)
        geometrykernels::ReverseRow(rows.Row(y), rows.width);
    return true;
}

bool CImage::FlipVertical() {
    const CLockedPixelRows rows(*this, "FlipVertical");
    if (!rows) return false;
    // Rows change places in pairs; the padding of the result is 0.
    for (std::int64_t a = 0, b = rows.height - 1; a < b; ++a, --b)
        geometrykernels::SwapRows(rows.Row(a), rows.Row(b), rows.width);
    for (std::int64_t y = 0; y < rows.height; ++y)
        std::memset(rows.Row(y) + rows.width, 0,
                    static_cast<std::size_t>(rows.stride - rows.width));
    return true;
}

bool CImage::Rotate(unsigned angle, std::uint8_t fill) {
    if (angle % 360 == 0) return true;
    if (!IsValid()) {
        ShowMessage("Rotate : invalid handle");
        return false;
    }
    if (angle != 90 && angle != 180 && angle != 270) return false;
    HBLOCK block;
    {  // the source rows stay locked until the new picture is drawn
        const CLockedPixelRows src(*this, "Rotate");
        if (!src) return false;
        const bool quarter = angle != 180;
        const std::int64_t newWidth = quarter ? src.height : src.width;
        const std::int64_t newHeight = quarter ? src.width : src.height;
        block = CreateEmptyBlock(static_cast<int>(newWidth), static_cast<int>(newHeight), fill);
        if (!block) return false;
        dib::CopyColorTable(*this, *block);
        std::uint8_t* dst = dib::EngineRows(*block);
        const std::int64_t dstStride = GetWidthBytes(static_cast<int>(newWidth));
        if (angle == 90)
            RotateClockwise(src, dst, dstStride);
        else if (angle == 270)
            RotateAnticlockwise(src, dst, dstStride);
        else
            RotateHalfTurn(src, dst);
    }
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
    HBLOCK block;
    {  // the source rows stay locked until the new picture is drawn
        const CLockedPixelRows src(*this, "Resize");
        if (!src) return false;
        block = dib::MakeEngineBlock(newWidth, newHeight, 8, BlockFill::Overwritten);
        if (!block) {
            ShowMessage("Resize image : Insuffisant memory");
            return false;
        }
        PreferHugePages(*block);
        dib::CopyColorTable(*this, *block);

        const long double columnRatio =
            static_cast<float>(static_cast<double>(src.width) / newWidth);
        std::unique_ptr<std::uint32_t[]> sourceColumn(new (std::nothrow) std::uint32_t[newWidth]);
        if (!sourceColumn) {
            ShowMessage("Resize image : Insuffisant memory");
            return false;
        }
        for (std::int64_t x = 0; x < newWidth; ++x) {
            const auto sx = static_cast<std::int64_t>(static_cast<long double>(x) * columnRatio);
            sourceColumn[x] = static_cast<std::uint32_t>(std::min(sx, src.width - 1));
        }
        bool evenColumns = true;
        for (std::int64_t x = 0; x < newWidth && evenColumns; ++x)
            evenColumns = sourceColumn[x] == 2 * x;
        const CResampling sampling{static_cast<long double>(src.height) / newHeight,
                                   sourceColumn.get(), evenColumns};
        ResampleRows(src, sampling, dib::EngineRows(*block), newWidth, GetWidthBytes(newWidth),
                     newHeight);
    }
    SetHandle(std::move(block));
    return true;
}

bool CImage::AddPaletteBar(int rows) {
    if (!IsValid()) {
        ShowMessage("Resize : invalid handle");
        return false;
    }
    HBLOCK block;
    {  // the source rows stay locked until the new picture is drawn
        const CLockedPixelRows src(*this, "Resize");
        if (!src) return false;
        if (rows < 0 || src.height + rows > INT32_MAX) {
            ShowMessage("Resize : invalid size");
            return false;
        }
        const std::int64_t newHeight = src.height + rows;
        block = dib::MakeEngineBlock(src.width, newHeight);
        if (!block) {
            ShowMessage("Resize image : Insuffisant memory");
            return false;
        }
        dib::CopyColorTable(*this, *block);
        std::uint8_t* dst = dib::EngineRows(*block);
        // The bar is the bottom `rows` lines as displayed: a ramp from 0 at the
        // left edge to floor(255 (w - 1) / w) at the right, the same on every row.
        for (std::int64_t x = 0; x < src.width; ++x)
            dst[x] = static_cast<std::uint8_t>(255 * x / src.width);
        for (std::int64_t y = 1; y < rows; ++y)
            std::memcpy(dst + y * src.stride, dst, static_cast<std::size_t>(src.width));
        for (std::int64_t y = 0; y < src.height; ++y)
            std::memcpy(dst + (rows + y) * src.stride, src.Row(y),
                        static_cast<std::size_t>(src.width));
    }
    SetHandle(std::move(block));
    return true;
}
