// Large buffers: zeroed from end to end, writable to their last byte, given
// back without a trace, whichever of the two ways they are made; absurd
// sizes of a mapping come back null instead of failing later.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "Image.h"
#include "LargeMemory.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

bool ZeroedAndWritable(std::uint8_t* bytes, std::size_t size) {
    for (const std::size_t at : {std::size_t{0}, size / 2, size - 1})
        if (bytes[at] != 0) return false;
    for (std::size_t at = 0; at < size; at += 4096)
        if (bytes[at] != 0) return false;
    std::memset(bytes, 0xA5, size);
    return bytes[size - 1] == 0xA5;
}

}  // namespace

TEST(LargeMemory, BuffersOnEitherSideOfTheMappedSize) {
    for (const std::size_t size : {std::size_t{1}, 4095 * std::size_t{1}, largememory::kHugeFrom - 1,
                                   largememory::kHugeFrom, largememory::kHugeFrom + 1,
                                   3 * 2 * kMiB + 5, 21 * kMiB}) {
        std::uint8_t* bytes = largememory::AllocateZeroed(size);
        ASSERT_NE(bytes, nullptr) << size;
        EXPECT_TRUE(ZeroedAndWritable(bytes, size)) << size;
        largememory::Release(bytes, size);
    }
}

TEST(LargeMemory, MappingsStartOnTheirPagesAndComeBackZeroed) {
    // Made and given back repeatedly: a mapping that leaked its trimmed ends
    // or gave back the wrong length would show as a fault or dirty bytes.
    for (int round = 0; round < 8; ++round) {
        for (const std::size_t size : {std::size_t{0}, std::size_t{1}, 2 * kMiB, 2 * kMiB + 1,
                                       9 * kMiB + 77}) {
            std::uint8_t* bytes = largememory::MapZeroed(size);
            ASSERT_NE(bytes, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % (2 * kMiB), 0u) << size;
            if (size > 0) {
                EXPECT_TRUE(ZeroedAndWritable(bytes, size)) << size;
            }
            largememory::Unmap(bytes, size);
        }
    }
}

TEST(LargeMemory, AbsurdSizesComeBackNull) {
    for (const std::size_t size : {~std::size_t{0}, ~std::size_t{0} - 4096, std::size_t{1} << 62})
        EXPECT_EQ(largememory::MapZeroed(size), nullptr) << size;
}

TEST(LargeMemory, LargePictureBlockIsZeroedAndWholeToItsLastRow) {
    CImage image;
    ASSERT_TRUE(image.CreateEmptyImage(4099, 2050, 0));
    const std::size_t size = image.GetImageSize();
    ASSERT_GE(size, largememory::kHugeFrom);
    std::uint8_t* bits = image.GetBits(image.Lock());
    EXPECT_TRUE(ZeroedAndWritable(bits, size));
    image.Unlock();
}
