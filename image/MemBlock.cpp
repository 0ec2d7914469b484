#include "MemBlock.h"

#include <new>

#include "LargeMemory.h"

std::unique_ptr<CMemBlock> CMemBlock::Allocate(std::uint64_t size, BlockFill fill) {
    if (size > kMaxBlockSize) return nullptr;
    std::uint8_t* allocated = fill == BlockFill::Zeroed
                                  ? largememory::AllocateZeroed(size + kAlignment)
                                  : largememory::AllocateForOverwrite(size + kAlignment);
    if (allocated == nullptr) return nullptr;
    // The pixels of an 8-bit picture follow its 40-byte header and 1024-byte
    // colour table: start the block 40 bytes short of a cache line, so that
    // its rows (whose length is a multiple of four) start on one whenever
    // their length is a multiple of 64 and no vector load straddles two lines.
    const auto address = reinterpret_cast<std::uintptr_t>(allocated);
    const std::size_t shift = (kPixelsAt - address % kAlignment + kAlignment) % kAlignment;
    CMemBlock* block =
        new (std::nothrow) CMemBlock(allocated, allocated + shift, static_cast<std::size_t>(size));
    if (block == nullptr) {
        largememory::Release(allocated, size + kAlignment);
        return nullptr;
    }
    return std::unique_ptr<CMemBlock>(block);
}

CMemBlock::~CMemBlock() { largememory::Release(allocated_, size_ + kAlignment); }
