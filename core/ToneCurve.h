#pragma once
// Tone curves of the "Dynamique" dialog and orvex-cli --dynamic: a table of
// 256 output levels, entry i being the new value of grey level i.

#include <array>
#include <cstdint>

// Curve codes, as the dialog's radio buttons number them.
enum ToneCurveType : int {
    kCurveLinear = 0,
    kCurveInverse = 1,
    kCurveSquareRoot = 2,
    kCurvePower = 3,  // (i / 255) ^ gamma
    kCurveRoot = 4,   // (i / 255) ^ (1 / gamma)
    kCurveExponential = 5,
    kCurveLogarithmic = 6,
};

using ToneTable = std::array<std::uint8_t, 256>;

// The table of one curve. Computed curves truncate toward zero, so a level
// whose exact image is an integer can come out one lower; gamma matters to
// the two power curves only. Any other code gives the linear table.
ToneTable ComputeToneCurve(int curveType, std::uint8_t gamma);
