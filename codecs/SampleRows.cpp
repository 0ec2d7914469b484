#include "SampleRows.h"

namespace samples {

void GreyLevels(const std::uint8_t* in, int bits, int channels, bool minIsWhite, SColumns c,
                std::uint8_t* out) {
    const unsigned spread = 255u / ((1u << bits) - 1);
    const std::uint8_t flip = minIsWhite ? 255 : 0;
    if (bits == 8) {
        for (int x = c.start; x < c.width; x += c.step)
            out[x] = static_cast<std::uint8_t>(in[static_cast<std::size_t>(x) * channels] ^ flip);
        return;
    }
    for (int x = c.start; x < c.width; x += c.step)
        out[x] = static_cast<std::uint8_t>((PackedAt(in, bits, x * channels) * spread) ^ flip);
}

void DeepGrey(const std::uint8_t* in, int channels, bool bigEndian, bool minIsWhite, SColumns c,
              std::uint16_t* out) {
    const unsigned flip = minIsWhite ? 65535 : 0;
    for (int x = c.start; x < c.width; x += c.step)
        out[x] = static_cast<std::uint16_t>(
            Sample16At(in, static_cast<std::uint64_t>(x) * channels, bigEndian) ^ flip);
}

void PaletteIndices(const std::uint8_t* in, int bits, SColumns c, std::uint8_t* out) {
    for (int x = c.start; x < c.width; x += c.step)
        out[x] = static_cast<std::uint8_t>(PackedAt(in, bits, x));
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

void CGreyWindow::Put(const std::uint16_t* samples, SColumns c, std::uint8_t* out) {
    if (fixed_) {
        for (int x = c.start; x < c.width; x += c.step) out[x] = table_[samples[x]];
        return;
    }
    for (int x = c.start; x < c.width; x += c.step) {
        if (samples[x] < min_) min_ = samples[x];
        if (samples[x] > max_) max_ = samples[x];
    }
}

void CGreyWindow::Fix() {
    fixed_ = true;
    if (min_ > max_) min_ = max_ = 0;  // nothing seen
    const unsigned range = max_ - min_;
    for (unsigned v = 0; v < 65536; ++v)
        table_[v] =
            range == 0 ? RoundedLevel(v, white_) : RoundedLevel(v < min_ ? 0 : v - min_, range);
}

}  // namespace samples
