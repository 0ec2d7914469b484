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

// Pages taken together in one pass over a chunk of the result: the result's
// bytes are loaded and stored once for four pages instead of once a page.
constexpr std::size_t kPagesPerPass = 4;

// to[i] = pick(to[i], from[0][i], .., from[n-1][i]) for n of 1 .. 4 pages.
template <typename Pick>
void PickInto(std::uint8_t* __restrict to, const std::uint8_t* const* from, std::size_t n,
              std::size_t bytes, Pick pick) {
    const std::uint8_t* a = from[0];
    const std::uint8_t* b = from[n > 1 ? 1 : 0];
    const std::uint8_t* c = from[n > 2 ? 2 : 0];
    const std::uint8_t* d = from[n > 3 ? 3 : 0];
    for (std::size_t i = 0; i < bytes; ++i)
        to[i] = pick(pick(to[i], a[i]), pick(pick(b[i], c[i]), d[i]));
}

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
    for (std::size_t p = 1; p < pages.size(); p += kPagesPerPass) {
        const std::size_t n = std::min(kPagesPerPass, pages.size() - p);
        const std::uint8_t* from[kPagesPerPass] = {};
        for (std::size_t k = 0; k < n; ++k) from[k] = pages[p + k].Row(first);
        if (kind == ProjectionKind::Maximum)
            PickInto(to, from, n, bytes,
                     [](std::uint8_t x, std::uint8_t y) { return std::max(x, y); });
        else
            PickInto(to, from, n, bytes,
                     [](std::uint8_t x, std::uint8_t y) { return std::min(x, y); });
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
