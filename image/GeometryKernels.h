#pragma once
// Row and tile kernels of the geometric operations. The fast versions move
// 16 bytes at a time where the machine allows it (ReverseRow has a vector
// and a plain version, see KernelChoice.h); the straightforward loops in
// `reference` are what the tests compare against.

#include <cstdint>

namespace geometrykernels {

// Reverses p[0 .. count-1] in place.
void ReverseRow(std::uint8_t* p, std::int64_t count);

// Exchanges a[0 .. count-1] and b[0 .. count-1], two rows that do not
// overlap.
void SwapRows(std::uint8_t* a, std::uint8_t* b, std::int64_t count);

// A quarter turn of the rows [firstRow, lastRow) of the destination:
// destination row r, column c (c < newWidth) takes the source byte at
// origin + r * rowStep + c * columnStep. One of the steps is +1 or -1, the
// other plus or minus the source stride.
struct CQuarterTurn {
    const std::uint8_t* origin = nullptr;
    std::int64_t rowStep = 0;
    std::int64_t columnStep = 0;
    std::int64_t newWidth = 0;
    std::uint8_t* dst = nullptr;
    std::int64_t dstStride = 0;
};
void QuarterTurnRows(const CQuarterTurn& turn, std::int64_t firstRow, std::int64_t lastRow);

// out[i] := in[columns[i]] for i in [0, count).
void GatherRow(const std::uint8_t* in, const std::uint32_t* columns, std::int64_t count,
               std::uint8_t* out);

// out[i] := in[2 i] for i in [0, count): the gather of a picture halved in
// width, whose columns are 0, 2, 4, ...
void EvenBytesRow(const std::uint8_t* in, std::int64_t count, std::uint8_t* out);

namespace reference {
void ReverseRow(std::uint8_t* p, std::int64_t count);
void SwapRows(std::uint8_t* a, std::uint8_t* b, std::int64_t count);
void QuarterTurnRows(const CQuarterTurn& turn, std::int64_t firstRow, std::int64_t lastRow);
void GatherRow(const std::uint8_t* in, const std::uint32_t* columns, std::int64_t count,
               std::uint8_t* out);
}  // namespace reference

}  // namespace geometrykernels
