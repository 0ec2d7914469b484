#include "StackProjection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Message.h"
#include "Parallel.h"

namespace {

constexpr int kMinRowsPerBand = 16;
// Rows projected together: the result's rows stay in the second-level
// cache while every page goes over them, and each page is read in runs
// long enough for the prefetcher to follow (32 KiB runs left it behind).
constexpr std::uint64_t kChunkBytes = 256 * 1024;

// Rows first..last of the result, page after page.
void ProjectChunk(std::span<const CStoredRows> pages, ProjectionKind kind, std::uint8_t* out,
                  std::uint64_t stride, int first, int last) {
    const std::size_t bytes = static_cast<std::size_t>(stride) * (last - first);
    std::uint8_t* to = out + static_cast<std::uint64_t>(first) * stride;
    std::memcpy(to, pages.front().Row(first), bytes);
    if (kind == ProjectionKind::Mean) {
        std::vector<std::uint32_t> sums(to, to + bytes);
        for (std::size_t p = 1; p < pages.size(); ++p) {
            const std::uint8_t* from = pages[p].Row(first);
            for (std::size_t i = 0; i < bytes; ++i) sums[i] += from[i];
        }
        const auto count = static_cast<std::uint32_t>(pages.size());
        for (std::size_t i = 0; i < bytes; ++i)
            to[i] = static_cast<std::uint8_t>((sums[i] + count / 2) / count);
        return;
    }
    const bool brightest = kind == ProjectionKind::Maximum;
    for (std::size_t p = 1; p < pages.size(); ++p) {
        const std::uint8_t* from = pages[p].Row(first);
        if (brightest)
            for (std::size_t i = 0; i < bytes; ++i) to[i] = std::max(to[i], from[i]);
        else
            for (std::size_t i = 0; i < bytes; ++i) to[i] = std::min(to[i], from[i]);
    }
}

// A band of rows, a chunk of rows at a time.
void ProjectRows(std::span<const CStoredRows> pages, ProjectionKind kind, std::uint8_t* out,
                 std::uint64_t stride, int first, int last) {
    const int chunk = static_cast<int>(std::max<std::uint64_t>(1, kChunkBytes / stride));
    for (int top = first; top < last; top += chunk)
        ProjectChunk(pages, kind, out, stride, top, std::min(last, top + chunk));
}

}  // namespace

bool ProjectPages(std::span<const SPicturePage> pages, ProjectionKind kind, CImage& into) {
    if (pages.empty()) return false;
    std::vector<CStoredRows> rows;
    for (const SPicturePage& page : pages) {
        rows.push_back(page.image->GetStoredRows());
        const CStoredRows& r = rows.back();
        const CStoredRows& first = rows.front();
        if (r.bits == nullptr || (r.bitCount != 8 && r.bitCount != 24) || r.width != first.width ||
            r.height != first.height || r.bitCount != first.bitCount) {
            ShowMessage("Projection : pages de 8 ou 24 bits d'une même taille seulement");
            return false;
        }
    }
    HBLOCK block = CImage::CopyBlock(pages.front().image->GetHandle());
    if (!block) {
        ShowMessage("Projection : mémoire insuffisante");
        return false;
    }
    const CStoredRows& first = rows.front();
    std::uint8_t* out = block->Data() + pages.front().image->GetBitsOffset();
    ParallelRows(0, first.height, kMinRowsPerBand, [&](int top, int bottom) {
        ProjectRows(rows, kind, out, first.stride, top, bottom);
    });
    into.SetHandle(std::move(block));
    return true;
}
