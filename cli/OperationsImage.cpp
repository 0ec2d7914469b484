// Palettes and palette files, thresholds, the negative, geometry, tone curves,
// the conversion to grey and the measurement reports.
// Every one of them is a desktop command enabled for 256-colour pictures only,
// but --grey, which takes any picture.

#include <cstdint>

#include "ArgParse.h"
#include "CliOperation.h"
#include "FileReason.h"
#include "ImageStatistics.h"
#include "OperationForms.h"
#include "PaletteFile.h"
#include "StepsImage.h"

namespace {

CliOperation Palette() {
    return {"--palette", "NAME", "colour table: grey, rainbow, heat, metal or binary",
            kStepNeeds<StepPalette>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                if (const auto kind = FindPaletteName(arg))
                    return [kind = *kind](CliContext& c) { return StepPalette(c.doc, kind); };
                error = "expects grey, rainbow, heat, metal or binary";
                return std::nullopt;
            }};
}

CliOperation Threshold() {
    return {"--threshold", "LOW,HIGH",
            "levels LOW .. HIGH (0 .. 255, inclusive) become 255, others 0; binary palette",
            kStepNeeds<StepManualThreshold>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto v = ParseIntegerList(arg, 2, 0, 255);
                if (!v || (*v)[0] > (*v)[1]) {
                    error = "expects LOW,HIGH, two grey levels 0 .. 255 with LOW <= HIGH";
                    return std::nullopt;
                }
                const int low = (*v)[0], high = (*v)[1];
                return [=](CliContext& c) { return StepManualThreshold(c.doc, low, high); };
            }};
}

CliOperation Adaptive() {
    return {"--adaptive", "K", "threshold at mean + trunc(K x standard deviation); binary palette",
            kStepNeeds<StepAdaptiveThreshold>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto k = ParseFloat(arg);
                if (!k) {
                    error = "expects a real number K";
                    return std::nullopt;
                }
                return [k = *k](CliContext& c) { return StepAdaptiveThreshold(c.doc, k); };
            }};
}

CliOperation Rotate() {
    return {"--rotate", "A", "turn clockwise by A = 90, 180 or 270 degrees", kStepNeeds<StepRotate>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto angle = ParseInteger(arg);
                if (!angle || (*angle != 90 && *angle != 180 && *angle != 270)) {
                    error = "expects 90, 180 or 270";
                    return std::nullopt;
                }
                const int a = static_cast<int>(*angle);
                return [a](CliContext& c) { return StepRotate(c.doc, a); };
            }};
}

CliOperation Resize() {
    return {"--resize", "W,H", "resize to W x H pixels (nearest neighbour)", kStepNeeds<StepResize>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto v = ParseIntegerList(arg, 2, 1, INT32_MAX);
                if (!v) {
                    error = "expects W,H, two sizes of at least 1";
                    return std::nullopt;
                }
                const int w = (*v)[0], h = (*v)[1];
                return [=](CliContext& c) { return StepResize(c.doc, w, h); };
            }};
}

CliOperation Stats() {
    return {
        "--stats", "", "print pixels, minimum, maximum, sum, mean and standard deviation",
        StepNeeds::FullPalette, [](const std::string&, std::string&) -> std::optional<CliAction> {
            return [](CliContext& c) {
                const CImageStatistics s = CImageStatistics::Measure(*c.doc.GetImage());
                c.out << "Pixels: " << s.PixelsText() << "\nMinimum: " << s.MinimumText()
                      << "\nMaximum: " << s.MaximumText() << "\nSomme: " << s.SumText()
                      << "\nMoyenne: " << s.MeanText() << "\nEcart-type: " << s.StdevText() << '\n';
                return true;
            };
        }};
}

CliOperation Histogram() {
    return {"--histogram", "", "print 256 lines LEVEL COUNT", StepNeeds::FullPalette,
            [](const std::string&, std::string&) -> std::optional<CliAction> {
                return [](CliContext& c) {
                    CImage& image = *c.doc.GetImage();
                    if (!image.GenerateHistogram()) return false;
                    for (int level = 0; level < 256; ++level)
                        c.out << level << ' ' << image.GetHistogramValue(level) << '\n';
                    return true;
                };
            }};
}

CliOperation Dynamic() {
    return {"--dynamic", "CURVE",
            "tone curve: linear, inverse, sqrt, power:G, root:G, exp, log (G 1 .. 99)",
            kStepNeeds<StepToneCurve>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto curve = ParseToneCurveArgument(arg);
                if (!curve) {
                    error =
                        "expects linear, inverse, sqrt, power:G, root:G, exp or log, G in 1 .. 99";
                    return std::nullopt;
                }
                return [curve = *curve](CliContext& c) {
                    return StepToneCurve(c.doc, curve.curveType, curve.gamma);
                };
            }};
}

CliOperation PaletteFromFile() {
    CliOperation operation{
        "--palette-file", "F.pal", "palette read from a JASC palette file",
        kStepNeeds<StepCustomPalette>,
        [](const std::string& path, std::string&) -> std::optional<CliAction> {
            return [path](CliContext& c) {
                CPaletteColors colors;
                if (!WithFileReason(path, "not a JASC palette file",
                                    [&] { return ReadPaletteFile(path, colors); }))
                    return false;
                return StepCustomPalette(c.doc, colors.red.data(), colors.green.data(),
                                         colors.blue.data());
            };
        }};
    operation.argumentIsFile = true;
    return operation;
}

CliOperation SavePalette() {
    CliOperation operation{
        "--save-palette", "F.pal", "write the colour table as a JASC palette file",
        StepNeeds::FullPalette,
        [](const std::string& path, std::string&) -> std::optional<CliAction> {
            return [path](CliContext& c) {
                const CPaletteTable& table = *c.doc.GetImage()->GetPalette();
                CPaletteColors colors;
                for (std::size_t i = 0; i < static_cast<std::size_t>(table.count); ++i) {
                    colors.red[i] = table.entries[i].red;
                    colors.green[i] = table.entries[i].green;
                    colors.blue[i] = table.entries[i].blue;
                }
                return WithFileReason(path, "cannot be written",
                                      [&] { return WritePaletteFile(path, colors); });
            };
        }};
    operation.argumentIsFile = true;
    return operation;
}

// The manual threshold cancelled in the desktop program changes the colours
// back to grey; a recipe repeats it with this.
CliOperation CancelThreshold() {
    return {"--threshold-cancel", "",
            "the manual threshold cancelled: grey colour table, no history line",
            kStepNeeds<StepCancelManualThreshold>,
            [](const std::string&, std::string&) -> std::optional<CliAction> {
                return [](CliContext& c) { return StepCancelManualThreshold(c.doc); };
            }};
}

}  // namespace

void AddImageOperations(std::vector<CliOperation>& table) {
    table.push_back(Palette());
    table.push_back(Threshold());
    table.push_back(Adaptive());
    table.push_back(
        StepOperation<StepNegative>("--negative", "negative of the region of interest"));
    table.push_back(StepOperation<StepFlipHorizontal>("--flip-h", "mirror left to right"));
    table.push_back(StepOperation<StepFlipVertical>("--flip-v", "mirror top to bottom"));
    table.push_back(Rotate());
    table.push_back(Resize());
    table.push_back(
        StepOperation<StepPaletteBar>("--palette-bar", "add a 20-row grey ramp under the picture"));
    table.push_back(Dynamic());
    table.push_back(StepOperation<StepGrey>(
        "--grey", "256 grey levels: luminance of each pixel's colour, grey colour table"));
    table.push_back(PaletteFromFile());
    table.push_back(WithoutUndoCopy(CancelThreshold()));
    CliOperation savePalette = AsReport(SavePalette());
    savePalette.pages = CliPageUse::Stack;
    table.push_back(savePalette);
    table.push_back(AsReport(Stats()));
    table.push_back(AsReport(Histogram()));
}
