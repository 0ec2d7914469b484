// The steps as methods of orvex.Picture, named as orvex-cli's operations
// (--flip-h is flip_h). Each runs the step function the desktop command and
// orvex-cli run, so the picture, the history line and the recipe line are
// theirs.

#include <charconv>

#include "PyActions.h"
#include "PyModule.h"
#include "StepsBasic.h"
#include "StepsImage.h"

namespace {

using PictureClass = py::class_<CPyPicture>;

template <auto Step>
void Plain(PictureClass& picture, const char* name, const char* help) {
    picture.def(
        name,
        [action = StepAction<Step>(name)](CPyPicture& p, bool undo) { RunAction(p, action, undo); },
        py::kw_only(), py::arg("undo") = true, help);
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
        [](CPyPicture& p, long long low, long long high, bool undo) {
            RunAction(p, ThresholdAction(low, high), undo);
        },
        py::arg("low"), py::arg("high"), py::kw_only(), py::arg("undo") = true,
        "Levels low .. high (0 .. 255, inclusive) become 255, the others 0; binary palette: "
        "\"Seuillage(low,high)\".");
    picture.def(
        "window",
        [](CPyPicture& p, std::optional<double> low, std::optional<double> high,
           std::optional<double> saturate, bool undo) {
            const auto number = [](double v) {
                char text[32];
                return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
            };
            if (low.has_value() != high.has_value() || (low && saturate))
                ThrowValue("window takes low and high, or saturate, or neither (auto)");
            const std::string ends = low        ? number(*low) + "," + number(*high)
                                     : saturate ? "saturate:" + number(*saturate)
                                                : "auto";
            RunAction(p, WindowAction(ends), undo);
        },
        py::arg("low") = py::none(), py::arg("high") = py::none(), py::kw_only(),
        py::arg("saturate") = py::none(), py::arg("undo") = true,
        "The levels made again from the file's own samples (see values) by the window low .. "
        "high in the file's values; with saturate=P, P % of the samples left below low and as "
        "many above high (numpy.percentile lower / higher); with neither, the least to the "
        "greatest sample: \"Image 16 bits : fenêtre 1000..3000\".");
    picture.def(
        "adaptive",
        [](CPyPicture& p, double k, bool undo) {
            RunAction(p, AdaptiveAction(static_cast<float>(k)), undo);
        },
        py::arg("k"), py::kw_only(), py::arg("undo") = true,
        "Threshold at mean + trunc(k x standard deviation), k as a 32-bit float: \"Seuillage "
        "adaptatif\"; OperationError \"Invalid threshold\" beyond 255.");
    picture.def(
        "dynamic",
        [](CPyPicture& p, const std::string& curve, bool undo) {
            RunAction(p, DynamicAction(curve), undo);
        },
        py::arg("curve"), py::kw_only(), py::arg("undo") = true,
        "Tone curve: linear, inverse, sqrt, power:G, root:G, exp, log (G 1 .. 99): \"Dynamique\".");
    picture.def(
        "palette",
        [](CPyPicture& p, const py::object& choice, bool undo) -> py::object {
            if (choice.is_none()) return p.PaletteColours();
            if (py::isinstance<py::str>(choice))
                RunAction(p, PaletteAction(choice.cast<std::string>()), undo);
            else
                RunAction(p, CustomPaletteAction(PaletteTablesOf(choice)), undo);
            return py::none();
        },
        py::arg("choice") = py::none(), py::kw_only(), py::arg("undo") = true,
        "Without argument: the colour table, a (256, 3) uint8 array, red first.\n"
        "With a name (grey, rainbow, heat, metal, binary): that palette (\"Palette thermique\" "
        "...).\nWith a (256, 3) uint8 array: those colours, \"Palette personalisée\".");
    picture.def(
        "palette_file",
        [](CPyPicture& p, const py::object& path, bool undo) {
            RunAction(p, PaletteFileAction(FilePath(path)), undo);
        },
        py::arg("path"), py::kw_only(), py::arg("undo") = true,
        "The colours of a JASC palette file: \"Palette personalisée\".");
    picture.def(
        "save_palette",
        [](CPyPicture& p, const py::object& path) { p.SavePalette(FilePath(path)); },
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
        [](CPyPicture& p, long long angle, bool undo) { RunAction(p, RotateAction(angle), undo); },
        py::arg("angle"), py::kw_only(), py::arg("undo") = true,
        "Turn clockwise by 90, 180 or 270 degrees: \"Rotation(angle)\".");
    picture.def(
        "resize",
        [](CPyPicture& p, long long width, long long height, bool undo) {
            RunAction(p, ResizeAction(width, height), undo);
        },
        py::arg("width"), py::arg("height"), py::kw_only(), py::arg("undo") = true,
        "Resize to width x height (nearest neighbour): \"Redimensionnement(w,h)\".");
    picture.def(
        "undo", [](CPyPicture& p) { RunAction(p, UndoAction(), false); },
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
            RunAction(p, FilterAction(key), undo);
        },
        py::arg("key"), py::kw_only(), py::arg("undo") = true,
        "Convolution with a catalogue kernel, its key without the final space "
        "(\"Lissage Gaussien 3x3 1\"; orvex.kernels() lists them): \"Filtrage linéaire\", "
        "\"Filtrage\".");
    picture.def(
        "kernel",
        [](CPyPicture& p, const py::object& values, bool undo) {
            RunAction(p, KernelAction(values.cast<std::vector<std::vector<long long>>>()), undo);
        },
        py::arg("values"), py::kw_only(), py::arg("undo") = true,
        "Convolution with a typed kernel: 3, 5 or 7 rows of as many integers -99 .. 99: "
        "\"Filtrage linéaire\", \"Filtrage\".");
    picture.def(
        "perspective",
        [](CPyPicture& p, const std::string& mode, int amplitude, int border, int rightAngle,
           int leftAngle, int background, int edge, bool undo) {
            const PerspectiveParams params{amplitude, border,     rightAngle,
                                           leftAngle, background, edge};
            RunAction(p, PerspectiveAction(mode, params), undo);
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
