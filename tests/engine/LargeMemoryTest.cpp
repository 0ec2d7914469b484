// Mappings made, dirtied, given back and made again (the kept ones handed
// out anew) come back zeroed and on their 2 MiB boundary; absurd sizes come
// back null instead of failing later.
#include <gtest/gtest.h>

#include <cstring>

#include "Image.h"
#include "LargeMemory.h"
#include "MemBlock.h"

TEST(LargeMemory, MappingsComeBackZeroedAndAbsurdSizesNull) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    for (int round = 0; round < 6; ++round) {
        for (const std::size_t size : {std::size_t{1}, 2 * kMiB, 2 * kMiB + 1, 21 * kMiB}) {
            std::uint8_t* bytes = largememory::MapZeroed(size);
            ASSERT_NE(bytes, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % (2 * kMiB), 0u) << size;
            for (std::size_t at = 0; at < size; at += 4096) ASSERT_EQ(bytes[at], 0) << size;
            ASSERT_EQ(bytes[size - 1], 0) << size;
            std::memset(bytes, 0xA5, size);
            largememory::UnmapZeroed(bytes, size);
        }
    }
    for (const std::size_t size : {~std::size_t{0}, ~std::size_t{0} - 4096, std::size_t{1} << 62})
        EXPECT_EQ(largememory::MapZeroed(size), nullptr) << size;
}

// A block its maker draws whole is not zeroed first: made on a mapping given
// back dirty, the new picture's row padding and table are still zero.
TEST(LargeMemory, BlocksDrawnWholeOnDirtyMemoryKeepZeroPadding) {
    constexpr int kWidth = 4097, kHeight = 2049, kStride = 4100;  // 3 bytes of padding
    CImage image;
    image.SetHandle(CImage::CreatePictureBlock(kWidth, kHeight, 24));
    {  // a grey block's worth of memory, dirtied and given back
        const HBLOCK dirty = CMemBlock::Allocate(1064 + std::uint64_t{kStride} * kHeight);
        std::memset(dirty->Data(), 0xA5, dirty->Size());
    }
    ASSERT_TRUE(image.ConvertToGrey());
    const std::uint8_t* block = image.Lock();
    for (int y = 0; y < kHeight; ++y)
        for (int x = kWidth; x < kStride; ++x) ASSERT_EQ(image.GetBits(block)[y * kStride + x], 0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(block[CImage::kInfoHeaderSize + 4 * i + 3], 0);
}
