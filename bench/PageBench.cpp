// Moving to another page of a stack of 2000 x 2000 pages in the desktop
// program: the document's current page changes (no history) and a
// 1000 x 800 view repaints the new page the way the view paints, at zoom
// 1.0 scrolled to the middle and with the whole page fitted (zoom 0.4). A
// move must stay well under a frame (16 ms). And what a mouse move over
// such a page costs the view: the pixel under it found and its readout
// written, with the level, the colour shown and the kept 16-bit value.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstdint>

#include "BenchSupport.h"
#include "FileSamples.h"
#include "ImageDocument.h"
#include "ImageRenderer.h"
#include "PixelReadout.h"
#include "ZoomSteps.h"

namespace {

constexpr int kSide = 2000;
constexpr int kPages = 8;
const QSize kClient(1000, 800);

// A stack of pages each of its own levels, under the false-colour palette.
CImageDocument& Stack() {
    static CImageDocument doc;
    static const bool ready = [] {
        std::vector<SPicturePage> pages(kPages);
        for (int p = 0; p < kPages; ++p) {
            CImage& image = *pages[static_cast<std::size_t>(p)].image;
            image.CreateEmptyImage(kSide, kSide, 0);
            std::uint8_t* bits = image.GetBits(image.Lock());
            for (std::size_t i = 0; i < static_cast<std::size_t>(kSide) * kSide; ++i)
                bits[i] = static_cast<std::uint8_t>((i + p * 977u) * 2654435761u >> 24);
            image.PaletteRainbow();
            pages[static_cast<std::size_t>(p)].number = p + 1;
        }
        doc.SetPages(std::move(pages));
        return true;
    }();
    (void)ready;
    return doc;
}

void TurnPage(benchmark::State& state, float zoom) {
    CImageDocument& doc = Stack();
    const int extent = zoom::Scaled(kSide, zoom);
    const QRect exposed(QPoint(std::max(0, (extent - kClient.width()) / 2),
                               std::max(0, (extent - kClient.height()) / 2)),
                        kClient);
    QImage screen(kClient, QImage::Format_RGB32);
    for (auto _ : state) {
        doc.SetCurrentPage((doc.GetCurrentPage() + 1) % kPages);
        QPainter painter(&screen);
        painter.translate(-exposed.topLeft());
        benchmark::DoNotOptimize(
            DisplayImage(painter, *doc.GetImage(), zoom, {kSide, kSide}, exposed));
    }
}

// The mouse crossing the fitted page (zoom 0.4) on a diagonal, a point a move.
void ReadoutUnderMouse(benchmark::State& state) {
    CImageDocument& doc = Stack();
    static const CFileSamples samples = [] {
        CFileSamples kept(kSide, kSide, SampleKind::Unsigned, 16, 65535);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                kept.Row16(y)[x] = static_cast<std::uint16_t>(x * 31 + y * 17);
        return kept;
    }();
    const int extent = zoom::Scaled(kSide, 0.4f);
    int step = 0;
    for (auto _ : state) {
        step = (step + 7) % extent;
        const std::optional<SShownPixel> shown =
            PixelShownAt(*doc.GetImage(), 0.4f, {kSide, kSide}, QPoint(step, extent - 1 - step));
        benchmark::DoNotOptimize(shown ? ReadoutText(*shown, &samples) : QString());
    }
}

const int kRegistered = [] {
    AddOurs("Page change 2000x2000 1.0", [](benchmark::State& s) { TurnPage(s, 1.0f); });
    AddOurs("Page change 2000x2000 0.4", [](benchmark::State& s) { TurnPage(s, 0.4f); });
    AddOurs("Readout under the mouse", ReadoutUnderMouse);
    return 0;
}();

}  // namespace
