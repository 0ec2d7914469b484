// The relief drawn in bands of columns on several threads against a plain
// drawing written out from its definition, pixel for pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "TestSupport.h"

namespace {

struct Parameters {
    int mode, amplitude, border, right, left;
};

// The pixels without the row padding.
std::vector<std::uint8_t> Rows(CImage& image) {
    const std::uint8_t* bits = image.GetBits(image.Lock());
    const std::size_t stride = static_cast<std::size_t>(CImage::GetWidthBytes(image.GetWidth()));
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < image.GetHeight(); ++y)
        rows.insert(rows.end(), bits + y * stride, bits + y * stride + image.GetWidth());
    return rows;
}

// Every bar (or cloud point) far to near, then the edges, clipped.
std::vector<std::uint8_t> PlainRelief(CImage& source, const Parameters& p, int width, int height) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 100);
    const float s = static_cast<float>(std::sin(p.right * 0.01745327843560113));
    const float c = static_cast<float>(std::cos(p.left * 0.01745327843560113));
    const int w = source.GetWidth(), h = source.GetHeight(), a = std::max(p.amplitude, 0);
    const std::vector<std::uint8_t> levels = Rows(source);
    auto plot = [&](long long x, long long y, int value) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            out[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(value);
    };
    auto shade = [&](long long k) { return a <= 0 ? 0 : static_cast<int>(double(k) / a * 255.0); };
    for (int x = w - 1; x >= 1; --x)
        for (int y = h - 1; y >= 1; --y) {
            const int n = static_cast<int>(levels[static_cast<std::size_t>(y) * w + x] * a *
                                           0.00392156862745098);
            const long long column = x + (h - y) + p.border;
            const auto row = static_cast<long long>(static_cast<double>(static_cast<float>(x) * s) +
                                                    y * static_cast<double>(c) + p.border);
            if (p.mode == 1) plot(column, row + n, shade(n));
            for (int k = 0; p.mode == 0 && k <= n; ++k) plot(column, row + k, shade(k));
        }
    if (p.mode == 0) {
        for (int x = w - 1; x >= 1; --x)
            plot(x + h + p.border, static_cast<long long>(static_cast<float>(x) * s) + p.border - 1,
                 255);
        for (int y = h - 1; y >= 1; --y)
            plot(h - y + p.border, static_cast<long long>(static_cast<float>(y) * c) + p.border - 1,
                 255);
    }
    return out;
}

}  // namespace

TEST(PerspectiveExactness, BandsOfColumnsMatchThePlainDrawing) {
    CMessageRecorder quiet;
    std::mt19937 random(5);
    const Parameters cases[] = {
        {0, 64, 10, 30, 30},    {1, 64, 10, 30, 30},  {0, 200, 0, 80, 10},  {1, 17, -5, 45, 60},
        {0, 40, -30, 120, 200}, {0, 4200, 3, 20, 20}, {1, 4200, 3, 20, 20}, {0, 0, 4, 30, 30},
        {0, -8, 4, 30, 30},     {2, 64, 10, 30, 30},
    };
    for (const Parameters& p : cases) {
        for (const auto& [w, h] : {std::pair{1, 1}, {3, 70}, {67, 41}, {150, 90}}) {
            CImage source;
            FillPicture(source, w, h, [&](int, int) { return random() % 256; });
            for (int threads : {1, 3}) {
                const CWorkerCount workers(threads);
                CImage image;
                image.SetHandle(CImage::CopyBlock(source.GetHandle()));
                if (!image.Perspective(p.mode, p.amplitude, p.border, p.right, p.left, 100, 255))
                    continue;  // an empty result, refused the same way by both
                EXPECT_EQ(Rows(image), PlainRelief(source, p, image.GetWidth(), image.GetHeight()))
                    << "mode " << p.mode << " amplitude " << p.amplitude << " border " << p.border
                    << " " << w << "x" << h << " threads " << threads;
            }
        }
    }
}
