#pragma once
// The unchanged source rows that the neighbourhood operations (convolution,
// morphology) read while they write the picture itself.
//
// Output row y reads source rows y - half .. y + half. A band of output rows
// keeps the few source rows it still needs in a ring of its own, taking each
// one in before the band overwrites it, so no copy of the whole picture is
// made. Bands run on separate threads; the rows around each boundary between
// two bands are written by one band and read by both, so they are copied once
// before the bands start and both bands read the copy.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ImagePixelRows.h"
#include "MemBlock.h"
#include "Parallel.h"

// Where a band finds the original bytes of source row r.
class CRowSource {
public:
    CRowSource(const std::uint8_t* bits, std::size_t stride) : bits_(bits), stride_(stride) {}

    // Rows first .. first + count - 1 are read from `copy` instead.
    void AddCopy(int first, int count, const std::uint8_t* copy) {
        copies_[copyCount_++] = {first, count, copy};
    }

    const std::uint8_t* Row(int r) const {
        for (int k = 0; k < copyCount_; ++k) {
            const Copy& c = copies_[k];
            if (r >= c.first && r < c.first + c.count)
                return c.data + static_cast<std::size_t>(r - c.first) * stride_;
        }
        return bits_ + static_cast<std::size_t>(r) * stride_;
    }

private:
    struct Copy {
        int first = 0, count = 0;
        const std::uint8_t* data = nullptr;
    };
    const std::uint8_t* bits_;
    std::size_t stride_;
    Copy copies_[2];  // the band's lower and upper boundaries
    int copyCount_ = 0;
};

// A copy of all rows, or null when the memory cannot be had.
inline HBLOCK SnapshotRows(const CPixelRows& rows) {
    HBLOCK copy =
        CMemBlock::Allocate(static_cast<std::uint64_t>(rows.ImageBytes()), BlockFill::Overwritten);
    if (copy) std::memcpy(copy->Data(), rows.bits, static_cast<std::size_t>(rows.ImageBytes()));
    return copy;
}

namespace detail {

// Rows per band below which a picture is not worth another thread.
constexpr int kMinRowsPerBand = 16;
constexpr std::size_t kScratchAlignment = 64;

inline std::size_t AlignScratch(std::size_t bytes) {
    return (bytes + kScratchAlignment - 1) / kScratchAlignment * kScratchAlignment;
}

}  // namespace detail

// Computes output rows [begin, end) of `rows` in place, reading source rows
// up to `half` rows beyond them (all inside the picture). Calls
// band(first, last, source, scratch) for consecutive bands, possibly on
// several threads at once; each band gets `scratchBytes` of its own (64-byte
// aligned, zero-filled). Everything is allocated before any pixel changes:
// false, with the picture unchanged, when the memory cannot be had.
template <typename Band>
bool RunInPlaceBands(const CPixelRows& rows, int begin, int end, int half, std::size_t scratchBytes,
                     Band band) {
    if (begin >= end) return true;
    const auto stride = static_cast<std::size_t>(rows.stride);
    const int bandCount = std::clamp((end - begin) / detail::kMinRowsPerBand, 1, GetWorkerCount());
    const std::size_t scratch = detail::AlignScratch(std::max<std::size_t>(scratchBytes, 1));
    const std::size_t haloRows = 2 * static_cast<std::size_t>(half);
    const std::size_t haloBytes = detail::AlignScratch(haloRows * stride);
    const std::uint64_t total = static_cast<std::uint64_t>(bandCount) * scratch +
                                static_cast<std::uint64_t>(bandCount - 1) * haloBytes +
                                detail::kScratchAlignment;
    const HBLOCK block = CMemBlock::Allocate(total);
    if (!block) return false;
    const auto base = reinterpret_cast<std::uintptr_t>(block->Data());
    std::uint8_t* memory =
        block->Data() + (detail::AlignScratch(base) - base);  // first aligned byte

    auto bandStart = [&](int k) {
        return begin + static_cast<int>(static_cast<std::int64_t>(end - begin) * k / bandCount);
    };
    // Boundary k (between bands k - 1 and k) keeps rows start - half .. start + half - 1.
    std::uint8_t* halos = memory + static_cast<std::size_t>(bandCount) * scratch;
    for (int k = 1; k < bandCount; ++k)
        std::memcpy(halos + (k - 1) * haloBytes, rows.Row(bandStart(k) - half), haloRows * stride);

    ParallelRows(0, bandCount, 1, [&](int first, int last) {
        for (int k = first; k < last; ++k) {
            CRowSource source(rows.bits, stride);
            if (k > 0)
                source.AddCopy(bandStart(k) - half, static_cast<int>(haloRows),
                               halos + (k - 1) * haloBytes);
            if (k + 1 < bandCount)
                source.AddCopy(bandStart(k + 1) - half, static_cast<int>(haloRows),
                               halos + k * haloBytes);
            band(bandStart(k), bandStart(k + 1), source,
                 memory + static_cast<std::size_t>(k) * scratch);
        }
    });
    return true;
}
