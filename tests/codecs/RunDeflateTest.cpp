// Our run-length deflate inflated by zlib: pictures' filtered rows, noise,
// long runs across blocks, few symbols, one byte, nothing; runs of blocks
// ended on a byte boundary and followed by more; and files no larger than
// zlib's at its fastest level with the same matches.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <random>
#include <vector>

#include "RunDeflate.h"

namespace {

// Raw inflate of `packed`; empty unless the stream ends exactly at its end.
std::vector<std::uint8_t> Inflated(const std::vector<std::uint8_t>& packed, std::size_t expected) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) return {};
    std::vector<std::uint8_t> bytes(expected + 1);
    stream.next_in = const_cast<std::uint8_t*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = bytes.data();
    stream.avail_out = static_cast<uInt>(bytes.size());
    const int rc = inflate(&stream, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && stream.avail_in == 0;
    bytes.resize(bytes.size() - stream.avail_out);
    inflateEnd(&stream);
    return whole ? bytes : std::vector<std::uint8_t>{};
}

// zlib's raw deflate at level 1 with run-length matches, as the PNG writer
// used it before.
std::size_t ZlibSize(const std::vector<std::uint8_t>& bytes) {
    z_stream stream{};
    deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_RLE);
    std::vector<std::uint8_t> out(deflateBound(&stream, bytes.size()));
    stream.next_in = const_cast<std::uint8_t*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    const std::size_t size = out.size() - stream.avail_out;
    deflateEnd(&stream);
    return size;
}

std::vector<std::uint8_t> Deflated(const std::vector<std::uint8_t>& bytes, bool final) {
    std::vector<std::uint8_t> packed(RunDeflateBound(bytes.size()));
    packed.resize(RunDeflate(bytes.data(), bytes.size(), final, packed.data()));
    return packed;
}

struct SDeflateCase {
    const char* name;
    std::function<std::vector<std::uint8_t>(std::mt19937&)> make;
};

std::vector<std::uint8_t> Made(std::size_t count, const std::function<int(std::size_t)>& at) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(at(i));
    return bytes;
}

const SDeflateCase kCases[] = {
    {"Nothing", [](std::mt19937&) { return std::vector<std::uint8_t>{}; }},
    {"OneByte", [](std::mt19937&) { return std::vector<std::uint8_t>{42}; }},
    {"TwoEqualBytes",
     [](std::mt19937&) {
         return std::vector<std::uint8_t>{7, 7};
     }},
    {"OneValueAcrossBlocks", [](std::mt19937&) { return std::vector<std::uint8_t>(5'000'000, 0); }},
    {"Noise", [](std::mt19937& r) { return Made(300'000, [&](std::size_t) { return r(); }); }},
    // Filtered rows of a smooth picture with noise: small differences.
    {"FilteredPhoto",
     [](std::mt19937& r) {
         std::normal_distribution<double> noise(0, 4);
         return Made(2'000'000, [&](std::size_t) { return static_cast<int>(noise(r)) & 255; });
     }},
    // Runs of every length from 1 to 300 of changing bytes.
    {"RunsOfEveryLength",
     [](std::mt19937& r) {
         std::vector<std::uint8_t> bytes;
         for (int length = 1; length <= 300; ++length)
             bytes.insert(bytes.end(), static_cast<std::size_t>(length),
                          static_cast<std::uint8_t>(r()));
         return bytes;
     }},
    {"FewSymbols",
     [](std::mt19937& r) { return Made(100'000, [&](std::size_t) { return 'a' + r() % 3; }); }},
    // One symbol far more common than the rest: codes that would pass 15
    // bits without their limit.
    {"SkewedCounts",
     [](std::mt19937& r) {
         return Made(400'000, [&](std::size_t i) {
             const int k = static_cast<int>(r() % 40000);
             return k == 0 ? static_cast<int>(i % 256) : k < 20 ? k : 200 + (i & 1);
         });
     }},
};

}  // namespace

class RunDeflateCase : public ::testing::TestWithParam<SDeflateCase> {};

TEST_P(RunDeflateCase, InflatesToItsBytesAndIsNoLargerThanZlibs) {
    std::mt19937 random(17);
    const std::vector<std::uint8_t> bytes = GetParam().make(random);
    std::vector<std::uint8_t> packed = Deflated(bytes, true);
    EXPECT_EQ(Inflated(packed, bytes.size()), bytes);
    EXPECT_LE(packed.size(), ZlibSize(bytes) + 8) << "zlib: " << ZlibSize(bytes);
    // Ended on a byte boundary, then the same bytes again as the end.
    std::vector<std::uint8_t> twice = Deflated(bytes, false);
    const std::vector<std::uint8_t> end = Deflated(bytes, true);
    twice.insert(twice.end(), end.begin(), end.end());
    std::vector<std::uint8_t> both = bytes;
    both.insert(both.end(), bytes.begin(), bytes.end());
    EXPECT_EQ(Inflated(twice, both.size()), both);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RunDeflateCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Short pieces of filtered rows, small differences either side of zero, so
// that literals of every length of the fixed code (0-143, 144-255) and runs
// go out in fixed blocks, alone and after a long dynamic block.
TEST(RunDeflate, ShortPiecesInFixedBlocksInflateToTheirBytes) {
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 5);
    const std::vector<std::uint8_t> before =
        Made(20000, [&](std::size_t) { return static_cast<int>(noise(random)) & 255; });
    for (std::size_t length = 1; length <= 120; ++length) {
        const std::vector<std::uint8_t> piece =
            Made(length, [&](std::size_t) { return static_cast<int>(noise(random)) & 255; });
        EXPECT_EQ(Inflated(Deflated(piece, true), length), piece) << length;
        std::vector<std::uint8_t> both = before;
        both.insert(both.end(), piece.begin(), piece.end());
        EXPECT_EQ(Inflated(Deflated(both, true), both.size()), both) << length;
    }
}
