// One step of the manual threshold's live preview on a 10000 x 10000
// picture: the colour table rewritten for the new interval, then a 1000 x 800
// view repainted the way the view paints. Only colours change, so nothing
// else is done; a step must stay well under a frame (16 ms).

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "BenchSupport.h"
#include "ImageRenderer.h"
#include "LargePicture.h"
#include "ZoomSteps.h"

namespace {

const QSize kClient(1000, 800);

void PreviewStep(benchmark::State& state, float zoom) {
    CImage& image = LargePicture();
    const int extent = zoom::Scaled(kLargeSide, zoom);
    const QRect exposed(QPoint(std::max(0, (extent - kClient.width()) / 2),
                               std::max(0, (extent - kClient.height()) / 2)),
                        kClient);
    QImage screen(kClient, QImage::Format_RGB32);
    int low = 0;
    for (auto _ : state) {
        low = (low + 7) % 200;  // the bound follows the mouse
        image.PaletteThreshold(low, low + 50);
        QPainter painter(&screen);
        painter.translate(-exposed.topLeft());
        benchmark::DoNotOptimize(
            DisplayImage(painter, image, zoom, {kLargeSide, kLargeSide}, exposed));
    }
}

const int kRegistered = [] {
    AddOurs("Threshold preview 1.0", [](benchmark::State& s) { PreviewStep(s, 1.0f); });
    AddOurs("Threshold preview 0.092", [](benchmark::State& s) { PreviewStep(s, 0.092f); });
    return 0;
}();

}  // namespace
