#pragma once
// Exact sums of a row of 16-bit samples, for the statistics of a file's own
// values: their sum, the sum of their squares and their ends. Samples are
// unsigned, or signed in two's complement. A row of fewer than 2^31 samples
// never overflows the sums.

#include <cstdint>

struct SSampleRowSums {
    std::int64_t sum = 0;
    std::uint64_t squares = 0;
    std::int32_t least = 0, most = 0;  // of a row of at least one sample
};

SSampleRowSums SumSamples16(const std::uint16_t* samples, std::int64_t count, bool isSigned);

namespace samplekernels {
// The plain loop the vector version must equal, for the exactness tests.
SSampleRowSums SumSamples16Plain(const std::uint16_t* samples, std::int64_t count, bool isSigned);
}  // namespace samplekernels
