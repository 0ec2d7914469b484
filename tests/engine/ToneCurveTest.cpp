// Tone curves: the landmarks of every curve and the stored tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ToneCurve.h"

TEST(ToneCurve, LinearAndInverse) {
    const ToneTable linear = ComputeToneCurve(kCurveLinear, 2);
    const ToneTable inverse = ComputeToneCurve(kCurveInverse, 2);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(linear[i], i);
        EXPECT_EQ(inverse[i], 255 - i);
    }
    // The two disabled codes and anything else fall back to the linear table.
    EXPECT_EQ(ComputeToneCurve(7, 2), linear);
    EXPECT_EQ(ComputeToneCurve(-1, 2), linear);
}

TEST(ToneCurve, ComputedCurvesTruncate) {
    const ToneTable root2 = ComputeToneCurve(kCurveSquareRoot, 2);
    EXPECT_EQ(root2[0], 0);
    EXPECT_EQ(root2[1], 15);
    EXPECT_EQ(root2[64], 127);
    EXPECT_EQ(root2[128], 180);
    EXPECT_EQ(root2[254], 254);

    const ToneTable power = ComputeToneCurve(kCurvePower, 2);
    EXPECT_EQ(power[0], 0);
    EXPECT_EQ(power[128], 64);
    EXPECT_EQ(power[254], 253);
    EXPECT_EQ(power[255], 255);

    const ToneTable root = ComputeToneCurve(kCurveRoot, 2);
    EXPECT_EQ(root[0], 0);
    EXPECT_EQ(root[1], 15);
    EXPECT_EQ(root[128], 180);
    EXPECT_EQ(root[255], 255);

    const ToneTable steep = ComputeToneCurve(kCurvePower, 99);
    EXPECT_EQ(*std::max_element(steep.begin(), steep.end() - 1), 172);
    EXPECT_EQ(steep[255], 255);

    // Gamma 0 is accepted by the dialog's field: flat at 255, or a step.
    const ToneTable flat = ComputeToneCurve(kCurvePower, 0);
    EXPECT_EQ(std::count(flat.begin(), flat.end(), 255), 256);
    const ToneTable step = ComputeToneCurve(kCurveRoot, 0);
    EXPECT_EQ(std::count(step.begin(), step.end(), 0), 255);
    EXPECT_EQ(step[255], 255);
}

TEST(ToneCurve, StoredExponentialAndLogarithmicTables) {
    const ToneTable exp = ComputeToneCurve(kCurveExponential, 2);
    EXPECT_EQ(exp[0], 0);
    EXPECT_EQ(exp[22], 0);
    EXPECT_EQ(exp[23], 1);
    EXPECT_EQ(exp[49], 2);
    EXPECT_EQ(exp[128], 13);
    EXPECT_EQ(exp[225], 127);
    EXPECT_EQ(exp[240], 180);
    EXPECT_EQ(exp[255], 255);
    EXPECT_TRUE(std::is_sorted(exp.begin(), exp.end()));

    const ToneTable log = ComputeToneCurve(kCurveLogarithmic, 2);
    const int begins[16] = {0, 32, 51, 64, 74, 82, 89, 96, 101, 106, 110, 114, 118, 121, 125, 127};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(log[i], begins[i]) << i;
    EXPECT_EQ(log[255], 255);
    EXPECT_TRUE(std::is_sorted(log.begin(), log.end()));
    // Every other entry is the rounded formula.
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(log[i], static_cast<int>(std::lround(255 * std::log(1.0 + i) / std::log(256.0))))
            << i;
}
