// Convolution, morphology and perspective.

#include <cstdint>

#include "ArgParse.h"
#include "CliOperation.h"
#include "KernelCatalogue.h"
#include "OperationForms.h"
#include "StepsFilter.h"

namespace {

using ParseResult = std::optional<CliAction>;

CliOperation CatalogueFilter() {
    return {"--filter", "KEY",
            "catalogue kernel, KEY without its final space (\"Lissage Gaussien 3x3 1\")",
            kStepNeeds<StepFilter>, [](const std::string& arg, std::string& error) -> ParseResult {
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
            "typed kernel of side N (3, 5 or 7), N x N values -99 .. 99 row by row",
            kStepNeeds<StepFilter>, [](const std::string& arg, std::string& error) -> ParseResult {
                error = "expects N:V1,V2,... with N = 3, 5 or 7 and N x N values in -99 .. 99";
                const std::size_t colon = arg.find(':');
                if (colon == std::string::npos) return std::nullopt;
                const auto side = ParseInteger(arg.substr(0, colon));
                if (!side || (*side != 3 && *side != 5 && *side != 7)) return std::nullopt;
                const auto n = static_cast<std::size_t>(*side);
                const auto values = ParseIntegerList(arg.substr(colon + 1), n * n, kMinKernelValue,
                                                     kMaxKernelValue);
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
            kStepNeeds<StepPerspective>,
            [](const std::string& arg, std::string& error) -> ParseResult {
                const std::size_t colon = arg.find(':');
                const auto mode = FindPerspectiveModeName(arg.substr(0, colon));
                if (!mode) {
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
                return [mode = *mode, p](CliContext& c) { return StepPerspective(c.doc, mode, p); };
            }};
}

}  // namespace

void AddFilterOperations(std::vector<CliOperation>& table) {
    table.push_back(CatalogueFilter());
    table.push_back(TypedKernel());
    table.push_back(
        StepOperation<StepContours>("--contours", "contour extraction (three kernels)"));
    table.push_back(StepOperation<StepDilate>("--dilate", "morphological dilation, 3 x 3 square"));
    table.push_back(StepOperation<StepErode>("--erode", "morphological erosion, 3 x 3 square"));
    table.push_back(
        StepOperation<StepOpen>("--open", "morphological opening (erosion, then dilation)"));
    table.push_back(
        StepOperation<StepClose>("--close", "morphological closing (dilation, then erosion)"));
    table.push_back(Perspective());
}
