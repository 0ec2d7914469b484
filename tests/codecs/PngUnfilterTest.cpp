// The vector filters against their plain loops, byte for byte: every filter
// type, every pixel size a PNG file has, rows of 1 to 67 pixels, undone into
// another row and in place.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "PngUnfilter.h"

TEST(PngUnfilter, VectorRowsAreThePlainRows) {
    std::mt19937 random(17);
    for (std::uint8_t type = 0; type <= pngfilter::kPaeth; ++type) {
        for (const int bpp : {1, 2, 3, 4, 6, 8}) {
            for (std::size_t width = 1; width <= 67; ++width) {
                const std::size_t count = width * static_cast<std::size_t>(bpp);
                std::vector<std::uint8_t> in(count), prior(count);
                for (std::uint8_t& b : in) b = static_cast<std::uint8_t>(random());
                // Flat stretches above too, where Paeth's ties decide.
                for (std::uint8_t& b : prior)
                    b = static_cast<std::uint8_t>(random() % 3 ? random() : 128);
                std::vector<std::uint8_t> plain(count), fast(count), inPlace = in;
                ASSERT_TRUE(pngfilter::reference::Unfilter(type, bpp, in.data(), prior.data(),
                                                           plain.data(), count));
                ASSERT_TRUE(
                    pngfilter::Unfilter(type, bpp, in.data(), prior.data(), fast.data(), count));
                ASSERT_TRUE(pngfilter::Unfilter(type, bpp, inPlace.data(), prior.data(),
                                                inPlace.data(), count));
                EXPECT_EQ(fast, plain) << int(type) << ", " << bpp << " x " << width;
                EXPECT_EQ(inPlace, plain) << int(type) << ", " << bpp << " x " << width;
            }
        }
    }
}

TEST(PngUnfilter, UnknownFilterTypeIsRefusedAndNothingWritten) {
    std::vector<std::uint8_t> in(12, 9), prior(12, 1), out(12, 7);
    EXPECT_FALSE(pngfilter::Unfilter(5, 3, in.data(), prior.data(), out.data(), out.size()));
    EXPECT_FALSE(pngfilter::Unfilter(255, 1, in.data(), prior.data(), out.data(), out.size()));
    EXPECT_EQ(out, std::vector<std::uint8_t>(12, 7));
}
