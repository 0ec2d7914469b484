#include "StepsFilter.h"

#include <cstdint>
#include <initializer_list>
#include <string>

#include "KernelCatalogue.h"
#include "OperationForms.h"

namespace {

CMask Mask3x3(const std::int8_t (&cells)[9]) {
    CMask mask;
    mask.Set3x3(cells);
    return mask;
}

// The four morphology commands use the full 8-neighbourhood square.
CMask SquareElement() { return Mask3x3({1, 1, 1, 1, 1, 1, 1, 1, 1}); }

using MorphoCall = bool (CImage::*)(const CMask&);

// History line, the fixed element, the undo copy, then each pass in turn; a
// failed pass stops the chain so no half-made result is left.
bool RunMorphology(CImageDocument& doc, const char* history, const char* flag,
                   std::initializer_list<MorphoCall> passes) {
    doc.AddHistory(history);
    const CMask element = SquareElement();
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    bool done = true;
    for (auto pass = passes.begin(); done && pass != passes.end(); ++pass)
        done = (image.**pass)(element);
    doc.RecordOperation({.flag = flag}, done);
    return done;
}

bool SameKernel(const CMask& a, const CMask& b) {
    if (a.GetMaskSize() != b.GetMaskSize()) return false;
    for (int row = 0; row < a.GetMaskSize(); ++row)
        for (int column = 0; column < a.GetMaskSize(); ++column)
            if (a.GetCell(row, column) != b.GetCell(row, column)) return false;
    return true;
}

// A catalogue kernel is named by its key (without the final space), any
// other one is spelled out. Coefficients beyond what orvex-cli takes (the
// grid's -99 .. 99) only come from elsewhere and cannot be repeated.
CRecipeOperation FilterOperation(const CMask& mask) {
    for (const CKernelEntry& entry : GetKernelCatalogue())
        if (SameKernel(mask, MakeKernelMask(entry))) {
            std::string key = entry.key;
            key.pop_back();
            return {.flag = "--filter", .argument = key, .usesRoi = true};
        }
    CRecipeOperation operation{
        .flag = "--kernel", .argument = KernelArgument(mask), .usesRoi = true};
    for (int row = 0; row < mask.GetMaskSize(); ++row)
        for (int column = 0; column < mask.GetMaskSize(); ++column)
            if (mask.GetCell(row, column) < kMinKernelValue ||
                mask.GetCell(row, column) > kMaxKernelValue)
                operation.notReplayable = "a kernel with coefficients beyond -99 .. 99";
    return operation;
}

}  // namespace

bool StepFilter(CImageDocument& doc, const CMask& mask) {
    CImage& image = *doc.GetImage();
    doc.AddHistory("Filtrage linéaire");
    doc.SaveBackup();
    const bool filtered = image.Filter(mask);
    doc.AddHistory("Filtrage");
    doc.RecordOperation(FilterOperation(mask), filtered);
    return filtered;
}

// Smoothing, then a Laplacian, then the mean of the four direct neighbours.
// A failed pass stops the chain so no half-made result is left.
bool StepContours(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    doc.AddHistory("Contours");
    doc.SaveBackup();
    const bool done = image.Filter(Mask3x3({1, 1, 1, 1, 1, 1, 1, 1, 1})) &&
                      image.Filter(Mask3x3({-1, -1, -1, -1, 8, -1, -1, -1, -1})) &&
                      image.Filter(Mask3x3({0, 1, 0, 1, 0, 1, 0, 1, 0}));
    doc.RecordOperation({.flag = "--contours", .usesRoi = true}, done);
    return done;
}

bool StepDilate(CImageDocument& doc) {
    return RunMorphology(doc, "Dilatation morphologique", "--dilate", {&CImage::MorphoDilate});
}

bool StepErode(CImageDocument& doc) {
    return RunMorphology(doc, "Erosion morphologique", "--erode", {&CImage::MorphoErode});
}

bool StepOpen(CImageDocument& doc) {
    return RunMorphology(doc, "Ouverture morphologique", "--open",
                         {&CImage::MorphoErode, &CImage::MorphoDilate});
}

bool StepClose(CImageDocument& doc) {
    return RunMorphology(doc, "Fermeture morphologique", "--close",
                         {&CImage::MorphoDilate, &CImage::MorphoErode});
}

bool StepPerspective(CImageDocument& doc, PerspectiveMode mode, const PerspectiveParams& params) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const bool rendered =
        image.Perspective(static_cast<int>(mode), params.amplitude, params.border,
                          params.rightAngle, params.leftAngle, params.background, params.edge);
    doc.AddHistory(mode == PerspectiveMode::Gradient ? "Perspective gradient" : "Perpective nuage");
    std::string argument = PerspectiveModeName(mode);
    char separator = ':';
    for (int value : {params.amplitude, params.border, params.rightAngle, params.leftAngle,
                      params.background, params.edge}) {
        argument += separator + std::to_string(value);
        separator = ',';
    }
    doc.RecordOperation({.flag = "--perspective", .argument = argument, .resetsRoi = true},
                        rendered);
    return rendered;
}
