#pragma once
// Row kernels of the statistics: sums, sums of squares and level counts over
// one run of bytes. The fast versions use wide registers (SumLevels with
// squares has a vector and a plain version, see KernelChoice.h); the
// straightforward loops in `reference` give the very same integers and are
// what the tests compare against.

#include <cstdint>

struct CLevelSums {
    std::uint64_t sum = 0;
    std::uint64_t squares = 0;
};

// Everything the statistics need from one pass: the extremes, the sum and the
// sum of squares. An empty run gives 255 for the least and 0 for the most.
struct CLevelSummary {
    std::uint8_t least = 255;
    std::uint8_t most = 0;
    CLevelSums sums;
    void Add(const CLevelSummary& other);
};

// Per-level counts. The bytes are counted into two interleaved tables of
// 16-bit counters (small enough to stay in the first-level cache, and two
// tables so that repeated levels do not wait on one another), which are
// emptied into the 32-bit totals before any counter can overflow. Merge gives
// the one 256-entry table.
struct CLevelCounts {
    // Bytes counted at most between two emptyings: no counter passes 65535.
    static constexpr std::int64_t kFlushBytes = 65535;
    std::uint16_t pending[2][256] = {};
    std::int64_t pendingBytes = 0;
    std::uint32_t totals[256] = {};
    void Flush();
    void Merge(std::uint32_t counts[256]) const;
};

// The pixel rows of a picture, width bytes of each read.
struct CRowsView {
    const std::uint8_t* bits = nullptr;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t stride = 0;
    const std::uint8_t* Row(std::int64_t y) const { return bits + y * stride; }
};

namespace statkernels {

// Whole-picture measurements. The fast versions read four bands of rows side
// by side: several streams in flight keep the memory busier than one.
// An empty picture gives 255 for the minimum and 0 for the maximum.
CLevelSums SumLevels(const CRowsView& rows, bool withSquares);
std::uint8_t MinLevel(const CRowsView& rows);
std::uint8_t MaxLevel(const CRowsView& rows);
// The extremes, sum and squares together, each byte read once.
CLevelSummary SummarizeLevels(const CRowsView& rows);
// Adds the levels of the run to `counts`. Each table must stay below 2^32
// counts, which any picture a block can hold satisfies.
void CountLevelsRow(const std::uint8_t* p, std::int64_t count, CLevelCounts& counts);

namespace reference {
CLevelSums SumLevels(const CRowsView& rows, bool withSquares);
std::uint8_t MinLevel(const CRowsView& rows);
std::uint8_t MaxLevel(const CRowsView& rows);
CLevelSummary SummarizeLevels(const CRowsView& rows);
void CountLevelsRow(const std::uint8_t* p, std::int64_t count, std::uint32_t counts[256]);
}  // namespace reference

}  // namespace statkernels
