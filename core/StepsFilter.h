#pragma once
// Processing steps for convolution, morphology and perspective (see
// StepsBasic.h for the contract shared by every step).

#include "ImageDocument.h"
#include "Mask.h"
#include "Step.h"

// A kernel from the filter browser or typed in: "Filtrage linéaire", the
// filter, then "Filtrage".
bool StepFilter(CImageDocument& doc, const CMask& mask);
bool StepContours(CImageDocument& doc);  // "Contours"
bool StepDilate(CImageDocument& doc);    // "Dilatation morphologique"
bool StepErode(CImageDocument& doc);     // "Erosion morphologique"
bool StepOpen(CImageDocument& doc);      // "Ouverture morphologique"
bool StepClose(CImageDocument& doc);     // "Fermeture morphologique"

struct PerspectiveParams {
    int amplitude = 64;
    int border = 10;
    int rightAngle = 30;
    int leftAngle = 30;
    int background = 100;
    int edge = 255;
};
enum class PerspectiveMode { Gradient = 0, Cloud = 1 };
// "Perspective gradient" or "Perpective nuage", recorded after the rendering.
bool StepPerspective(CImageDocument& doc, PerspectiveMode mode, const PerspectiveParams& params);

// What each step needs of the document.
// clang-format off
template <> struct SStepNeeds<StepFilter> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepContours> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepDilate> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepErode> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepOpen> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepClose> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepPerspective> : SNeedsFullPalette {};
// clang-format on
