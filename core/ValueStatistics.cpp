#include "ValueStatistics.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <vector>

#include "Parallel.h"
#include "SampleSums.h"

namespace {

using Int128 = __int128;
using Uint128 = unsigned __int128;

// Exact sums of integers: count, sum, sum of squares, ends.
struct SIntegerSums {
    std::uint64_t count = 0;
    Int128 sum = 0;
    Uint128 squares = 0;
    std::int64_t least = std::numeric_limits<std::int64_t>::max();
    std::int64_t most = std::numeric_limits<std::int64_t>::min();

    void Add(const SIntegerSums& o) {
        count += o.count, sum += o.sum, squares += o.squares;
        least = std::min(least, o.least), most = std::max(most, o.most);
    }
};

// A sum of doubles with its running error (Neumaier's variant of Kahan's).
struct SCompensated {
    double sum = 0, error = 0;
    void Add(double v) {
        const double t = sum + v;
        error += std::abs(sum) >= std::abs(v) ? (sum - t) + v : (v - t) + sum;
        sum = t;
    }
    double Value() const { return sum + error; }
};

// A row of 16-bit samples, unsigned or signed.
SIntegerSums SumRow16(const std::uint16_t* p, int width, bool isSigned) {
    if (width <= 0) return {};
    const SSampleRowSums row = SumSamples16(p, width, isSigned);
    SIntegerSums sums;
    sums.count = static_cast<std::uint64_t>(width);
    sums.sum = row.sum;
    sums.squares = row.squares;
    sums.least = row.least;
    sums.most = row.most;
    return sums;
}

double MeanOf(Int128 sum, std::uint64_t count) {
    return static_cast<double>(static_cast<long double>(sum) / static_cast<long double>(count));
}

// Rows measured in bands of rows on every core, one result a row, merged in
// row order so the figures never depend on the number of threads.
template <typename Result, typename Measure>
std::vector<Result> PerRow(int height, Measure measure) {
    std::vector<Result> rows(static_cast<std::size_t>(height));
    ParallelRows(0, height, 16, [&](int first, int last) {
        for (int y = first; y < last; ++y) rows[static_cast<std::size_t>(y)] = measure(y);
    });
    return rows;
}

SValueStatistics FromIntegerSums(const std::vector<SIntegerSums>& rows, std::string depth) {
    SIntegerSums all;
    for (const SIntegerSums& row : rows) all.Add(row);
    SValueStatistics s;
    s.depth = std::move(depth);
    if (all.count == 0) return s;
    s.minimum = static_cast<double>(all.least);
    s.maximum = static_cast<double>(all.most);
    s.mean = MeanOf(all.sum, all.count);
    // n x squares - sum^2 = n^2 x variance, exactly, when the squares are
    // those of 16-bit samples.
    const Uint128 n = all.count;
    const Uint128 sumAbs = static_cast<Uint128>(all.sum < 0 ? -all.sum : all.sum);
    const Uint128 spread = n * all.squares - sumAbs * sumAbs;
    s.sd = static_cast<double>(std::sqrt(static_cast<long double>(spread)) /
                               static_cast<long double>(all.count));
    return s;
}

// 32-bit samples: the mean of exact sums (integers) or of compensated ones
// (floats), then the deviation around it in a second pass. NaN left out.
SValueStatistics MeasureWide(const CFileSamples& samples) {
    const SampleKind kind = samples.Kind();
    const auto value = [kind](std::uint32_t bits) -> double {
        switch (kind) {
            case SampleKind::Signed:
                return static_cast<std::int32_t>(bits);
            case SampleKind::Float:
                return std::bit_cast<float>(bits);
            case SampleKind::Unsigned:
                break;
        }
        return bits;
    };
    struct SRow {
        std::uint64_t count = 0, nan = 0;
        Int128 sum = 0;     // integers
        SCompensated real;  // floats
        double least = std::numeric_limits<double>::infinity();
        double most = -std::numeric_limits<double>::infinity();
    };
    const int width = samples.Width();
    const std::vector<SRow> rows = PerRow<SRow>(samples.Height(), [&](int y) {
        SRow row;
        const std::uint32_t* p = samples.Row32(y);
        for (int x = 0; x < width; ++x) {
            const double v = value(p[x]);
            if (std::isnan(v)) {
                ++row.nan;
                continue;
            }
            ++row.count;
            if (kind == SampleKind::Float)
                row.real.Add(v);
            else
                row.sum += static_cast<std::int64_t>(v);
            row.least = std::min(row.least, v);
            row.most = std::max(row.most, v);
        }
        return row;
    });
    SValueStatistics s;
    s.depth = samples.DepthName();
    SRow all;
    SCompensated total;
    double plain = 0;  // with infinities the compensated sum would give NaN
    for (const SRow& row : rows) {
        all.count += row.count, all.nan += row.nan, all.sum += row.sum;
        total.Add(row.real.sum);
        total.Add(row.real.error);
        plain += row.real.sum;
        all.least = std::min(all.least, row.least);
        all.most = std::max(all.most, row.most);
    }
    s.nan = all.nan;
    if (all.count == 0) return s;
    s.minimum = all.least;
    s.maximum = all.most;
    const double n = static_cast<double>(all.count);
    if (kind != SampleKind::Float)
        s.mean = MeanOf(all.sum, all.count);
    else
        s.mean = std::isfinite(plain) ? total.Value() / n : plain / n;
    if (!std::isfinite(s.mean)) return s;  // the deviation is NaN, as numpy's
    const double mean = s.mean;
    const std::vector<SCompensated> spreads = PerRow<SCompensated>(samples.Height(), [&](int y) {
        SCompensated spread;
        const std::uint32_t* p = samples.Row32(y);
        for (int x = 0; x < width; ++x) {
            const double v = value(p[x]);
            if (!std::isnan(v)) spread.Add((v - mean) * (v - mean));
        }
        return spread;
    });
    SCompensated spread;
    for (const SCompensated& row : spreads) spread.Add(row.sum), spread.Add(row.error);
    s.sd = std::sqrt(spread.Value() / n);
    return s;
}

}  // namespace

SValueStatistics MeasureValues(const CFileSamples& samples) {
    if (samples.Wide()) return MeasureWide(samples);
    const int width = samples.Width();
    const bool isSigned = samples.Kind() == SampleKind::Signed;
    const std::vector<SIntegerSums> rows = PerRow<SIntegerSums>(
        samples.Height(), [&](int y) { return SumRow16(samples.Row16(y), width, isSigned); });
    return FromIntegerSums(rows, samples.DepthName());
}

SValueStatistics MeasureLevels(CImage& image) {
    if (!image.GenerateHistogram()) return FromIntegerSums({}, "8");
    SIntegerSums all;
    for (int level = 0; level < 256; ++level) {
        const std::uint64_t count = static_cast<std::uint64_t>(image.GetHistogramValue(level));
        if (count == 0) continue;
        all.count += count;
        all.sum += static_cast<Int128>(count) * level;
        all.squares += static_cast<Uint128>(count) * static_cast<Uint128>(level * level);
        all.least = std::min<std::int64_t>(all.least, level);
        all.most = std::max<std::int64_t>(all.most, level);
    }
    return FromIntegerSums({all}, "8");
}

std::string ValueNumberText(double value, bool asFloat) {
    if (!std::isfinite(value)) return {};
    char text[64];
    const auto end = asFloat ? std::to_chars(text, text + sizeof text, static_cast<float>(value))
                             : std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}
