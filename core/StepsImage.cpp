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

bool StepNegative(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = image.Reverse();
    doc.AddHistory("Inverse");
    return done;
}

bool StepFlipHorizontal(CImageDocument& doc) {
    doc.AddHistory("Retournement horizontal");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.FlipHorizontal();
}

bool StepFlipVertical(CImageDocument& doc) {
    doc.AddHistory("Retournement vertical");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.FlipVertical();
}

bool StepRotate(CImageDocument& doc, int angle) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = image.Rotate(static_cast<unsigned>(angle), 0);
    doc.AddHistory(FormatHistory("Rotation(%d)", angle));
    return done;
}

bool StepResize(CImageDocument& doc, int width, int height) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    // Resize refuses the picture's own size without a word; there is simply
    // nothing to do, which is no failure.
    const bool unchanged = image.IsValid() && image.GetSize() == CSize{width, height};
    const bool done = image.Resize(width, height) || unchanged;
    doc.AddHistory(FormatHistory("Redimensionnement(%d,%d)", width, height));
    return done;
}

bool StepPaletteBar(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = image.AddPaletteBar(kPaletteBarRows);
    doc.AddHistory(FormatHistory("Ajout de la palette(%d)", kPaletteBarRows));
    return done;
}

bool StepPalette(CImageDocument& doc, PaletteKind kind) {
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

bool StepCustomPalette(CImageDocument& doc, const std::uint8_t red[256],
                       const std::uint8_t green[256], const std::uint8_t blue[256]) {
    doc.AddHistory("Palette personalisée");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.PaletteGradient(red, green, blue);
}

bool StepManualThreshold(CImageDocument& doc, int low, int high) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool done = ThresholdThenBinaryPalette(image, low, high);
    doc.AddHistory(FormatHistory("Seuillage(%d,%d)", low, high));
    return done;
}

bool StepCancelManualThreshold(CImageDocument& doc) {
    return doc.GetImage()->PaletteGradient(1, 1, 1);
}

bool StepAdaptiveThreshold(CImageDocument& doc, float k) {
    doc.AddHistory("Seuillage adaptatif");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    // k is the dialog's float, widened as it is: 0.7 is 0.699999988, so a
    // deviation of 10 gives 6. The sum is worked out in double so that no k
    // can overflow an int; a flat picture stays at its level whatever k is,
    // and a k that gives no number at all (NaN) is refused like a threshold
    // above 255.
    const double stdev = image.GetStdev();
    const double offset = stdev == 0.0 ? 0.0 : std::trunc(stdev * static_cast<double>(k));
    const double threshold = image.GetMean() + offset;
    if (!(threshold <= 255.0)) {
        ShowMessage("Invalid threshold");
        return false;
    }
    // Any threshold at or below 0 makes every pixel white.
    const int low = threshold < 0.0 ? 0 : static_cast<int>(threshold);
    return ThresholdThenBinaryPalette(image, low, 255);
}

bool StepDynamic(CImageDocument& doc, const std::uint8_t table[256]) {
    doc.AddHistory("Dynamique");
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    return image.SetDynamic(table);
}
