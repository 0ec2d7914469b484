#pragma once
// Processing steps for palettes, point operations and geometry (see
// StepsBasic.h for the contract shared by every step).

#include <cstdint>

#include "Step.h"

enum class PaletteKind { Grey, Rainbow, Heat, Metal, Binary };

extern const SStep<> StepNegative;            // "Inverse"
extern const SStep<> StepFlipHorizontal;      // "Retournement horizontal"
extern const SStep<> StepFlipVertical;        // "Retournement vertical"
extern const SStep<int> StepRotate;           // "Rotation(%d)"
extern const SStep<int, int> StepResize;      // "Redimensionnement(%d,%d)"
extern const SStep<> StepPaletteBar;          // "Ajout de la palette(%d)", 20 rows
extern const SStep<PaletteKind> StepPalette;  // "Palette niveaux de gris", ...
// Palette from the palette editor or a palette file: "Palette personalisée".
extern const SStep<const std::uint8_t*, const std::uint8_t*, const std::uint8_t*> StepCustomPalette;
// Manual threshold confirmed: Threshold then the binary palette, "Seuillage(%d,%d)".
extern const SStep<int, int> StepManualThreshold;
// Manual threshold cancelled: back to the grey palette, no undo copy, no history.
extern const SStep<> StepCancelManualThreshold;
// Adaptive threshold at mean + trunc(stdev * k): "Seuillage adaptatif";
// "Invalid threshold" when that exceeds 255.
extern const SStep<double> StepAdaptiveThreshold;
// Tone curve: "Dynamique".
extern const SStep<const std::uint8_t*> StepDynamic;
