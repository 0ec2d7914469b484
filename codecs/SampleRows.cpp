#include "SampleRows.h"

#include <cstdio>

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
                               : (Sample16At(in, first + k, bigEndian) * 255 + 32767) / 65535;
        std::uint8_t* p = out + 3 * static_cast<std::uint64_t>(x);
        p[0] = static_cast<std::uint8_t>(rgb[2]);
        p[1] = static_cast<std::uint8_t>(rgb[1]);
        p[2] = static_cast<std::uint8_t>(rgb[0]);
    }
}

CMaxScale::CMaxScale(unsigned maximum) {
    for (unsigned v = 0; v < 256; ++v) {
        const unsigned s = v < maximum ? v : maximum;
        table_[v] =
            static_cast<std::uint8_t>(maximum == 0 ? 0 : (2 * s * 255 + maximum) / (2 * maximum));
    }
}

void CGreyWindow::ObserveRow(const std::uint8_t* in, int channels, bool bigEndian, bool minIsWhite,
                             SColumns c) {
    const unsigned flip = minIsWhite ? 65535 : 0;
    for (int x = c.start; x < c.width; x += c.step)
        Observe(Sample16At(in, static_cast<std::uint64_t>(x) * channels, bigEndian) ^ flip);
}

void CGreyWindow::Fix() {
    if (min_ > max_) min_ = max_ = 0;  // nothing seen
    const std::uint64_t range = max_ - min_;
    for (unsigned v = 0; v < 65536; ++v) {
        const std::uint64_t s = v < min_ ? 0 : (v > max_ ? range : v - min_);
        table_[v] = range == 0 ? 0 : static_cast<std::uint8_t>((2 * s * 255 + range) / (2 * range));
    }
}

void CGreyWindow::LevelsRow(const std::uint8_t* in, int channels, bool bigEndian, bool minIsWhite,
                            SColumns c, std::uint8_t* out) const {
    const unsigned flip = minIsWhite ? 65535 : 0;
    for (int x = c.start; x < c.width; x += c.step)
        out[x] = table_[Sample16At(in, static_cast<std::uint64_t>(x) * channels, bigEndian) ^ flip];
}

std::string CGreyWindow::Note() const {
    char text[64];
    std::snprintf(text, sizeof text, "Image 16 bits : fenêtre %u..%u", min_, max_);
    return text;
}

}  // namespace samples
