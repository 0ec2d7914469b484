#include "OperationForms.h"

#include <array>
#include <charconv>
#include <utility>

#include "ToneCurve.h"

namespace {

constexpr std::array<std::pair<const char*, int>, 7> kCurveNames{{
    {"linear", kCurveLinear},
    {"inverse", kCurveInverse},
    {"sqrt", kCurveSquareRoot},
    {"power", kCurvePower},
    {"root", kCurveRoot},
    {"exp", kCurveExponential},
    {"log", kCurveLogarithmic},
}};

constexpr std::array<std::pair<const char*, PaletteKind>, 5> kPaletteNames{{
    {"grey", PaletteKind::Grey},
    {"rainbow", PaletteKind::Rainbow},
    {"heat", PaletteKind::Heat},
    {"metal", PaletteKind::Metal},
    {"binary", PaletteKind::Binary},
}};

constexpr std::array<std::pair<const char*, PerspectiveMode>, 2> kModeNames{{
    {"gradient", PerspectiveMode::Gradient},
    {"cloud", PerspectiveMode::Cloud},
}};

bool TakesGamma(int curveType) { return curveType == kCurvePower || curveType == kCurveRoot; }

template <typename Table, typename Value>
const char* NameOf(const Table& table, Value value) {
    for (const auto& [name, v] : table)
        if (v == value) return name;
    return table.front().first;
}

template <typename Table>
auto ValueOf(const Table& table, std::string_view name)
    -> std::optional<decltype(table.front().second)> {
    for (const auto& [n, v] : table)
        if (name == n) return v;
    return std::nullopt;
}

}  // namespace

std::string ToneCurveArgument(int curveType, int gamma) {
    std::string text = NameOf(kCurveNames, curveType);
    if (TakesGamma(curveType)) text.append(":").append(std::to_string(gamma));
    return text;
}

std::optional<ToneCurveChoice> ParseToneCurveArgument(std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto curve = ValueOf(kCurveNames, text.substr(0, colon));
    if (!curve || TakesGamma(*curve) != (colon != std::string_view::npos)) return std::nullopt;
    int gamma = 2;
    if (TakesGamma(*curve)) {
        const std::string_view digits = text.substr(colon + 1);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), gamma);
        if (ec != std::errc() || end != digits.data() + digits.size() || gamma < kMinCurveGamma ||
            gamma > kMaxCurveGamma)
            return std::nullopt;
    }
    return ToneCurveChoice{*curve, gamma};
}

const char* PaletteName(PaletteKind kind) { return NameOf(kPaletteNames, kind); }

std::optional<PaletteKind> FindPaletteName(std::string_view name) {
    return ValueOf(kPaletteNames, name);
}

const char* PerspectiveModeName(PerspectiveMode mode) { return NameOf(kModeNames, mode); }

std::optional<PerspectiveMode> FindPerspectiveModeName(std::string_view name) {
    return ValueOf(kModeNames, name);
}

std::string KernelArgument(const CMask& mask) {
    const int side = mask.GetMaskSize();
    std::string text = std::to_string(side) + ":";
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            if (row + column > 0) text += ',';
            text += std::to_string(mask.GetCell(row, column));
        }
    return text;
}

namespace {

template <typename Real>
std::string ShortestText(Real value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace

std::string RealArgument(double value) { return ShortestText(value); }

// A float's shortest text can, in rare cases, read as a double that narrows
// to the neighbouring float; then the double's own text is written.
std::string RealArgument(float value) {
    const std::string shortest = ShortestText(value);
    double reread = 0;
    std::from_chars(shortest.data(), shortest.data() + shortest.size(), reread);
    return static_cast<float>(reread) == value ? shortest
                                               : ShortestText(static_cast<double>(value));
}
