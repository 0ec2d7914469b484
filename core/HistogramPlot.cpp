#include "HistogramPlot.h"

#include <algorithm>

#include "ImageLock.h"

bool DrawHistogramPlot(CImage& source, CSize size, CImage& plot) {
    if (!source.GenerateHistogram()) return false;
    if (!plot.CreateEmptyImage(size.cx, size.cy, 255)) return false;
    const CImageLock lock(plot);
    std::uint8_t* bits = lock ? plot.GetBits(lock.Block()) : nullptr;
    if (bits == nullptr) return false;
    const auto stride = static_cast<std::uint64_t>(CImage::GetWidthBytes(size.cx));
    const int band = std::max(1, size.cy / 10);
    const int barRows = size.cy - band - 1;  // a white row between bars and band
    const std::uint64_t highest = std::max<std::uint32_t>(source.GetHistogramMax(), 1);
    for (int x = 0; x < size.cx; ++x) {
        const int level = static_cast<int>(static_cast<std::int64_t>(x) * 256 / size.cx);
        const auto count = static_cast<std::uint32_t>(source.GetHistogramValue(level));
        // Rounded up, so that a level present at all shows at least one row.
        const auto bar =
            static_cast<int>((count * static_cast<std::uint64_t>(barRows) + highest - 1) / highest);
        for (int y = 0; y < band; ++y) bits[y * stride + x] = static_cast<std::uint8_t>(level);
        for (int y = 0; y < bar; ++y) bits[(band + 1 + y) * stride + x] = 0;
    }
    return true;
}
