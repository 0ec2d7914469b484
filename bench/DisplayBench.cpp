// Repainting a 1000 x 800 view of a 10000 x 10000 picture at several zooms:
// the cost must follow the screen area, not the picture (well under 16 ms).
// The peer scales the same visible source rectangle with OpenCV's nearest
// neighbour and maps it through the colour table.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

#include "BenchSupport.h"
#include "Image.h"
#include "ImageRenderer.h"
#include "LargePicture.h"
#include "ZoomSteps.h"

namespace {

constexpr int kSide = kLargeSide;
const QSize kClient(1000, 800);

const CImage& Picture() { return LargePicture(); }

// The zoom after `steps` zoom commands from 1.0 (negative: zoom out).
float ZoomAfter(int steps) {
    float factor = 1.0f;
    for (int i = 0; i < steps; ++i) factor = zoom::In(factor);
    for (int i = 0; i < -steps; ++i) factor = zoom::Out(factor);
    return factor;
}

// The view scrolled to the middle of the zoomed picture.
QRect Exposed(float factor) {
    const int extent = zoom::Scaled(kSide, factor);
    const QPoint offset(std::max(0, (extent - kClient.width()) / 2),
                        std::max(0, (extent - kClient.height()) / 2));
    return {offset, kClient};
}

void Ours(benchmark::State& state, int steps) {
    const CImage& image = Picture();
    const float factor = ZoomAfter(steps);
    const QRect exposed = Exposed(factor);
    QImage screen(kClient, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.translate(-exposed.topLeft());
        benchmark::DoNotOptimize(DisplayImage(painter, image, factor, {kSide, kSide}, exposed));
    }
}

void Peer(benchmark::State& state, int steps) {
    const CImage& image = Picture();
    const float factor = ZoomAfter(steps);
    const QRect exposed = Exposed(factor);
    // The source rows are stored bottom-up; OpenCV sees them as they lie.
    const cv::Mat source(kSide, kSide, CV_8UC1,
                         const_cast<std::uint8_t*>(image.GetBits(image.Lock())));
    const int extent = zoom::Scaled(kSide, factor);
    const QRect visible = exposed & QRect(0, 0, extent, extent);
    const cv::Rect from(
        static_cast<int>(static_cast<std::int64_t>(visible.left()) * kSide / extent),
        static_cast<int>(static_cast<std::int64_t>(visible.top()) * kSide / extent),
        std::max(1, static_cast<int>(static_cast<std::int64_t>(visible.width()) * kSide / extent)),
        std::max(1,
                 static_cast<int>(static_cast<std::int64_t>(visible.height()) * kSide / extent)));
    cv::Mat table(1, 256, CV_8UC3);
    const CPaletteTable& palette = *image.GetPalette();
    for (int i = 0; i < 256; ++i)
        table.at<cv::Vec3b>(i) = {palette.entries[i].blue, palette.entries[i].green,
                                  palette.entries[i].red};
    cv::Mat scaled, grey3, coloured;
    for (auto _ : state) {
        cv::resize(source(from), scaled, {visible.width(), visible.height()}, 0, 0,
                   cv::INTER_NEAREST);
        cv::cvtColor(scaled, grey3, cv::COLOR_GRAY2BGR);
        cv::LUT(grey3, table, coloured);
        benchmark::DoNotOptimize(coloured.data);
    }
}

const int kRegistered = [] {
    for (const auto& [steps, name] :
         {std::pair{-25, "0.092"}, {-7, "0.51"}, {0, "1.0"}, {1, "1.1"}, {25, "10.8"}}) {
        const std::string label = std::string("Display zoom ") + name;
        AddPair(
            label, [steps](benchmark::State& s) { Ours(s, steps); },
            [steps](benchmark::State& s) { Peer(s, steps); });
    }
    return 0;
}();

}  // namespace
