// Point operations: each pixel's new value depends on its old value alone.
// The negative and the tone curve change the region of interest only; the
// threshold changes every byte of the pixel rows, padding included.

#include <algorithm>
#include <cstring>

#include "Image.h"
#include "ImagePixelRows.h"
#include "Message.h"
#include "Parallel.h"
#include "PointKernels.h"

namespace {

// Least bytes of a band when a point operation is split over the cores:
// starting a thread costs about as much as mapping a few hundred kilobytes.
constexpr std::int64_t kMinBandBytes = std::int64_t{1} << 20;

// Calls body(start, count) on the part of each row inside the region. The
// region is clamped to the picture, so a stale one can never reach outside
// the rows. Large regions are done in bands of rows on all cores.
template <typename Body>
void ForEachRegionRow(const CPixelRows& rows, const CRect& roi, Body body) {
    const std::int64_t left = std::clamp<std::int64_t>(roi.left, 0, rows.width);
    const std::int64_t right = std::clamp<std::int64_t>(roi.right, 0, rows.width);
    const std::int64_t top = std::clamp<std::int64_t>(roi.top, 0, rows.height);
    const std::int64_t bottom = std::clamp<std::int64_t>(roi.bottom, 0, rows.height);
    if (left >= right) return;
    const auto minRows =
        static_cast<int>(std::clamp<std::int64_t>(kMinBandBytes / (right - left), 1, rows.height));
    ParallelRows(static_cast<int>(top), static_cast<int>(bottom), minRows,
                 [&](int first, int last) {
                     // Whole rows with nothing between them: one run.
                     if (right - left == rows.stride)
                         body(rows.Row(first), (last - first) * rows.stride);
                     else
                         for (std::int64_t y = first; y < last; ++y)
                             body(rows.Row(y) + left, right - left);
                 });
}

}  // namespace

bool CImage::Reverse() {
    const CLockedPixelRows rows(*this, "Reverse", MissingBlock::Silent);
    if (!rows) return false;
    ForEachRegionRow(rows, roi_, pointkernels::InvertRow);
    return true;
}

bool CImage::SetDynamic(const std::uint8_t table[256]) {
    if (table == nullptr) return SetDynamic(std::span<const std::uint8_t>{});
    return SetDynamic(std::span<const std::uint8_t>(table, 256));
}

bool CImage::SetDynamic(std::span<const std::uint8_t> table) {
    if (table.size() != 256) {
        ShowMessage("Set Dynamic : invalid dynamic conversion array");
        return false;
    }
    // Our own copy: the caller may change its table while we work.
    std::uint8_t conversion[256];
    std::memcpy(conversion, table.data(), sizeof conversion);
    const CLockedPixelRows rows(*this, "SetDynamic");
    if (!rows) return false;
    ForEachRegionRow(rows, roi_, [&conversion](std::uint8_t* p, std::int64_t count) {
        pointkernels::MapRow(p, count, conversion);
    });
    return true;
}

bool CImage::Threshold(int low, int high) {
    if (GetNumColors() != 256) {
        ShowMessage("Threshold : 256 colors only");
        return false;
    }
    const CLockedPixelRows rows(*this, "Threshold");
    if (!rows) return false;
    // Both bounds inclusive; low > high makes everything 0. Narrowed to the
    // byte range, the bounds compare as bytes.
    std::uint8_t* p = rows.bits;
    const std::int64_t bytes = rows.ImageBytes();
    if (low > 255 || high < 0 || low > high) {
        std::memset(p, 0, static_cast<std::size_t>(bytes));
    } else {
        const auto lo = static_cast<std::uint8_t>(std::max(low, 0));
        const auto hi = static_cast<std::uint8_t>(std::min(high, 255));
        for (std::int64_t i = 0; i < bytes; ++i) p[i] = (p[i] >= lo && p[i] <= hi) ? 255 : 0;
    }
    return true;
}
