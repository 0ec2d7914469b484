#pragma once
// The command-line spelling of the steps' arguments: the names orvex-cli
// accepts for tone curves, palettes and perspective modes, and the text of a
// kernel or a real number. The steps write these into the document's recipe
// and orvex-cli reads them, from one table each, so the two cannot drift.

#include <optional>
#include <string>
#include <string_view>

#include "Mask.h"
#include "StepsFilter.h"
#include "StepsImage.h"

// Tone curves: "linear", "inverse", "sqrt", "power:G", "root:G", "exp", "log";
// the gamma G of the two power curves lies in 1 .. 99.
inline constexpr int kMinCurveGamma = 1, kMaxCurveGamma = 99;
std::string ToneCurveArgument(int curveType, int gamma);
struct ToneCurveChoice {
    int curveType;
    int gamma;
};
std::optional<ToneCurveChoice> ParseToneCurveArgument(std::string_view text);

// Palettes: "grey", "rainbow", "heat", "metal", "binary".
const char* PaletteName(PaletteKind kind);
std::optional<PaletteKind> FindPaletteName(std::string_view name);

// Perspective modes: "gradient", "cloud".
const char* PerspectiveModeName(PerspectiveMode mode);
std::optional<PerspectiveMode> FindPerspectiveModeName(std::string_view name);

// "N:V1,V2,..." with the mask's N x N cells row by row, each within the
// range the kernel grid accepts.
inline constexpr int kMinKernelValue = -99, kMaxKernelValue = 99;
std::string KernelArgument(const CMask& mask);

// The shortest decimal text that reads back as exactly `value` (0.7f gives
// "0.7", not the digits of its widening to double). orvex-cli reads a real
// as a double and narrows it to the step's float.
std::string RealArgument(double value);
std::string RealArgument(float value);
