// The fast convolution loop: a band of output rows computed in place from a
// ring of the source rows still needed, in loops the compiler vectorises,
// once for the plain and once for the vector instruction set.

#include <cstdlib>
#include <cstring>
#include <numeric>

#include "BandRunner.h"
#include "ConvolutionKernel.h"
#include "KernelChoice.h"

namespace detail {

namespace {

// Splits the kernel into rowWeights[i] * columnWeights[j] when it is exactly
// of rank one with integer factors. The column weights are the first
// non-zero kernel row divided by the gcd of its cells, so every other row
// must be an integer multiple of them.
bool SplitRankOne(FilterPlan& plan) {
    const int n = plan.side;
    const int* cells = plan.cells;
    int pivotRow = -1;
    for (int i = 0; i < n && pivotRow < 0; ++i)
        for (int j = 0; j < n; ++j)
            if (cells[n * i + j] != 0) pivotRow = i;
    if (pivotRow < 0) return false;
    int divisor = 0;
    for (int j = 0; j < n; ++j) divisor = std::gcd(divisor, cells[n * pivotRow + j]);
    int pivotColumn = -1;
    for (int j = 0; j < n; ++j) {
        plan.columnWeights[j] = cells[n * pivotRow + j] / divisor;
        if (pivotColumn < 0 && plan.columnWeights[j] != 0) pivotColumn = j;
    }
    for (int i = 0; i < n; ++i) {
        const int pivot = cells[n * i + pivotColumn];
        if (pivot % plan.columnWeights[pivotColumn] != 0) return false;
        plan.rowWeights[i] = pivot / plan.columnWeights[pivotColumn];
        for (int j = 0; j < n; ++j)
            if (plan.rowWeights[i] * plan.columnWeights[j] != cells[n * i + j]) return false;
    }
    return true;
}

// Output columns handled at once: their sums stay in the first-level cache.
constexpr int kChunk = 512;

template <typename Sum>
[[gnu::always_inline]] inline void StoreQuotients(const Sum* __restrict sums,
                                                  std::uint8_t* __restrict target, int count,
                                                  float inverse) {
    for (int x = 0; x < count; ++x) target[x] = QuotientByte(sums[x], inverse);
}

// out[x] = sum over j of weights[j] * source[x + j].
template <typename Sum>
[[gnu::always_inline]] inline void HorizontalPass(const std::uint8_t* __restrict source,
                                                  Sum* __restrict out, int count,
                                                  const int* weights, int n) {
    const int first = weights[0];
    for (int x = 0; x < count; ++x) out[x] = static_cast<Sum>(first * source[x]);
    for (int j = 1; j < n; ++j) {
        const int w = weights[j];
        if (w == 0) continue;
        const std::uint8_t* __restrict shifted = source + j;
        for (int x = 0; x < count; ++x) out[x] = static_cast<Sum>(out[x] + w * shifted[x]);
    }
}

// Output row from the horizontal sums of the n rows under the kernel.
template <typename Sum>
[[gnu::always_inline]] inline void SeparableRow(const FilterPlan& plan, Sum* const* lines,
                                                std::uint8_t* target, int count) {
    alignas(64) Sum sums[kChunk];
    for (int x0 = 0; x0 < count; x0 += kChunk) {
        const int length = std::min(kChunk, count - x0);
        std::fill(sums, sums + length, Sum{0});
        for (int i = 0; i < plan.side; ++i) {
            const int w = plan.rowWeights[i];
            if (w == 0) continue;
            const Sum* __restrict line = lines[i] + x0;
            for (int x = 0; x < length; ++x) sums[x] = static_cast<Sum>(sums[x] + w * line[x]);
        }
        StoreQuotients(sums, target + x0, length, plan.inverse);
    }
}

// Output row from the n source rows under the kernel, every cell at a time.
template <typename Sum>
[[gnu::always_inline]] inline void FullRow(const FilterPlan& plan, std::uint8_t* const* lines,
                                           std::uint8_t* target, int count) {
    alignas(64) Sum sums[kChunk];
    const int n = plan.side;
    for (int x0 = 0; x0 < count; x0 += kChunk) {
        const int length = std::min(kChunk, count - x0);
        std::fill(sums, sums + length, Sum{0});
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                const int w = plan.cells[n * i + j];
                if (w == 0) continue;
                const std::uint8_t* __restrict pixels = lines[i] + x0 + j;
                for (int x = 0; x < length; ++x)
                    sums[x] = static_cast<Sum>(sums[x] + w * pixels[x]);
            }
        }
        StoreQuotients(sums, target + x0, length, plan.inverse);
    }
}

std::size_t LineBytes(const FilterPlan& plan, int width, std::size_t sumBytes) {
    return AlignScratch(plan.separable ? static_cast<std::size_t>(width) * sumBytes
                                       : static_cast<std::size_t>(width) + 2 * plan.half);
}

template <typename Sum>
[[gnu::always_inline]] inline void BandRows(const FilterPlan& plan, const CRowSource& source,
                                            std::uint8_t* scratch, std::uint8_t* bits,
                                            std::size_t stride, PixelArea area, int first,
                                            int last) {
    const int n = plan.side, half = plan.half;
    const int width = area.right - area.left;
    const std::size_t lineBytes = LineBytes(plan, width, sizeof(Sum));
    // Source row r lives in line r mod n while it is under the kernel.
    auto line = [&](int r) { return scratch + static_cast<std::size_t>(r % n) * lineBytes; };
    auto takeIn = [&](int r) {
        const std::uint8_t* pixels = source.Row(r) + (area.left - half);
        if (plan.separable)
            HorizontalPass(pixels, reinterpret_cast<Sum*>(line(r)), width, plan.columnWeights, n);
        else
            std::memcpy(line(r), pixels, static_cast<std::size_t>(width) + 2 * half);
    };
    for (int r = first - half; r < first + half; ++r) takeIn(r);
    for (int y = first; y < last; ++y) {
        takeIn(y + half);
        std::uint8_t* target = bits + static_cast<std::size_t>(y) * stride + area.left;
        if (plan.separable) {
            Sum* lines[CMask::kCells];
            for (int i = 0; i < n; ++i) lines[i] = reinterpret_cast<Sum*>(line(y - half + i));
            SeparableRow(plan, lines, target, width);
        } else {
            std::uint8_t* lines[CMask::kCells];
            for (int i = 0; i < n; ++i) lines[i] = line(y - half + i);
            FullRow<Sum>(plan, lines, target, width);
        }
    }
}

// The plain and the vector version of the band loop (see KernelChoice.h):
// the same source compiled twice.
template <typename Sum>
void PlainBand(const FilterPlan& plan, const CRowSource& source, std::uint8_t* scratch,
               std::uint8_t* bits, std::size_t stride, PixelArea area, int first, int last) {
    BandRows<Sum>(plan, source, scratch, bits, stride, area, first, last);
}

#if ORVEX_VECTOR_KERNELS
template <typename Sum>
ORVEX_VECTOR_TARGET void VectorBand(const FilterPlan& plan, const CRowSource& source,
                                    std::uint8_t* scratch, std::uint8_t* bits, std::size_t stride,
                                    PixelArea area, int first, int last) {
    BandRows<Sum>(plan, source, scratch, bits, stride, area, first, last);
}
#endif

}  // namespace

bool MakeFilterPlan(const KernelTable& kernel, FilterPlan& plan) {
    const int n = kernel.side;
    if (n < 1 || n > CMask::kCells || n % 2 == 0) return false;
    if (kernel.divisor < 1 || kernel.divisor > kMaxFastDivisor) return false;
    plan = FilterPlan{};
    plan.side = n;
    plan.half = (n - 1) / 2;
    plan.inverse = 1.0f / static_cast<float>(kernel.divisor);
    int norm = 0;
    for (int k = 0; k < n * n; ++k) {
        plan.cells[k] = kernel.cells[k];
        norm += std::abs(plan.cells[k]);
    }
    // No partial sum exceeds 255 times the sum of the absolute values.
    plan.narrow = 255 * norm <= 32767;
    plan.separable = SplitRankOne(plan);
    return true;
}

std::size_t FilterScratchBytes(const FilterPlan& plan, int width) {
    const std::size_t sumBytes = plan.narrow ? sizeof(std::int16_t) : sizeof(std::int32_t);
    return static_cast<std::size_t>(plan.side) * LineBytes(plan, width, sumBytes);
}

void FilterBand(const FilterPlan& plan, const CRowSource& source, std::uint8_t* scratch,
                std::uint8_t* bits, std::size_t stride, PixelArea area, int first, int last) {
#if ORVEX_VECTOR_KERNELS
    if (UseVectorKernels()) {
        if (plan.narrow)
            VectorBand<std::int16_t>(plan, source, scratch, bits, stride, area, first, last);
        else
            VectorBand<std::int32_t>(plan, source, scratch, bits, stride, area, first, last);
        return;
    }
#endif
    if (plan.narrow)
        PlainBand<std::int16_t>(plan, source, scratch, bits, stride, area, first, last);
    else
        PlainBand<std::int32_t>(plan, source, scratch, bits, stride, area, first, last);
}

}  // namespace detail
