#include "SampleRows.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace samples {

void GreyLevels(const std::uint8_t* in, int bits, int channels, bool minIsWhite, SColumns c,
                std::uint8_t* out) {
    const std::uint8_t flip = minIsWhite ? 255 : 0;
    if (bits == 8) {
        for (int x = c.start; x < c.width; x += c.step)
            out[x] = static_cast<std::uint8_t>(in[static_cast<std::size_t>(x) * channels] ^ flip);
        return;
    }
    // At 1, 2 and 4 bits the levels are exact multiples.
    const unsigned white = (1u << bits) - 1, spread = 255 % white == 0 ? 255 / white : 0;
    for (int x = c.start; x < c.width; x += c.step) {
        const unsigned v = PackedAt(in, bits, static_cast<std::uint64_t>(x) * channels);
        out[x] = static_cast<std::uint8_t>((spread ? v * spread : RoundedLevel(v, white)) ^ flip);
    }
}

void DeepGrey(const std::uint8_t* in, const SDeepLayout& layout, SColumns c, std::uint16_t* out) {
    const unsigned white = (1u << layout.bits) - 1;
    const unsigned flip = layout.minIsWhite ? white : 0;
    const unsigned offset = layout.kind == SampleKind::Signed ? 1u << (layout.bits - 1) : 0;
    for (int x = c.start; x < c.width; x += c.step) {
        const std::uint64_t index = static_cast<std::uint64_t>(x) * layout.channels;
        const unsigned v = layout.bits == 16 ? Sample16At(in, index, layout.bigEndian)
                                             : PackedAt(in, layout.bits, index);
        // Two's complement: offsetting by half the scale flips the top bit.
        out[x] = static_cast<std::uint16_t>(v ^ offset ^ flip);
    }
}

void DeepGrey(const std::uint8_t* in, const SDeepLayout& layout, SColumns c, double* out) {
    for (int x = c.start; x < c.width; x += c.step) {
        const std::uint8_t* p = in + 4 * static_cast<std::uint64_t>(x) * layout.channels;
        const std::uint32_t bytes = layout.bigEndian
                                        ? std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]
                                        : std::uint32_t{p[3]} << 24 | p[2] << 16 | p[1] << 8 | p[0];
        double v = 0;
        if (layout.kind == SampleKind::Float) {
            v = std::bit_cast<float>(bytes);
            if (layout.minIsWhite) v = 1 - v;
        } else {
            std::uint32_t u = layout.kind == SampleKind::Signed ? bytes ^ 0x80000000u : bytes;
            if (layout.minIsWhite) u = ~u;
            v = u;
        }
        out[x] = v;
    }
}

void PaletteIndices(const std::uint8_t* in, int bits, SColumns c, std::uint8_t* out, int channels) {
    for (int x = c.start; x < c.width; x += c.step)
        out[x] =
            static_cast<std::uint8_t>(PackedAt(in, bits, static_cast<std::uint64_t>(x) * channels));
}

void ColourBgr(const std::uint8_t* in, int bits, int channels, bool bigEndian, SColumns c,
               std::uint8_t* out) {
    for (int x = c.start; x < c.width; x += c.step) {
        const std::uint64_t first = static_cast<std::uint64_t>(x) * channels;
        unsigned rgb[3];
        for (int k = 0; k < 3; ++k)
            rgb[k] = bits == 8 ? in[first + k]
                               : RoundedLevel(Sample16At(in, first + k, bigEndian), 65535);
        std::uint8_t* p = out + 3 * static_cast<std::uint64_t>(x);
        p[0] = static_cast<std::uint8_t>(rgb[2]);
        p[1] = static_cast<std::uint8_t>(rgb[1]);
        p[2] = static_cast<std::uint8_t>(rgb[0]);
    }
}

CMaxScale::CMaxScale(unsigned white) {
    for (unsigned v = 0; v < 256; ++v) table_[v] = RoundedLevel(v, white);
}

CGreyWindow::CGreyWindow(SampleKind kind, int bits, std::uint64_t white)
    : kind_(kind),
      white_(white),
      offset_(kind == SampleKind::Signed ? std::ldexp(1.0, bits - 1) : 0.0),
      min_(std::numeric_limits<double>::infinity()),
      max_(-std::numeric_limits<double>::infinity()) {}

void CGreyWindow::Put(const std::uint16_t* samples, SColumns c, std::uint8_t* out) {
    if (fixed_) {
        for (int x = c.start; x < c.width; x += c.step) out[x] = table_[samples[x]];
        return;
    }
    for (int x = c.start; x < c.width; x += c.step) {
        if (samples[x] < min16_) min16_ = samples[x];
        if (samples[x] > max16_) max16_ = samples[x];
    }
}

void CGreyWindow::Put(const double* samples, SColumns c, std::uint8_t* out) {
    if (fixed_) {
        for (int x = c.start; x < c.width; x += c.step) out[x] = LevelOf(samples[x]);
        return;
    }
    for (int x = c.start; x < c.width; x += c.step) {
        if (!std::isfinite(samples[x])) continue;
        min_ = std::min(min_, samples[x]);
        max_ = std::max(max_, samples[x]);
    }
}

void CGreyWindow::Fix() {
    fixed_ = true;
    if (min16_ <= max16_) {
        min_ = std::min(min_, static_cast<double>(min16_));
        max_ = std::max(max_, static_cast<double>(max16_));
    }
    if (min_ > max_) min_ = max_ = kind_ == SampleKind::Signed ? offset_ : 0;  // nothing seen
    for (unsigned v = 0; v < 65536; ++v) table_[v] = LevelOf(v);
}

void CGreyWindow::FixAt(double low, double high) {
    min16_ = 65535, max16_ = 0;
    min_ = low + offset_;
    max_ = high + offset_;
    Fix();
}

void CGreyWindow::FixEndsAt(double low, double high) {
    min_ = low + offset_;
    max_ = high + offset_;
    fixed_ = true;
}

std::uint8_t CGreyWindow::LevelOf(double v) const {
    if (!std::isfinite(v)) return 0;
    if (kind_ == SampleKind::Float) {
        // Flat: the value itself on 0..1; otherwise its place in the window.
        const double place = min_ == max_ ? std::clamp(v, 0.0, 1.0)
                                          : std::clamp((v - min_) / (max_ - min_), 0.0, 1.0);
        return static_cast<std::uint8_t>(std::floor(place * 255 + 0.5));
    }
    if (min_ == max_) return RoundedLevel(static_cast<std::uint64_t>(v), white_);
    return RoundedLevel(v < min_ ? 0 : static_cast<std::uint64_t>(v - min_),
                        static_cast<std::uint64_t>(max_ - min_));
}

std::optional<SSampleRamp> CGreyWindow::Ramp() const {
    // A sample v at or above min_ has floor(v - min_) = v - ceil(min_) above
    // it, one below has none: the ramp starts at ceil(min_).
    constexpr double kLimit = 1 << 20;
    if (kind_ != SampleKind::Unsigned || !fixed_ || min_ == max_) return std::nullopt;
    const double start = std::ceil(min_), range = std::floor(max_ - min_);
    if (!(std::abs(start) <= kLimit && range >= 1 && range <= kLimit)) return std::nullopt;
    return SSampleRamp{static_cast<std::int32_t>(start), static_cast<std::int32_t>(range)};
}

void KeepGrey(const std::uint16_t* samples, SColumns c, const CFileSamples& kept,
              std::uint16_t* out) {
    if (kept.Kind() != SampleKind::Signed) {
        for (int x = c.start; x < c.width; x += c.step) out[x] = samples[x];
        return;
    }
    const int offset = 1 << (kept.Bits() - 1);
    for (int x = c.start; x < c.width; x += c.step)
        out[x] = static_cast<std::uint16_t>(static_cast<int>(samples[x]) - offset);
}

void KeepGrey(const double* samples, SColumns c, const CFileSamples& kept, std::uint32_t* out) {
    for (int x = c.start; x < c.width; x += c.step) {
        const double v = samples[x];
        switch (kept.Kind()) {
            case SampleKind::Float:
                out[x] = std::bit_cast<std::uint32_t>(static_cast<float>(v));
                break;
            case SampleKind::Signed:
                out[x] = static_cast<std::uint32_t>(static_cast<std::int64_t>(v) - 2147483648LL);
                break;
            case SampleKind::Unsigned:
                out[x] = static_cast<std::uint32_t>(v);
                break;
        }
    }
}

}  // namespace samples
