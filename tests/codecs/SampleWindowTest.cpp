// A window set again over kept 16-bit samples gives, for every sample, the
// level the reader's window gives it at the same ends: whole, fractional,
// negative and very wide ends, a window of one step, and equal ends.
#include <gtest/gtest.h>

#include <utility>

#include "FileSamples.h"
#include "SampleRows.h"

TEST(SampleWindow, LevelsOfKeptSamplesAreTheReadersAtTheSameEnds) {
    constexpr int kSide = 256;
    CFileSamples samples(kSide, kSide, SampleKind::Unsigned, 16, 65535);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            samples.Row16(y)[x] = static_cast<std::uint16_t>(y * kSide + x);
    const std::pair<double, double> windows[] = {{2100, 3600}, {0.5, 1000.25},  {-100.7, 70000},
                                                 {10, 11},     {0, 2e6},        {500, 500},
                                                 {0, 65535},   {65534.5, 65535}};
    for (const auto& [low, high] : windows) {
        SCOPED_TRACE(::testing::Message() << low << ".." << high);
        samples::CGreyWindow window(SampleKind::Unsigned, 16, 65535);
        window.FixAt(low, high);
        std::vector<std::uint8_t> levels(kSide * kSide);
        samples.Level(low, high, levels.data(), kSide);
        int wrong = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                // Rows are stored bottom-up.
                const std::uint8_t level = levels[(kSide - 1 - y) * kSide + x];
                wrong += level != window.LevelOf(y * kSide + x);
            }
        EXPECT_EQ(wrong, 0);
    }
}
