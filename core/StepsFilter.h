#pragma once
// Processing steps for convolution, morphology and perspective (see
// StepsBasic.h for the contract shared by every step).

#include "Mask.h"
#include "Step.h"

// A kernel from the filter browser or typed in: "Filtrage linéaire", the
// filter, then "Filtrage".
extern const SStep<const CMask&> StepFilter;
extern const SStep<> StepContours;  // "Contours"
extern const SStep<> StepDilate;    // "Dilatation morphologique"
extern const SStep<> StepErode;     // "Erosion morphologique"
extern const SStep<> StepOpen;      // "Ouverture morphologique"
extern const SStep<> StepClose;     // "Fermeture morphologique"

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
extern const SStep<PerspectiveMode, const PerspectiveParams&> StepPerspective;
