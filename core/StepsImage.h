#pragma once
// Processing steps for palettes, point operations and geometry (see
// StepsBasic.h for the contract shared by every step).

#include <cstdint>

#include "ImageDocument.h"
#include "Step.h"

enum class PaletteKind { Grey, Rainbow, Heat, Metal, Binary };

bool StepNegative(CImageDocument& doc);                       // "Inverse"
bool StepFlipHorizontal(CImageDocument& doc);                 // "Retournement horizontal"
bool StepFlipVertical(CImageDocument& doc);                   // "Retournement vertical"
bool StepRotate(CImageDocument& doc, int angle);              // "Rotation(%d)"
bool StepResize(CImageDocument& doc, int width, int height);  // "Redimensionnement(%d,%d)"
bool StepPaletteBar(CImageDocument& doc);                     // "Ajout de la palette(%d)", 20 rows
bool StepPalette(CImageDocument& doc, PaletteKind kind);      // "Palette niveaux de gris", ...
// Palette from the palette editor or a palette file: "Palette personalisée".
bool StepCustomPalette(CImageDocument& doc, const std::uint8_t red[256],
                       const std::uint8_t green[256], const std::uint8_t blue[256]);
// Manual threshold confirmed: Threshold then the binary palette, "Seuillage(%d,%d)".
bool StepManualThreshold(CImageDocument& doc, int low, int high);
// Manual threshold cancelled: back to the grey palette, no undo copy, no
// history. Recorded only when the colours changed.
bool StepCancelManualThreshold(CImageDocument& doc);
// Adaptive threshold at mean + trunc(stdev * k), k being the dialog's 32-bit
// float: "Seuillage adaptatif"; "Invalid threshold" when that exceeds 255.
// `refused`, when given, tells that refusal (the picture untouched) from a
// failure of the engine, after which the picture may have changed.
bool StepAdaptiveThreshold(CImageDocument& doc, float k, bool* refused = nullptr);
// Tone curve: "Dynamique". The table is recorded as the named curve that
// gives it; a table no curve gives cannot be repeated by orvex-cli.
bool StepDynamic(CImageDocument& doc, const std::uint8_t table[256]);
// The same with the tone-curve dialog's choice: curve code (ToneCurve.h) and
// gamma 1 .. 99.
bool StepToneCurve(CImageDocument& doc, int curveType, int gamma);
// Colour to 256 grey levels: "Conversion en niveaux de gris". A picture that
// already has the grey ramp is left as it is: no undo copy, no history line,
// nothing recorded.
bool StepGrey(CImageDocument& doc);

// What each step needs of the document.
// clang-format off
template <> struct SStepNeeds<StepNegative> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepFlipHorizontal> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepFlipVertical> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepRotate> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepResize> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepPaletteBar> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepPalette> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepCustomPalette> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepManualThreshold> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepCancelManualThreshold> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepAdaptiveThreshold> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepDynamic> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepToneCurve> : SNeedsFullPalette {};
template <> struct SStepNeeds<StepGrey> : SNeedsPicture {};
// clang-format on
