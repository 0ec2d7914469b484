#pragma once
// An owned byte block, zero-filled unless its maker fills every byte: the
// storage of a packed DIB.
//
// Blocks are always reached through a handle (HBLOCK) that owns them; access
// to the bytes is explicit (Data/Size). Allocation never throws: a block that
// cannot be had, or whose size exceeds kMaxBlockSize, comes back null so the
// caller can report its own "insuffisant memory" message.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "PictureLimits.h"

// Whether a new block's bytes are zero, or left for its maker to write every
// one of them (a copy, or a picture whose every row is drawn).
enum class BlockFill { Zeroed, Overwritten };

class CMemBlock {
public:
    // Largest block we ever allocate: a BMP file cannot describe more.
    static constexpr std::uint64_t kMaxBlockSize = limits::kMaxFileBytes;

    static std::unique_ptr<CMemBlock> Allocate(std::uint64_t size,
                                               BlockFill fill = BlockFill::Zeroed);

    ~CMemBlock();
    CMemBlock(const CMemBlock&) = delete;
    CMemBlock& operator=(const CMemBlock&) = delete;

    std::uint8_t* Data() noexcept { return data_; }
    const std::uint8_t* Data() const noexcept { return data_; }
    std::size_t Size() const noexcept { return size_; }

private:
    static constexpr std::size_t kAlignment = 64;
    static constexpr std::size_t kPixelsAt = kAlignment - 40;  // 1064 = 40 + 1024

    CMemBlock(std::uint8_t* allocated, std::uint8_t* data, std::size_t size)
        : allocated_(allocated), data_(data), size_(size) {}

    std::uint8_t* allocated_;
    std::uint8_t* data_;
    std::size_t size_;
};

using HBLOCK = std::unique_ptr<CMemBlock>;
