// Linear convolution of the region of interest with a 3 x 3, 5 x 5 or 7 x 7
// kernel. Only pixels at least half the kernel inside the region are
// computed; the others keep their values. All sums read the picture as it
// was before the call.

#include <algorithm>

#include "BandRunner.h"
#include "ConvolutionKernel.h"
#include "Image.h"
#include "Message.h"

namespace detail {

KernelTable MakeKernelTable(const CMask& mask) {
    KernelTable table;
    table.side = std::min<int>(mask.GetMaskSize(), CMask::kCells);
    for (int i = 0; i < table.side; ++i)
        for (int j = 0; j < table.side; ++j) table.cells[table.side * i + j] = mask.GetCell(i, j);
    table.divisor = std::max(mask.GetNorm(), 1);
    return table;
}

void FilterReference(const std::uint8_t* source, std::uint8_t* target, std::size_t stride,
                     PixelArea area, const KernelTable& kernel) {
    const int n = kernel.side;
    const int half = (n - 1) / 2;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::uint8_t* window =
                source + static_cast<std::size_t>(y - half) * stride + (x - half);
            std::int32_t sum = 0;
            for (int i = 0; i < n; ++i) {
                const std::uint8_t* row = window + static_cast<std::size_t>(i) * stride;
                const std::int8_t* cells = kernel.cells + n * i;
                for (int j = 0; j < n; ++j) sum += row[j] * cells[j];
            }
            const std::int32_t value = sum / kernel.divisor;
            target[static_cast<std::size_t>(y) * stride + x] =
                static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        }
    }
}

}  // namespace detail

bool CImage::Filter(const CMask& mask) {
    const CLockedPixelRows rows(*this, "Filter");
    if (!rows) return false;
    const detail::KernelTable kernel = detail::MakeKernelTable(mask);
    const int half = (kernel.side - 1) / 2;
    // The region less half the kernel, and never less than half the kernel
    // inside the picture, so every window lies in the block.
    const detail::PixelArea area{std::max(roi_.left, 0) + half, std::max(roi_.top, 0) + half,
                                 std::min<int>(roi_.right, static_cast<int>(rows.width)) - half,
                                 std::min<int>(roi_.bottom, static_cast<int>(rows.height)) - half};
    const auto stride = static_cast<std::size_t>(rows.stride);
    detail::FilterPlan plan;
    bool done = true;
    if (area.IsEmpty()) {
        // Nothing to compute.
    } else if (detail::MakeFilterPlan(kernel, plan)) {
        const int width = area.right - area.left;
        done = RunInPlaceBands(
            rows, area.top, area.bottom, half, detail::FilterScratchBytes(plan, width),
            [&](int first, int last, const CRowSource& source, std::uint8_t* scratch) {
                detail::FilterBand(plan, source, scratch, rows.bits, stride, area, first, last);
            });
    } else {
        const HBLOCK original = SnapshotRows(rows);
        if (original) detail::FilterReference(original->Data(), rows.bits, stride, area, kernel);
        done = original != nullptr;
    }
    if (!done) ShowMessage("Filter : insuffisant memory");
    return done;
}
