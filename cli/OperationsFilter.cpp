// Convolution, morphology, perspective, tone curves and palette files.

#include <cstdint>
#include <map>

#include "ArgParse.h"
#include "CliOperation.h"
#include "KernelCatalogue.h"
#include "PaletteFile.h"
#include "StepsFilter.h"
#include "StepsImage.h"
#include "ToneCurve.h"

namespace {

using ParseResult = std::optional<CliAction>;

// An operation without argument that runs one step.
CliOperation Simple(const char* flag, const char* help, const SStep<>& step) {
    return {flag, "", help, true, [&step](const std::string&, std::string&) -> ParseResult {
                return [&step](CliContext& c) { return step(c.doc); };
            }};
}

CliOperation CatalogueFilter() {
    return {"--filter", "KEY",
            "catalogue kernel, KEY without its final space (\"Lissage Gaussien 3x3 1\")", true,
            [](const std::string& arg, std::string& error) -> ParseResult {
                const CKernelEntry* entry = FindKernel(arg + " ");
                if (entry == nullptr) {
                    error = "no such kernel in the catalogue";
                    return std::nullopt;
                }
                const CMask mask = MakeKernelMask(*entry);
                return [mask](CliContext& c) { return StepFilter(c.doc, mask); };
            }};
}

CliOperation TypedKernel() {
    return {"--kernel", "N:V1,V2,...",
            "typed kernel of side N (3, 5 or 7), N x N values -99 .. 99 row by row", true,
            [](const std::string& arg, std::string& error) -> ParseResult {
                error = "expects N:V1,V2,... with N = 3, 5 or 7 and N x N values in -99 .. 99";
                const std::size_t colon = arg.find(':');
                if (colon == std::string::npos) return std::nullopt;
                const auto side = ParseInteger(arg.substr(0, colon));
                if (!side || (*side != 3 && *side != 5 && *side != 7)) return std::nullopt;
                const auto n = static_cast<std::size_t>(*side);
                const auto values = ParseIntegerList(arg.substr(colon + 1), n * n, -99, 99);
                if (!values) return std::nullopt;
                std::int8_t cells[49] = {};
                for (std::size_t i = 0; i < n * n; ++i)
                    cells[i] = static_cast<std::int8_t>((*values)[i]);
                const CMask mask = MakeMask(static_cast<int>(n), cells);
                return [mask](CliContext& c) { return StepFilter(c.doc, mask); };
            }};
}

CliOperation Perspective() {
    return {"--perspective", "MODE[:A,B,R,L,F,E]",
            "relief, MODE gradient or cloud; amplitude, border, right and left angles, background, "
            "edge "
            "(64,10,30,30,100,255)",
            true, [](const std::string& arg, std::string& error) -> ParseResult {
                const std::size_t colon = arg.find(':');
                const std::string name = arg.substr(0, colon);
                PerspectiveMode mode;
                if (name == "gradient") {
                    mode = PerspectiveMode::Gradient;
                } else if (name == "cloud") {
                    mode = PerspectiveMode::Cloud;
                } else {
                    error = "MODE is gradient or cloud";
                    return std::nullopt;
                }
                PerspectiveParams p;
                if (colon != std::string::npos) {
                    const auto v = ParseIntegerList(arg.substr(colon + 1), 6, INT32_MIN, INT32_MAX);
                    if (!v) {
                        error = "expects six integers A,B,R,L,F,E after the mode";
                        return std::nullopt;
                    }
                    p = {(*v)[0], (*v)[1], (*v)[2], (*v)[3], (*v)[4], (*v)[5]};
                }
                return [mode, p](CliContext& c) { return StepPerspective(c.doc, mode, p); };
            }};
}

CliOperation Dynamic() {
    return {"--dynamic", "CURVE",
            "tone curve: linear, inverse, sqrt, power:G, root:G, exp, log (G 1 .. 99)", true,
            [](const std::string& arg, std::string& error) -> ParseResult {
                static const std::map<std::string, int> kPlain = {{"linear", kCurveLinear},
                                                                  {"inverse", kCurveInverse},
                                                                  {"sqrt", kCurveSquareRoot},
                                                                  {"exp", kCurveExponential},
                                                                  {"log", kCurveLogarithmic}};
                const std::size_t colon = arg.find(':');
                const std::string name = arg.substr(0, colon);
                int curve = -1;
                long long gamma = 2;
                if (colon == std::string::npos && kPlain.count(name) != 0) {
                    curve = kPlain.at(name);
                } else if (colon != std::string::npos && (name == "power" || name == "root")) {
                    curve = name == "power" ? kCurvePower : kCurveRoot;
                    const auto g = ParseInteger(arg.substr(colon + 1));
                    gamma = g ? *g : 0;
                }
                if (curve < 0 || gamma < 1 || gamma > 99) {
                    error =
                        "expects linear, inverse, sqrt, power:G, root:G, exp or log, G in 1 .. 99";
                    return std::nullopt;
                }
                const ToneTable table = ComputeToneCurve(curve, static_cast<std::uint8_t>(gamma));
                return [table](CliContext& c) { return StepDynamic(c.doc, table.data()); };
            }};
}

CliOperation PaletteFromFile() {
    return {"--palette-file", "F.pal", "palette read from a JASC palette file", true,
            [](const std::string& path, std::string&) -> ParseResult {
                return [path](CliContext& c) {
                    CPaletteColors colors;
                    if (!ReadPaletteFile(path, colors)) return false;
                    return StepCustomPalette(c.doc, colors.red.data(), colors.green.data(),
                                             colors.blue.data());
                };
            }};
}

CliOperation SavePalette() {
    return {"--save-palette", "F.pal", "write the colour table as a JASC palette file", true,
            [](const std::string& path, std::string&) -> ParseResult {
                return [path](CliContext& c) {
                    const CPaletteTable& table = *c.doc.GetImage()->GetPalette();
                    CPaletteColors colors;
                    for (std::size_t i = 0; i < static_cast<std::size_t>(table.count); ++i) {
                        colors.red[i] = table.entries[i].red;
                        colors.green[i] = table.entries[i].green;
                        colors.blue[i] = table.entries[i].blue;
                    }
                    return WritePaletteFile(path, colors);
                };
            }};
}

}  // namespace

void AddFilterOperations(std::vector<CliOperation>& table) {
    table.push_back(CatalogueFilter());
    table.push_back(TypedKernel());
    table.push_back(Simple("--contours", "contour extraction (three kernels)", StepContours));
    table.push_back(Simple("--dilate", "morphological dilation, 3 x 3 square", StepDilate));
    table.push_back(Simple("--erode", "morphological erosion, 3 x 3 square", StepErode));
    table.push_back(Simple("--open", "morphological opening (erosion, then dilation)", StepOpen));
    table.push_back(Simple("--close", "morphological closing (dilation, then erosion)", StepClose));
    table.push_back(Perspective());
    table.push_back(Dynamic());
    table.push_back(PaletteFromFile());
    table.push_back(SavePalette());
}
