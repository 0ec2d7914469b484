#include "FileSamples.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

#include "Parallel.h"
#include "SampleRows.h"

CFileSamples::CFileSamples(int width, int height, SampleKind kind, int bits, std::uint64_t white)
    : width_(width), height_(height), kind_(kind), bits_(bits), white_(white) {
    if (!samples_.Reset(static_cast<std::size_t>(Bytes()))) throw std::bad_alloc();
}

std::uint64_t FileSampleBytes(std::int64_t width, std::int64_t height, int bits) {
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
           (bits > 16 ? 4 : 2);
}

std::uint64_t CFileSamples::Bytes() const { return FileSampleBytes(width_, height_, bits_); }

double CFileSamples::ValueAt(int x, int y) const {
    if (!Wide()) {
        const std::uint16_t sample = Row16(y)[x];
        return kind_ == SampleKind::Signed ? static_cast<std::int16_t>(sample) : sample;
    }
    const std::uint32_t sample = Row32(y)[x];
    switch (kind_) {
        case SampleKind::Signed:
            return static_cast<std::int32_t>(sample);
        case SampleKind::Float:
            return std::bit_cast<float>(sample);
        case SampleKind::Unsigned:
            break;
    }
    return sample;
}

std::string CFileSamples::DepthName() const {
    const std::string bits = std::to_string(bits_);
    switch (kind_) {
        case SampleKind::Signed:
            return bits + "s";
        case SampleKind::Float:
            return bits + "f";
        case SampleKind::Unsigned:
            break;
    }
    return bits;
}

namespace {

// out[x] = table[in[x]] for a row: eight samples looked up before any level
// is stored, since a store of a byte might otherwise alias the table and
// hold every lookup back behind it.
void LevelRow(const std::uint16_t* in, std::uint8_t* out, int width, const std::uint8_t* table) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        std::uint8_t levels[8];
        for (int k = 0; k < 8; ++k) levels[k] = table[in[x + k]];
        std::memcpy(out + x, levels, 8);
    }
    for (; x < width; ++x) out[x] = table[in[x]];
}

}  // namespace

void CFileSamples::Level(double low, double high, std::uint8_t* bits, std::uint64_t stride) const {
    samples::CGreyWindow window(kind_, bits_, white_);
    window.FixEndsAt(low, high);
    const auto outRow = [&](int y) {
        return bits + static_cast<std::uint64_t>(height_ - 1 - y) * stride;
    };
    const std::optional<SSampleRamp> ramp = window.Ramp();
    if (!Wide() && ramp) {
        ParallelRows(0, height_, 64, [&](int first, int last) {
            for (int y = first; y < last; ++y) RampSamples16(Row16(y), outRow(y), width_, *ramp);
        });
        return;
    }
    window.FixAt(low, high);
    if (!Wide()) {
        // One level for each 16-bit pattern; signed patterns are offset as
        // the reader hands them to its window.
        std::array<std::uint8_t, 65536> table{};
        const int offset = kind_ == SampleKind::Signed ? 1 << (bits_ - 1) : 0;
        for (int p = 0; p < 65536; ++p) {
            const int held = kind_ == SampleKind::Signed ? static_cast<std::int16_t>(p) : p;
            const int value = held + offset;
            table[static_cast<std::size_t>(p)] =
                value >= 0 && value < 65536 ? window.Level16(static_cast<unsigned>(value)) : 0;
        }
        ParallelRows(0, height_, 64, [&](int first, int last) {
            for (int y = first; y < last; ++y) LevelRow(Row16(y), outRow(y), width_, table.data());
        });
        return;
    }
    ParallelRows(0, height_, 16, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint32_t* in = Row32(y);
            std::uint8_t* out = outRow(y);
            for (int x = 0; x < width_; ++x) {
                double v = in[x];
                if (kind_ == SampleKind::Signed)
                    v = static_cast<double>(static_cast<std::int32_t>(in[x])) + 2147483648.0;
                else if (kind_ == SampleKind::Float)
                    v = std::bit_cast<float>(in[x]);
                out[x] = window.LevelOf(v);
            }
        }
    });
}
