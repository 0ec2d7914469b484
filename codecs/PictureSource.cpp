#include "PictureSource.h"

bool CPictureSource::Open(const CImage& image, const char* formatName, std::string& problem) {
    rows_ = image.GetStoredRows();
    palette_ = image.GetPalette();
    const int bits = rows_.bitCount;
    if (rows_.bits == nullptr || rows_.width <= 0 || rows_.height <= 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
        (image.GetCompression() != 0 && image.GetCompression() != 3)) {
        problem = std::string("this picture cannot be written as ") + formatName;
        return false;
    }
    bitCount_ = bits <= 8 ? bits : 24;
    grey_ = bits == 8 && palette_->IsGreyRamp();
    if (bitCount_ == 24) rgb_.resize(3 * static_cast<std::size_t>(rows_.width));
    return true;
}

const std::uint8_t* CPictureSource::Row(int y, std::uint8_t* rgb) const {
    const std::uint8_t* row = rows_.Row(rows_.height - 1 - y);
    if (bitCount_ != 24) return row;
    const CDirectChannel red(rows_.redMask), green(rows_.greenMask), blue(rows_.blueMask);
    for (int x = 0; x < rows_.width; ++x) {
        std::uint8_t* out = rgb + 3 * static_cast<std::size_t>(x);
        if (rows_.bitCount == 24) {
            const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            out[0] = p[2], out[1] = p[1], out[2] = p[0];
            continue;
        }
        const std::uint32_t word =
            rows_.bitCount == 16 ? CStoredRows::Word16(row, x) : CStoredRows::Word32(row, x);
        out[0] = static_cast<std::uint8_t>(red.Value(word));
        out[1] = static_cast<std::uint8_t>(green.Value(word));
        out[2] = static_cast<std::uint8_t>(blue.Value(word));
    }
    return rgb;
}
