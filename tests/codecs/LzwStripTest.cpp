// Our LZW strip encoder against libtiff's own, byte for byte: random strips
// of flat runs, few-level noise, full noise and repeats, of random sizes; a
// strip past 8 MiB, where the ratio check changes its arithmetic; and every
// length around the first time the table fills, so that one of them fills it
// with the very last code. Our decoder gives back what libtiff encoded
// (damaged strips are compared with libtiff's decoder through the reader).
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "LzwStrip.h"
#include "LzwStripDecoder.h"

namespace {

// The strip libtiff's LZW encoder makes of `bytes`, as one row of a picture
// written to a file and read back raw.
std::vector<std::uint8_t> LibtiffStrip(const std::vector<std::uint8_t>& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("orvex-lzw-" + std::to_string(::getpid()) + ".tif"))
                                 .string();
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) return {};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bytes.size()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1u);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1u);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFWriteEncodedStrip(tiff, 0, const_cast<std::uint8_t*>(bytes.data()),
                          static_cast<tmsize_t>(bytes.size()));
    TIFFClose(tiff);
    tiff = TIFFOpen(path.c_str(), "r");
    if (tiff == nullptr) return {};
    std::vector<std::uint8_t> strip(static_cast<std::size_t>(TIFFRawStripSize(tiff, 0)));
    TIFFReadRawStrip(tiff, 0, strip.data(), static_cast<tmsize_t>(strip.size()));
    TIFFClose(tiff);
    std::filesystem::remove(path);
    return strip;
}

void ExpectLibtiffsBytes(CLzwStrip& lzw, const std::vector<std::uint8_t>& bytes) {
    const std::span<const std::uint8_t> ours = lzw.Compress(bytes.data(), bytes.size());
    const std::vector<std::uint8_t> theirs = LibtiffStrip(bytes);
    ASSERT_FALSE(theirs.empty());
    EXPECT_EQ(std::vector<std::uint8_t>(ours.begin(), ours.end()), theirs)
        << bytes.size() << " bytes";
}

// Pieces of random kinds and lengths, up to `count` bytes in all.
std::vector<std::uint8_t> MixedStrip(std::size_t count, std::mt19937& random) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        const std::size_t length =
            std::min<std::size_t>(count - bytes.size(), 1 + random() % 40000);
        const std::uint8_t base = static_cast<std::uint8_t>(random());
        const unsigned levels = 1u << (random() % 9);  // 1 (flat) to 256 (noise)
        switch (random() % 3) {
            case 0:
                for (std::size_t i = 0; i < length; ++i)
                    bytes.push_back(static_cast<std::uint8_t>(base + random() % levels));
                break;
            case 1:  // a short pattern repeated
                for (std::size_t i = 0; i < length; ++i)
                    bytes.push_back(static_cast<std::uint8_t>(base + i % (1 + levels % 7) * 3));
                break;
            default:  // a slow ramp
                for (std::size_t i = 0; i < length; ++i)
                    bytes.push_back(static_cast<std::uint8_t>(base + i / (1 + levels)));
        }
    }
    return bytes;
}

}  // namespace

TEST(LzwStrip, RandomStripsAreLibtiffsBytes) {
    std::mt19937 random(2024);
    CLzwStrip lzw;
    for (int trial = 0; trial < 60; ++trial) {
        const std::size_t count =
            trial < 4 ? trial + 1 : 1 + random() % (trial % 5 ? 20000 : 300000);
        ExpectLibtiffsBytes(lzw, MixedStrip(count, random));
    }
}

TEST(LzwStrip, StripPastEightMebibytesIsLibtiffsBytes) {
    std::mt19937 random(8);
    CLzwStrip lzw;
    ExpectLibtiffsBytes(lzw, MixedStrip((std::size_t{9} << 20) + 12345, random));
    // Flat for long, so that the ratio climbs high before the noise.
    std::vector<std::uint8_t> bytes((std::size_t{17} << 19), 77);
    for (std::size_t i = bytes.size() / 2; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(random());
    ExpectLibtiffsBytes(lzw, bytes);
}

TEST(LzwStrip, TableFillingAtTheLastCodeIsLibtiffsBytes) {
    // Full noise adds one entry a code, so the table fills somewhere in the
    // first 4200 bytes; each length below is one code more or the same.
    std::mt19937 random(99);
    std::vector<std::uint8_t> noise(4400);
    for (std::uint8_t& b : noise) b = static_cast<std::uint8_t>(random());
    CLzwStrip lzw;
    for (std::size_t count = 3600; count <= noise.size(); ++count)
        ExpectLibtiffsBytes(lzw, std::vector<std::uint8_t>(noise.begin(), noise.begin() + count));
}

TEST(LzwStripDecoder, LibtiffsStripsDecodeToTheirBytes) {
    std::mt19937 random(2025);
    CLzwStripDecoder decoder;
    for (int trial = 0; trial < 40; ++trial) {
        const std::size_t count =
            trial < 4 ? trial + 1 : 1 + random() % (trial % 5 ? 20000 : 300000);
        const std::vector<std::uint8_t> bytes = MixedStrip(count, random);
        const std::vector<std::uint8_t> packed = LibtiffStrip(bytes);
        const std::span<const std::uint8_t> whole = decoder.Decompress(packed, count);
        ASSERT_EQ(std::vector<std::uint8_t>(whole.begin(), whole.end()), bytes) << count;
        // A strip's first rows only, and more than it holds.
        const std::span<const std::uint8_t> part = decoder.Decompress(packed, count / 3);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), bytes.begin()) &&
                    part.size() == count / 3);
        EXPECT_TRUE(decoder.Decompress(packed, count + 1).empty());
    }
    // Past 8 MiB, and runs long enough that strings are written from
    // themselves far back.
    std::vector<std::uint8_t> bytes = MixedStrip((std::size_t{9} << 20) + 12345, random);
    bytes.insert(bytes.end(), 200000, 9);
    const std::span<const std::uint8_t> whole =
        decoder.Decompress(LibtiffStrip(bytes), bytes.size());
    EXPECT_EQ(std::vector<std::uint8_t>(whole.begin(), whole.end()), bytes);
}
