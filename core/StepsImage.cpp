#include "StepsImage.h"

#include <cmath>

#include "Message.h"

namespace {

constexpr int kPaletteBarRows = 20;

// Both calls are made whatever the first one gives, as the commands do.
bool ThresholdThenBinaryPalette(CImage& image, int low, int high) {
    const bool thresholded = image.Threshold(low, high);
    const bool painted = image.PaletteBinary();
    return thresholded && painted;
}

}  // namespace

static bool RunNegative(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = image.Reverse();
    doc.AddHistory("Inverse");
    return done;
}
const SStep<> StepNegative{&RunNegative, StepNeeds::FullPalette};

static bool RunFlipHorizontal(CImageDocument& doc) {
    doc.AddHistory("Retournement horizontal");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.FlipHorizontal();
}
const SStep<> StepFlipHorizontal{&RunFlipHorizontal, StepNeeds::FullPalette};

static bool RunFlipVertical(CImageDocument& doc) {
    doc.AddHistory("Retournement vertical");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.FlipVertical();
}
const SStep<> StepFlipVertical{&RunFlipVertical, StepNeeds::FullPalette};

static bool RunRotate(CImageDocument& doc, int angle) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = image.Rotate(static_cast<unsigned>(angle), 0);
    doc.AddHistory(FormatHistory("Rotation(%d)", angle));
    return done;
}
const SStep<int> StepRotate{&RunRotate, StepNeeds::FullPalette};

static bool RunResize(CImageDocument& doc, int width, int height) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    // Resize refuses the picture's own size without a word; there is simply
    // nothing to do, which is no failure.
    const bool unchanged = image.IsValid() && image.GetSize() == CSize{width, height};
    const bool done = image.Resize(width, height) || unchanged;
    doc.AddHistory(FormatHistory("Redimensionnement(%d,%d)", width, height));
    return done;
}
const SStep<int, int> StepResize{&RunResize, StepNeeds::FullPalette};

static bool RunPaletteBar(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = image.AddPaletteBar(kPaletteBarRows);
    doc.AddHistory(FormatHistory("Ajout de la palette(%d)", kPaletteBarRows));
    return done;
}
const SStep<> StepPaletteBar{&RunPaletteBar, StepNeeds::FullPalette};

static bool RunPalette(CImageDocument& doc, PaletteKind kind) {
    struct Command {
        const char* history;
        bool (*apply)(CImage&);
    };
    const Command command = [kind]() -> Command {
        switch (kind) {
            case PaletteKind::Rainbow:
                return {"Palette fausses couleurs", [](CImage& i) { return i.PaletteRainbow(); }};
            case PaletteKind::Heat:
                return {"Palette thermique", [](CImage& i) { return i.PaletteHeat(); }};
            case PaletteKind::Metal:
                return {"Palette métallique", [](CImage& i) { return i.PaletteMetal(); }};
            case PaletteKind::Binary:
                return {"Palette binaire", [](CImage& i) { return i.PaletteBinary(); }};
            case PaletteKind::Grey:
                break;
        }
        return {"Palette niveaux de gris", [](CImage& i) { return i.PaletteGradient(1, 1, 1); }};
    }();
    doc.AddHistory(command.history);
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return command.apply(image);
}
const SStep<PaletteKind> StepPalette{&RunPalette, StepNeeds::FullPalette};

static bool RunCustomPalette(CImageDocument& doc, const std::uint8_t red[256],
                             const std::uint8_t green[256], const std::uint8_t blue[256]) {
    doc.AddHistory("Palette personalisée");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.PaletteGradient(red, green, blue);
}
const SStep<const std::uint8_t*, const std::uint8_t*, const std::uint8_t*> StepCustomPalette{
    &RunCustomPalette, StepNeeds::FullPalette};

static bool RunManualThreshold(CImageDocument& doc, int low, int high) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = ThresholdThenBinaryPalette(image, low, high);
    doc.AddHistory(FormatHistory("Seuillage(%d,%d)", low, high));
    return done;
}
const SStep<int, int> StepManualThreshold{&RunManualThreshold, StepNeeds::FullPalette};

static bool RunCancelManualThreshold(CImageDocument& doc) {
    return doc.GetImage()->PaletteGradient(1, 1, 1);
}
const SStep<> StepCancelManualThreshold{&RunCancelManualThreshold, StepNeeds::FullPalette};

static bool RunAdaptiveThreshold(CImageDocument& doc, double k) {
    doc.AddHistory("Seuillage adaptatif");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    // Worked out in double so that no k can overflow an int; a k that gives
    // no number at all (NaN) is refused like a threshold above 255.
    const double threshold = image.GetMean() + std::trunc(image.GetStdev() * k);
    if (!(threshold <= 255.0)) {
        ShowMessage("Invalid threshold");
        return false;
    }
    // Any threshold at or below 0 makes every pixel white.
    const int low = threshold < 0.0 ? 0 : static_cast<int>(threshold);
    return ThresholdThenBinaryPalette(image, low, 255);
}
const SStep<double> StepAdaptiveThreshold{&RunAdaptiveThreshold, StepNeeds::FullPalette};

static bool RunDynamic(CImageDocument& doc, const std::uint8_t table[256]) {
    doc.AddHistory("Dynamique");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.SetDynamic(table);
}
const SStep<const std::uint8_t*> StepDynamic{&RunDynamic, StepNeeds::FullPalette};
