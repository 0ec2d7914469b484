#include "ImageStatistics.h"

#include <cstdio>

namespace {

std::string FormatReal(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

}  // namespace

CImageStatistics CImageStatistics::Measure(CImage& image) {
    const std::uint32_t pixels = image.GetArea();
    return From(image.GetStatistics(), pixels);
}

CImageStatistics CImageStatistics::From(const CLevelStatistics& levels, std::uint32_t pixels) {
    CImageStatistics s;
    s.pixels = pixels;
    s.minimum = levels.minimum;
    s.maximum = levels.maximum;
    s.sum = levels.sum;
    s.mean = static_cast<float>(levels.mean);
    s.stdev = levels.stdev;
    return s;
}

std::string CImageStatistics::PixelsText() const { return std::to_string(pixels); }
std::string CImageStatistics::MinimumText() const { return std::to_string(minimum); }
std::string CImageStatistics::MaximumText() const { return std::to_string(maximum); }
std::string CImageStatistics::SumText() const { return std::to_string(sum); }
std::string CImageStatistics::MeanText() const { return FormatReal(mean, 6); }
std::string CImageStatistics::StdevText() const { return FormatReal(stdev, 15); }
