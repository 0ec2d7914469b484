// The fast morphology loop: a band of output rows computed in place from a
// ring of hit marks of the source rows still needed, in byte loops the
// compiler vectorises, once for the plain and once for the vector
// instruction set.

#include <algorithm>
#include <cstring>

#include "BandRunner.h"
#include "KernelChoice.h"
#include "MorphologyKernel.h"

namespace detail {

namespace {

std::size_t LineBytes(int width) { return AlignScratch(static_cast<std::size_t>(width)); }

// marks[x] = 0xFF where pixel x is a hit: 255 for dilation, anything else
// for erosion.
[[gnu::always_inline]] inline void MarkHits(const std::uint8_t* __restrict pixels,
                                            std::uint8_t* __restrict marks, int width,
                                            bool dilate) {
    const std::uint8_t flip = dilate ? 0 : 0xFF;
    for (int x = 0; x < width; ++x)
        marks[x] = static_cast<std::uint8_t>((pixels[x] == 255 ? 0xFF : 0) ^ flip);
}

// The usual element, a full square of side N: the marks of the N rows
// merged, then N columns of them, straight into the output row.
template <int N>
[[gnu::always_inline]] inline void SquareRow(std::uint8_t* const* marks, std::uint8_t* merged,
                                             std::uint8_t* __restrict target, int width,
                                             bool dilate) {
    for (int x = 0; x < width; ++x) {
        std::uint8_t any = marks[0][x];
        for (int i = 1; i < N; ++i) any |= marks[i][x];
        merged[x] = any;
    }
    const int inner = width - (N - 1);
    const std::uint8_t* __restrict columns = merged;
    if (dilate) {
        for (int x = 0; x < inner; ++x) {
            std::uint8_t any = columns[x];
            for (int j = 1; j < N; ++j) any |= columns[x + j];
            target[x] |= any;
        }
    } else {
        for (int x = 0; x < inner; ++x) {
            std::uint8_t any = columns[x];
            for (int j = 1; j < N; ++j) any |= columns[x + j];
            target[x] &= static_cast<std::uint8_t>(~any);
        }
    }
}

// Any element: the rows sharing one set of columns merged, then those columns.
[[gnu::always_inline]] inline void AnyElementRow(const MorphoPlan& plan, std::uint8_t* const* marks,
                                                 std::uint8_t* merged,
                                                 std::uint8_t* __restrict hits,
                                                 std::uint8_t* __restrict target, int width) {
    const int n = plan.side;
    const int inner = width - 2 * plan.half;
    std::fill(hits, hits + inner, std::uint8_t{0});
    for (int p = 0; p < plan.patternCount; ++p) {
        std::fill(merged, merged + width, std::uint8_t{0});
        for (int i = 0; i < n; ++i) {
            if (plan.rowPattern[i] != p) continue;
            const std::uint8_t* __restrict row = marks[i];
            for (int x = 0; x < width; ++x) merged[x] |= row[x];
        }
        for (int j = 0; j < n; ++j) {
            if ((plan.patterns[p] >> j & 1u) == 0) continue;
            const std::uint8_t* __restrict shifted = merged + j;
            for (int x = 0; x < inner; ++x) hits[x] |= shifted[x];
        }
    }
    if (plan.dilate)
        for (int x = 0; x < inner; ++x) target[x] |= hits[x];
    else
        for (int x = 0; x < inner; ++x) target[x] &= static_cast<std::uint8_t>(~hits[x]);
}

[[gnu::always_inline]] inline void BandRows(const MorphoPlan& plan, const CRowSource& source,
                                            std::uint8_t* scratch, std::uint8_t* bits,
                                            std::size_t stride, int width, int first, int last) {
    const int n = plan.side, half = plan.half;
    const std::size_t lineBytes = LineBytes(width);
    // Source row r has its marks in line r mod n while it is under the element;
    // then come the merged rows of one pattern and the hits of the output row.
    auto line = [&](int r) { return scratch + static_cast<std::size_t>(r % n) * lineBytes; };
    std::uint8_t* merged = scratch + static_cast<std::size_t>(n) * lineBytes;
    std::uint8_t* hits = merged + lineBytes;

    for (int r = first - half; r < first + half; ++r)
        MarkHits(source.Row(r), line(r), width, plan.dilate);
    for (int y = first; y < last; ++y) {
        MarkHits(source.Row(y + half), line(y + half), width, plan.dilate);
        std::uint8_t* marks[CMask::kCells];
        for (int i = 0; i < n; ++i) marks[i] = line(y - half + i);
        std::uint8_t* target = bits + static_cast<std::size_t>(y) * stride + half;
        if (plan.fullSquare && n == 3)
            SquareRow<3>(marks, merged, target, width, plan.dilate);
        else if (plan.fullSquare && n == 5)
            SquareRow<5>(marks, merged, target, width, plan.dilate);
        else if (plan.fullSquare && n == 7)
            SquareRow<7>(marks, merged, target, width, plan.dilate);
        else
            AnyElementRow(plan, marks, merged, hits, target, width);
    }
}

// The plain and the vector version of the band loop (see KernelChoice.h):
// the same source compiled twice.
void PlainBand(const MorphoPlan& plan, const CRowSource& source, std::uint8_t* scratch,
               std::uint8_t* bits, std::size_t stride, int width, int first, int last) {
    BandRows(plan, source, scratch, bits, stride, width, first, last);
}

#if ORVEX_VECTOR_KERNELS
ORVEX_VECTOR_TARGET void VectorBand(const MorphoPlan& plan, const CRowSource& source,
                                    std::uint8_t* scratch, std::uint8_t* bits, std::size_t stride,
                                    int width, int first, int last) {
    BandRows(plan, source, scratch, bits, stride, width, first, last);
}
#endif

}  // namespace

MorphoPlan MakeMorphoPlan(const ElementTable& element, MorphoOperation operation) {
    MorphoPlan plan;
    plan.side = element.side;
    plan.half = (element.side - 1) / 2;
    plan.dilate = operation == MorphoOperation::Dilate;
    for (int i = 0; i < plan.side; ++i) {
        std::uint32_t columns = 0;
        for (int j = 0; j < plan.side; ++j)
            if (element.cells[plan.side * i + j]) columns |= 1u << j;
        plan.rowPattern[i] = -1;
        if (columns == 0) continue;
        const auto* known = std::find(plan.patterns, plan.patterns + plan.patternCount, columns);
        if (known == plan.patterns + plan.patternCount)
            plan.patterns[plan.patternCount++] = columns;
        plan.rowPattern[i] = static_cast<int>(known - plan.patterns);
    }
    const std::uint32_t allColumns = (1u << plan.side) - 1;
    plan.fullSquare = plan.patternCount == 1 && plan.patterns[0] == allColumns &&
                      std::count(plan.rowPattern, plan.rowPattern + plan.side, 0) == plan.side;
    return plan;
}

std::size_t MorphoScratchBytes(const MorphoPlan& plan, int width) {
    return static_cast<std::size_t>(plan.side + 2) * LineBytes(width);
}

void MorphoBand(const MorphoPlan& plan, const CRowSource& source, std::uint8_t* scratch,
                std::uint8_t* bits, std::size_t stride, int width, int first, int last) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        VectorBand(plan, source, scratch, bits, stride, width, first, last);
        return;
    }
#endif
    PlainBand(plan, source, scratch, bits, stride, width, first, last);
}

}  // namespace detail
