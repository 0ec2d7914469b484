#include "ToneCurve.h"

#include <cmath>

namespace {

// 1 / 255 as the curves have always used it.
constexpr double kInverse255 = 0.00392156862745098;

// Stored tables. The logarithmic one is 255 ln(1 + i) / ln 256 rounded to the
// nearest level, except entry 15 (127.5), which is rounded down.
// clang-format off
constexpr std::array<std::uint8_t, 256> kExponential = {{
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   1,   1,   1,   1,   1,   1,   1,   1,   1,
      1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,
      1,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   2,
      2,   2,   3,   3,   3,   3,   3,   3,   3,   3,   3,   3,   3,   4,   4,   4,
      4,   4,   4,   4,   4,   4,   5,   5,   5,   5,   5,   5,   5,   5,   6,   6,
      6,   6,   6,   6,   6,   7,   7,   7,   7,   7,   8,   8,   8,   8,   8,   9,
      9,   9,   9,   9,  10,  10,  10,  10,  11,  11,  11,  12,  12,  12,  12,  13,
     13,  13,  14,  14,  14,  15,  15,  15,  16,  16,  17,  17,  17,  18,  18,  19,
     19,  20,  20,  21,  21,  22,  22,  23,  23,  24,  24,  25,  25,  26,  27,  27,
     28,  29,  29,  30,  31,  31,  32,  33,  34,  35,  35,  36,  37,  38,  39,  40,
     41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  53,  54,  55,  57,  58,
     59,  61,  62,  64,  65,  67,  68,  70,  71,  73,  75,  77,  78,  80,  82,  84,
     86,  88,  90,  92,  94,  97,  99, 101, 103, 106, 108, 111, 114, 116, 119, 122,
    125, 127, 130, 133, 137, 140, 143, 146, 150, 153, 157, 161, 164, 168, 172, 176,
    180, 185, 189, 193, 198, 202, 207, 212, 217, 222, 227, 232, 238, 243, 249, 255,
}};

constexpr std::array<std::uint8_t, 256> kLogarithmic = {{
      0,  32,  51,  64,  74,  82,  89,  96, 101, 106, 110, 114, 118, 121, 125, 127,
    130, 133, 135, 138, 140, 142, 144, 146, 148, 150, 152, 153, 155, 156, 158, 159,
    161, 162, 163, 165, 166, 167, 168, 170, 171, 172, 173, 174, 175, 176, 177, 178,
    179, 180, 181, 182, 183, 183, 184, 185, 186, 187, 188, 188, 189, 190, 191, 191,
    192, 193, 193, 194, 195, 195, 196, 197, 197, 198, 199, 199, 200, 200, 201, 202,
    202, 203, 203, 204, 204, 205, 205, 206, 206, 207, 207, 208, 208, 209, 209, 210,
    210, 211, 211, 212, 212, 213, 213, 214, 214, 214, 215, 215, 216, 216, 217, 217,
    217, 218, 218, 219, 219, 219, 220, 220, 221, 221, 221, 222, 222, 222, 223, 223,
    223, 224, 224, 225, 225, 225, 226, 226, 226, 227, 227, 227, 228, 228, 228, 229,
    229, 229, 229, 230, 230, 230, 231, 231, 231, 232, 232, 232, 233, 233, 233, 233,
    234, 234, 234, 235, 235, 235, 235, 236, 236, 236, 236, 237, 237, 237, 238, 238,
    238, 238, 239, 239, 239, 239, 240, 240, 240, 240, 241, 241, 241, 241, 242, 242,
    242, 242, 242, 243, 243, 243, 243, 244, 244, 244, 244, 245, 245, 245, 245, 245,
    246, 246, 246, 246, 247, 247, 247, 247, 247, 248, 248, 248, 248, 248, 249, 249,
    249, 249, 249, 250, 250, 250, 250, 250, 251, 251, 251, 251, 251, 252, 252, 252,
    252, 252, 253, 253, 253, 253, 253, 254, 254, 254, 254, 254, 254, 255, 255, 255,
}};
// clang-format on

std::uint8_t Truncate(double value) { return static_cast<std::uint8_t>(static_cast<int>(value)); }

}  // namespace

ToneTable ComputeToneCurve(int curveType, std::uint8_t gamma) {
    switch (curveType) {
        case kCurveExponential:
            return kExponential;
        case kCurveLogarithmic:
            return kLogarithmic;
        default:
            break;
    }
    ToneTable table{};
    const double root = std::sqrt(kInverse255);
    // Gamma 0 (which the dialog's field accepts) makes the root curve a step.
    const double rootExponent = gamma == 0 ? HUGE_VAL : 1.0 / gamma;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t& out = table[static_cast<std::size_t>(i)];
        switch (curveType) {
            case kCurveInverse:
                out = static_cast<std::uint8_t>(255 - i);
                break;
            case kCurveSquareRoot:
                out = Truncate(std::sqrt(i) * root * 255.0);
                break;
            case kCurvePower:
                out = Truncate(std::pow(i * kInverse255, gamma) * 255.0);
                break;
            case kCurveRoot:
                out = Truncate(std::pow(i * kInverse255, rootExponent) * 255.0);
                break;
            default:
                out = static_cast<std::uint8_t>(i);
                break;
        }
    }
    return table;
}
