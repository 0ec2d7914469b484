// The 16-bit sample kernels against their plain loops. Sums: random rows of
// every short length (the vector part, the left-over samples, both), and
// long rows at the ends of each kind that fill the 32-bit lanes across
// blocks. Ramps: every sample through ramps of the narrowest, widest and
// shifted kinds, ramps whose levels fall on exact halves, and random ones.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "SampleRamp.h"
#include "SampleSums.h"

namespace {

void ExpectPlain(const std::vector<std::uint16_t>& row, bool isSigned) {
    const auto count = static_cast<std::int64_t>(row.size());
    const SSampleRowSums fast = SumSamples16(row.data(), count, isSigned);
    const SSampleRowSums plain = samplekernels::SumSamples16Plain(row.data(), count, isSigned);
    EXPECT_EQ(fast.sum, plain.sum);
    EXPECT_EQ(fast.squares, plain.squares);
    EXPECT_EQ(fast.least, plain.least);
    EXPECT_EQ(fast.most, plain.most);
}

}  // namespace

TEST(SampleSums, RandomRowsOfEveryShortLengthMatchThePlainLoop) {
    std::mt19937 random(16);
    for (const bool isSigned : {false, true})
        for (std::size_t length = 1; length <= 70; ++length) {
            SCOPED_TRACE(::testing::Message() << length << (isSigned ? " signed" : ""));
            std::vector<std::uint16_t> row(length);
            for (std::uint16_t& s : row) s = static_cast<std::uint16_t>(random());
            ExpectPlain(row, isSigned);
        }
}

TEST(SampleSums, LongRowsAtTheEndsOfEachKindAreExact) {
    constexpr std::size_t kLong = 300007;  // more than two blocks of lanes
    for (const bool isSigned : {false, true})
        for (const std::uint16_t end : {0x0000, 0x7FFF, 0x8000, 0xFFFF}) {
            SCOPED_TRACE(::testing::Message() << end << (isSigned ? " signed" : ""));
            ExpectPlain(std::vector<std::uint16_t>(kLong, end), isSigned);
        }
    const std::vector<std::uint16_t> top(kLong, 0xFFFF);
    const SSampleRowSums sums = SumSamples16(top.data(), kLong, false);
    EXPECT_EQ(sums.sum, std::int64_t{65535} * kLong);
    EXPECT_EQ(sums.squares, std::uint64_t{65535} * 65535 * kLong);
}

TEST(SampleRamp, EverySampleThroughNarrowWideAndShiftedRampsMatchesThePlainLoop) {
    std::vector<std::uint16_t> every(65536 + 13);
    for (std::size_t i = 0; i < every.size(); ++i) every[i] = static_cast<std::uint16_t>(i * 7919);
    // Ranges of 2 x 255 x k put a level's half exactly on a sample.
    std::vector<SSampleRamp> ramps = {{0, 1},      {2100, 1500},   {-1048576, 1048576}, {65535, 1},
                                      {-300, 997}, {40000, 65535}, {0, 65535},          {12345, 3},
                                      {0, 510},    {100, 1020},    {7, 2550},           {0, 2}};
    std::mt19937 random(11);
    for (int i = 0; i < 24; ++i)
        ramps.push_back({static_cast<std::int32_t>(random() % 70000) - 2000,
                         static_cast<std::int32_t>(1 + random() % (i < 12 ? 5000 : 70000))});
    for (const SSampleRamp ramp : ramps) {
        SCOPED_TRACE(::testing::Message() << ramp.start << " + " << ramp.range);
        std::vector<std::uint8_t> fast(every.size()), plain(every.size());
        RampSamples16(every.data(), fast.data(), static_cast<std::int64_t>(every.size()), ramp);
        samplekernels::RampSamples16Plain(every.data(), plain.data(),
                                          static_cast<std::int64_t>(every.size()), ramp);
        EXPECT_EQ(fast, plain);
    }
}
