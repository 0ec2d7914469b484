#include "SampleWindowCommand.h"

#include <vector>

#include "CCommandSteps.h"
#include "CDialogSampleWindow.h"
#include "COrvexDoc.h"
#include "FileSamples.h"
#include "StepsValues.h"
#include "ValueHistogram.h"

namespace {
constexpr int kHistogramBins = 512;
constexpr double kSaturatedPercent = 0.35;
}  // namespace

void SampleWindow(COrvexDoc& doc) {
    CImageDocument& core = doc.Core();
    const CFileSamples* samples = core.GetSamples();
    const std::optional<ValueWindow> current = core.GetWindow();
    CImage& image = *doc.GetImage();
    std::uint8_t* bits = image.GetBits(image.Lock());
    if (!samples || !current || !bits) return;
    const std::uint64_t stride =
        static_cast<std::uint64_t>(CImage::GetWidthBytes(image.GetWidth()));
    const std::vector<std::uint8_t> before(
        bits, bits + stride * static_cast<std::uint64_t>(image.GetHeight()));

    CDialogSampleWindow dialog(MakeValueHistogram(*samples, kHistogramBins), samples->Kind(),
                               *current, AutoWindow(*samples),
                               SaturatedWindow(*samples, kSaturatedPercent));
    // The preview rewrites the levels in place, size and region untouched:
    // a repaint is all the views need.
    QObject::connect(&dialog, &CDialogSampleWindow::windowChanged, &doc,
                     [&](double low, double high) {
                         samples->Level(low, high, bits, stride);
                         doc.UpdateColours();
                     });
    const bool apply = dialog.exec() == 1;
    std::copy(before.begin(), before.end(), bits);
    if (!apply) {
        doc.UpdateColours();
        return;
    }
    CCommandSteps steps(doc);
    steps.Wait();
    if (StepWindow(core, dialog.Low(), dialog.High())) steps.Modified();
    steps.Repaint();
}
