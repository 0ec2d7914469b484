#include "StepsFilter.h"

#include <cstdint>
#include <initializer_list>

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
bool RunMorphology(CImageDocument& doc, const char* history,
                   std::initializer_list<MorphoCall> passes) {
    doc.AddHistory(history);
    const CMask element = SquareElement();
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    for (MorphoCall pass : passes)
        if (!(image.*pass)(element)) return false;
    return true;
}

}  // namespace

static bool RunFilter(CImageDocument& doc, const CMask& mask) {
    CImage& image = *doc.GetImage();
    doc.AddHistory("Filtrage linéaire");
    image.SaveBackup();
    const bool filtered = image.Filter(mask);
    doc.AddHistory("Filtrage");
    return filtered;
}
const SStep<const CMask&> StepFilter{&RunFilter, StepNeeds::FullPalette};

// Smoothing, then a Laplacian, then the mean of the four direct neighbours.
// A failed pass stops the chain so no half-made result is left.
static bool RunContours(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    doc.AddHistory("Contours");
    image.SaveBackup();
    return image.Filter(Mask3x3({1, 1, 1, 1, 1, 1, 1, 1, 1})) &&
           image.Filter(Mask3x3({-1, -1, -1, -1, 8, -1, -1, -1, -1})) &&
           image.Filter(Mask3x3({0, 1, 0, 1, 0, 1, 0, 1, 0}));
}
const SStep<> StepContours{&RunContours, StepNeeds::FullPalette};

static bool RunDilate(CImageDocument& doc) {
    return RunMorphology(doc, "Dilatation morphologique", {&CImage::MorphoDilate});
}
const SStep<> StepDilate{&RunDilate, StepNeeds::FullPalette};

static bool RunErode(CImageDocument& doc) {
    return RunMorphology(doc, "Erosion morphologique", {&CImage::MorphoErode});
}
const SStep<> StepErode{&RunErode, StepNeeds::FullPalette};

static bool RunOpen(CImageDocument& doc) {
    return RunMorphology(doc, "Ouverture morphologique",
                         {&CImage::MorphoErode, &CImage::MorphoDilate});
}
const SStep<> StepOpen{&RunOpen, StepNeeds::FullPalette};

static bool RunClose(CImageDocument& doc) {
    return RunMorphology(doc, "Fermeture morphologique",
                         {&CImage::MorphoDilate, &CImage::MorphoErode});
}
const SStep<> StepClose{&RunClose, StepNeeds::FullPalette};

static bool RunPerspective(CImageDocument& doc, PerspectiveMode mode,
                           const PerspectiveParams& params) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool rendered =
        image.Perspective(static_cast<int>(mode), params.amplitude, params.border,
                          params.rightAngle, params.leftAngle, params.background, params.edge);
    doc.AddHistory(mode == PerspectiveMode::Gradient ? "Perspective gradient" : "Perpective nuage");
    return rendered;
}
const SStep<PerspectiveMode, const PerspectiveParams&> StepPerspective{&RunPerspective,
                                                                       StepNeeds::FullPalette};
