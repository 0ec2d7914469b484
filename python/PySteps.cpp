// The steps as methods of orvex.Picture, named as orvex-cli's operations
// (--flip-h is flip_h). Each runs the step function the desktop command and
// orvex-cli run, so the picture, the history line and the recipe line are
// theirs. Arguments are checked here, before the picture is touched, with
// the ranges orvex-cli accepts.

#include <pybind11/stl.h>

#include <cstdint>

#include "FileReason.h"
#include "KernelCatalogue.h"
#include "OperationForms.h"
#include "PaletteFile.h"
#include "PyModule.h"
#include "PyPicture.h"
#include "StepsBasic.h"
#include "StepsFilter.h"
#include "StepsImage.h"

namespace {

using PictureClass = py::class_<CPyPicture>;

// A method without argument but `undo`, running `Step`.
template <auto Step>
void Plain(PictureClass& picture, const char* name, const char* help) {
    picture.def(
        name,
        [name](CPyPicture& p, bool undo) {
            p.Run(name, kStepNeeds<Step>, undo, [](CImageDocument& doc) { return Step(doc); });
        },
        py::kw_only(), py::arg("undo") = true, help);
}

void CheckRange(const char* name, long long value, long long low, long long high) {
    if (value < low || value > high)
        ThrowValue(std::string(name) + " must lie in " + std::to_string(low) + " .. " +
                   std::to_string(high) + ", not " + std::to_string(value));
}

CMask KernelMask(const py::object& values) {
    const auto rows = values.cast<std::vector<std::vector<long long>>>();
    const std::size_t side = rows.size();
    if (side != 3 && side != 5 && side != 7)
        ThrowValue("a kernel is 3 x 3, 5 x 5 or 7 x 7, not " + std::to_string(side) + " rows");
    std::int8_t cells[49] = {};
    for (std::size_t y = 0; y < side; ++y) {
        if (rows[y].size() != side)
            ThrowValue("a kernel is square: every row has as many values as there are rows");
        for (std::size_t x = 0; x < side; ++x) {
            CheckRange("a kernel value", rows[y][x], kMinKernelValue, kMaxKernelValue);
            cells[y * side + x] = static_cast<std::int8_t>(rows[y][x]);
        }
    }
    return MakeMask(static_cast<int>(side), cells);
}

void PaletteStep(CPyPicture& p, const py::object& choice, bool undo) {
    if (py::isinstance<py::str>(choice)) {
        const auto kind = FindPaletteName(choice.cast<std::string>());
        if (!kind) ThrowValue("palette expects grey, rainbow, heat, metal or binary");
        p.Run("palette", kStepNeeds<StepPalette>, undo,
              [kind = *kind](CImageDocument& doc) { return StepPalette(doc, kind); });
        return;
    }
    const PaletteTables tables = PaletteTablesOf(choice);
    p.Run("palette", kStepNeeds<StepCustomPalette>, undo, [&](CImageDocument& doc) {
        return StepCustomPalette(doc, tables[0].data(), tables[1].data(), tables[2].data());
    });
}

void PaletteFileStep(CPyPicture& p, const std::string& path, bool undo) {
    CPaletteColors colors;
    std::string failure;
    {
        const CEngineMessages messages;
        if (!WithFileReason(path, "not a JASC palette file",
                            [&] { return ReadPaletteFile(path, colors); }))
            failure = messages.Text(path + ": not a JASC palette file");
    }
    if (!failure.empty()) throw FileError(failure);
    p.Run("palette_file", kStepNeeds<StepCustomPalette>, undo, [&](CImageDocument& doc) {
        return StepCustomPalette(doc, colors.red.data(), colors.green.data(), colors.blue.data());
    });
}

void BindPointSteps(PictureClass& picture) {
    Plain<StepNegative>(picture, "negative", "Negative of the region of interest: \"Inverse\".");
    Plain<StepGrey>(
        picture, "grey",
        "256 grey levels from the colours, grey table: \"Conversion en niveaux de gris\".");
    Plain<StepCancelManualThreshold>(picture, "threshold_cancel",
                                     "A manual threshold cancelled: grey table, no history line.");
    picture.def(
        "threshold",
        [](CPyPicture& p, int low, int high, bool undo) {
            CheckRange("low", low, 0, 255);
            CheckRange("high", high, 0, 255);
            if (low > high) ThrowValue("threshold expects low <= high");
            p.Run("threshold", kStepNeeds<StepManualThreshold>, undo,
                  [=](CImageDocument& doc) { return StepManualThreshold(doc, low, high); });
        },
        py::arg("low"), py::arg("high"), py::kw_only(), py::arg("undo") = true,
        "Levels low .. high (inclusive) become 255, the others 0; binary palette: "
        "\"Seuillage(low,high)\".");
    picture.def(
        "adaptive",
        [](CPyPicture& p, double k, bool undo) {
            p.Run("adaptive", kStepNeeds<StepAdaptiveThreshold>, undo, [k](CImageDocument& doc) {
                return StepAdaptiveThreshold(doc, static_cast<float>(k));
            });
        },
        py::arg("k"), py::kw_only(), py::arg("undo") = true,
        "Threshold at mean + trunc(k x standard deviation): \"Seuillage adaptatif\"; "
        "OperationError \"Invalid threshold\" beyond 255.");
    picture.def(
        "dynamic",
        [](CPyPicture& p, const std::string& curve, bool undo) {
            const auto choice = ParseToneCurveArgument(curve);
            if (!choice)
                ThrowValue(
                    "dynamic expects linear, inverse, sqrt, power:G, root:G, exp or log, "
                    "G in 1 .. 99");
            p.Run("dynamic", kStepNeeds<StepToneCurve>, undo, [c = *choice](CImageDocument& doc) {
                return StepToneCurve(doc, c.curveType, c.gamma);
            });
        },
        py::arg("curve"), py::kw_only(), py::arg("undo") = true,
        "Tone curve: linear, inverse, sqrt, power:G, root:G, exp, log (G 1 .. 99): \"Dynamique\".");
    picture.def(
        "palette",
        [](CPyPicture& p, const py::object& choice, bool undo) -> py::object {
            if (choice.is_none()) return p.PaletteColours();
            PaletteStep(p, choice, undo);
            return py::none();
        },
        py::arg("choice") = py::none(), py::kw_only(), py::arg("undo") = true,
        "Without argument: the colour table, a (256, 3) uint8 array, red first.\n"
        "With a name (grey, rainbow, heat, metal, binary): that palette, \"Palette thermique\"...\n"
        "With a (256, 3) uint8 array: those colours, \"Palette personalisée\".");
    picture.def("palette_file", &PaletteFileStep, py::arg("path"), py::kw_only(),
                py::arg("undo") = true,
                "The palette of a JASC palette file: \"Palette personalisée\".");
    picture.def(
        "save_palette",
        [](CPyPicture& p, const std::string& path) {
            const py::array colours = p.PaletteColours();
            const auto c = colours.unchecked<std::uint8_t, 2>();
            CPaletteColors colors;
            for (py::ssize_t i = 0; i < 256; ++i)
                colors.red[i] = c(i, 0), colors.green[i] = c(i, 1), colors.blue[i] = c(i, 2);
            const CEngineMessages messages;
            if (!WithFileReason(path, "cannot be written",
                                [&] { return WritePaletteFile(path, colors); }))
                throw FileError(messages.Text(path + ": cannot be written"));
        },
        py::arg("path"), "Writes the colour table as a JASC palette file, complete or not at all.");
}

void BindGeometrySteps(PictureClass& picture) {
    Plain<StepFlipHorizontal>(picture, "flip_h",
                              "Mirror left to right: \"Retournement horizontal\".");
    Plain<StepFlipVertical>(picture, "flip_v", "Mirror top to bottom: \"Retournement vertical\".");
    Plain<StepPaletteBar>(picture, "palette_bar",
                          "A 20-row grey ramp under the picture: \"Ajout de la palette(20)\".");
    picture.def(
        "rotate",
        [](CPyPicture& p, int angle, bool undo) {
            if (angle != 90 && angle != 180 && angle != 270)
                ThrowValue("rotate expects 90, 180 or 270, not " + std::to_string(angle));
            p.Run("rotate", kStepNeeds<StepRotate>, undo,
                  [angle](CImageDocument& doc) { return StepRotate(doc, angle); });
        },
        py::arg("angle"), py::kw_only(), py::arg("undo") = true,
        "Turn clockwise by 90, 180 or 270 degrees: \"Rotation(angle)\".");
    picture.def(
        "resize",
        [](CPyPicture& p, int width, int height, bool undo) {
            if (width < 1 || height < 1)
                ThrowValue("resize expects a width and a height of at least 1");
            p.Run("resize", kStepNeeds<StepResize>, undo,
                  [=](CImageDocument& doc) { return StepResize(doc, width, height); });
        },
        py::arg("width"), py::arg("height"), py::kw_only(), py::arg("undo") = true,
        "Resize to width x height (nearest neighbour): \"Redimensionnement(w,h)\".");
    picture.def(
        "undo",
        [](CPyPicture& p) {
            p.Run("undo", kStepNeeds<StepUndo>, false, [](CImageDocument& doc) {
                if (StepUndo(doc)) return true;
                ShowMessage("Undo : nothing to undo");
                return false;
            });
        },
        "Exchanges the picture and its undo copy; no history line.");
}

void BindFilterSteps(PictureClass& picture) {
    Plain<StepContours>(picture, "contours", "Contour extraction, three kernels: \"Contours\".");
    Plain<StepDilate>(picture, "dilate",
                      "Morphological dilation, 3 x 3: \"Dilatation morphologique\".");
    Plain<StepErode>(picture, "erode", "Morphological erosion, 3 x 3: \"Erosion morphologique\".");
    Plain<StepOpen>(picture, "open", "Morphological opening: \"Ouverture morphologique\".");
    Plain<StepClose>(picture, "close", "Morphological closing: \"Fermeture morphologique\".");
    picture.def(
        "filter",
        [](CPyPicture& p, const std::string& key, bool undo) {
            const CKernelEntry* entry = FindKernel(key + " ");
            if (entry == nullptr) ThrowValue("no such kernel in the catalogue: '" + key + "'");
            const CMask mask = MakeKernelMask(*entry);
            p.Run("filter", kStepNeeds<StepFilter>, undo,
                  [&](CImageDocument& doc) { return StepFilter(doc, mask); });
        },
        py::arg("key"), py::kw_only(), py::arg("undo") = true,
        "Convolution with a catalogue kernel, its key without the final space "
        "(\"Lissage Gaussien 3x3 1\"; orvex.kernels() lists them): \"Filtrage linéaire\", "
        "\"Filtrage\".");
    picture.def(
        "kernel",
        [](CPyPicture& p, const py::object& values, bool undo) {
            const CMask mask = KernelMask(values);
            p.Run("kernel", kStepNeeds<StepFilter>, undo,
                  [&](CImageDocument& doc) { return StepFilter(doc, mask); });
        },
        py::arg("values"), py::kw_only(), py::arg("undo") = true,
        "Convolution with a typed kernel: 3, 5 or 7 rows of as many integers -99 .. 99.");
    picture.def(
        "perspective",
        [](CPyPicture& p, const std::string& mode, int amplitude, int border, int rightAngle,
           int leftAngle, int background, int edge, bool undo) {
            const auto m = FindPerspectiveModeName(mode);
            if (!m) ThrowValue("perspective mode is gradient or cloud");
            const PerspectiveParams params{amplitude, border,     rightAngle,
                                           leftAngle, background, edge};
            p.Run("perspective", kStepNeeds<StepPerspective>, undo,
                  [&](CImageDocument& doc) { return StepPerspective(doc, *m, params); });
        },
        py::arg("mode") = "gradient", py::arg("amplitude") = 64, py::arg("border") = 10,
        py::arg("right_angle") = 30, py::arg("left_angle") = 30, py::arg("background") = 100,
        py::arg("edge") = 255, py::kw_only(), py::arg("undo") = true,
        "Pseudo-3D relief, gradient or cloud: \"Perspective gradient\" / \"Perpective nuage\".");
}

}  // namespace

void BindSteps(PictureClass& picture) {
    BindPointSteps(picture);
    BindGeometrySteps(picture);
    BindFilterSteps(picture);
}
