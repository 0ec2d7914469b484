// Large buffers, made either way (mapped, or by the C library), and mappings
// given back and made again: zeroed from end to end and writable to their
// last byte; absurd sizes of a mapping come back null.
#include <gtest/gtest.h>

#include <cstring>

#include "LargeMemory.h"

namespace {

bool ZeroedAndWritable(std::uint8_t* bytes, std::size_t size) {
    if (bytes[size - 1] != 0) return false;
    for (std::size_t at = 0; at < size; at += 4096)
        if (bytes[at] != 0) return false;
    std::memset(bytes, 0xA5, size);  // dirty for whoever gets them next
    return true;
}

}  // namespace

TEST(LargeMemory, ZeroedWhetherFreshOrMadeAgain) {
    constexpr std::size_t kMiB = std::size_t{1} << 20, kHuge = largememory::kHugeFrom;
    for (int round = 0; round < 6; ++round) {
        for (const std::size_t size : {std::size_t{1}, kHuge - 1, kHuge, kHuge + 1, 21 * kMiB}) {
            std::uint8_t* bytes = largememory::AllocateZeroed(size);
            ASSERT_NE(bytes, nullptr) << size;
            EXPECT_TRUE(ZeroedAndWritable(bytes, size)) << size;
            largememory::Release(bytes, size);
            bytes = largememory::MapZeroed(size);
            ASSERT_NE(bytes, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % (2 * kMiB), 0u) << size;
            EXPECT_TRUE(ZeroedAndWritable(bytes, size)) << size;
            largememory::Unmap(bytes, size);
        }
    }
    for (const std::size_t size : {~std::size_t{0}, ~std::size_t{0} - 4096, std::size_t{1} << 62})
        EXPECT_EQ(largememory::MapZeroed(size), nullptr) << size;
}
