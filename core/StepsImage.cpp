#include "StepsImage.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "Message.h"
#include "OperationForms.h"
#include "ToneCurve.h"

namespace {

constexpr int kPaletteBarRows = 20;

// Both calls are made whatever the first one gives, as the commands do.
bool ThresholdThenBinaryPalette(CImage& image, int low, int high) {
    const bool thresholded = image.Threshold(low, high);
    const bool painted = image.PaletteBinary();
    return thresholded && painted;
}

// "Dynamique": the table through the region of interest.
bool ApplyToneTable(CImageDocument& doc, const std::uint8_t table[256], CRecipeOperation operation);

std::string Pair(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

// Records `operation` and passes the step's result on.
bool Record(CImageDocument& doc, CRecipeOperation operation, bool done) {
    doc.RecordOperation(std::move(operation), done);
    return done;
}

}  // namespace

bool StepNegative(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const bool done = image.Reverse();
    doc.AddHistory("Inverse");
    return Record(doc, {.flag = "--negative", .usesRoi = true}, done);
}

bool StepFlipHorizontal(CImageDocument& doc) {
    doc.AddHistory("Retournement horizontal");
    doc.SaveBackup();
    return Record(doc, {.flag = "--flip-h"}, doc.GetImage()->FlipHorizontal());
}

bool StepFlipVertical(CImageDocument& doc) {
    doc.AddHistory("Retournement vertical");
    doc.SaveBackup();
    return Record(doc, {.flag = "--flip-v"}, doc.GetImage()->FlipVertical());
}

bool StepRotate(CImageDocument& doc, int angle) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const bool done = image.Rotate(static_cast<unsigned>(angle), 0);
    doc.AddHistory(FormatHistory("Rotation(%d)", angle));
    return Record(doc, {.flag = "--rotate", .argument = std::to_string(angle), .resetsRoi = true},
                  done);
}

bool StepResize(CImageDocument& doc, int width, int height) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    // Resize refuses the picture's own size without a word; there is simply
    // nothing to do, which is no failure.
    const bool unchanged = image.IsValid() && image.GetSize() == CSize{width, height};
    const bool done = image.Resize(width, height) || unchanged;
    doc.AddHistory(FormatHistory("Redimensionnement(%d,%d)", width, height));
    return Record(doc, {.flag = "--resize", .argument = Pair(width, height), .resetsRoi = true},
                  done);
}

bool StepPaletteBar(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const bool done = image.AddPaletteBar(kPaletteBarRows);
    doc.AddHistory(FormatHistory("Ajout de la palette(%d)", kPaletteBarRows));
    return Record(doc, {.flag = "--palette-bar", .resetsRoi = true}, done);
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
    doc.SaveBackup();
    return Record(doc, {.flag = "--palette", .argument = PaletteName(kind), .keepsLevels = true},
                  command.apply(*doc.GetImage()));
}

bool StepCustomPalette(CImageDocument& doc, const std::uint8_t red[256],
                       const std::uint8_t green[256], const std::uint8_t blue[256]) {
    doc.AddHistory("Palette personalisée");
    doc.SaveBackup();
    auto colors = std::make_shared<CPaletteColors>();
    std::copy(red, red + 256, colors->red.begin());
    std::copy(green, green + 256, colors->green.begin());
    std::copy(blue, blue + 256, colors->blue.begin());
    return Record(doc, {.flag = "--palette-file", .palette = colors, .keepsLevels = true},
                  doc.GetImage()->PaletteGradient(red, green, blue));
}

bool StepManualThreshold(CImageDocument& doc, int low, int high) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const bool done = ThresholdThenBinaryPalette(image, low, high);
    doc.AddHistory(FormatHistory("Seuillage(%d,%d)", low, high));
    return Record(doc, {.flag = "--threshold", .argument = Pair(low, high)}, done);
}

bool StepCancelManualThreshold(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    const CPaletteTable before = *image.GetPalette();
    const bool done = image.PaletteGradient(1, 1, 1);
    // Only a change of colours needs repeating; a picture already grey has none.
    const CPaletteTable& after = *image.GetPalette();
    if (before.count != after.count || before.entries != after.entries)
        doc.RecordOperation({.flag = "--threshold-cancel", .keepsLevels = true}, done);
    return done;
}

bool StepAdaptiveThreshold(CImageDocument& doc, float k, bool* refused) {
    doc.AddHistory("Seuillage adaptatif");
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const CRecipeOperation operation{.flag = "--adaptive", .argument = RealArgument(k)};
    // k is the dialog's float, widened as it is: 0.7 is 0.699999988, so a
    // deviation of 10 gives 6. The sum is worked out in double so that no k
    // can overflow an int; a flat picture stays at its level whatever k is,
    // and a k that gives no number at all (NaN) is refused like a threshold
    // above 255.
    const double stdev = image.GetStdev();
    const double offset = stdev == 0.0 ? 0.0 : std::trunc(stdev * static_cast<double>(k));
    const double threshold = image.GetMean() + offset;
    const bool invalid = !(threshold <= 255.0);
    if (refused) *refused = invalid;
    if (invalid) {
        ShowMessage("Invalid threshold");
        return Record(doc, operation, false);
    }
    // Any threshold at or below 0 makes every pixel white.
    const int low = threshold < 0.0 ? 0 : static_cast<int>(threshold);
    return Record(doc, operation, ThresholdThenBinaryPalette(image, low, 255));
}

bool StepDynamic(CImageDocument& doc, const std::uint8_t table[256]) {
    // The tone-curve dialog hands over the table of one of its curves: find
    // which, so that the recipe can name it.
    CRecipeOperation operation{.flag = "--dynamic", .usesRoi = true};
    const auto matches = [table](const ToneTable& t) {
        return std::equal(t.begin(), t.end(), table);
    };
    for (int curve = kCurveLinear; curve <= kCurveLogarithmic && operation.argument.empty();
         ++curve) {
        const bool gammaMatters = curve == kCurvePower || curve == kCurveRoot;
        for (int gamma = kMinCurveGamma; gamma <= (gammaMatters ? kMaxCurveGamma : kMinCurveGamma);
             ++gamma)
            if (matches(ComputeToneCurve(curve, static_cast<std::uint8_t>(gamma)))) {
                operation.argument = ToneCurveArgument(curve, gamma);
                break;
            }
    }
    if (operation.argument.empty()) {
        operation.argument = "table";
        operation.notReplayable = "a tone table that no named curve gives";
    }
    return ApplyToneTable(doc, table, std::move(operation));
}

bool StepToneCurve(CImageDocument& doc, int curveType, int gamma) {
    const ToneTable table = ComputeToneCurve(curveType, static_cast<std::uint8_t>(gamma));
    const bool named = curveType >= kCurveLinear && curveType <= kCurveLogarithmic &&
                       gamma >= kMinCurveGamma && gamma <= kMaxCurveGamma;
    if (!named) return StepDynamic(doc, table.data());
    return ApplyToneTable(
        doc, table.data(),
        {.flag = "--dynamic", .argument = ToneCurveArgument(curveType, gamma), .usesRoi = true});
}

bool StepGrey(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    if (image.HasGreyRamp()) return true;
    doc.AddHistory("Conversion en niveaux de gris");
    doc.SaveBackup();
    return Record(doc, {.flag = "--grey"}, image.ConvertToGrey());
}

namespace {

bool ApplyToneTable(CImageDocument& doc, const std::uint8_t table[256],
                    CRecipeOperation operation) {
    doc.AddHistory("Dynamique");
    doc.SaveBackup();
    return Record(doc, std::move(operation), doc.GetImage()->SetDynamic(table));
}

}  // namespace
