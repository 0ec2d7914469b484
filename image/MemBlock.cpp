#include "MemBlock.h"

#include <cstdlib>
#include <new>

std::unique_ptr<CMemBlock> CMemBlock::Allocate(std::uint64_t size) {
    if (size > kMaxBlockSize) return nullptr;
    // calloc hands out zeroed pages lazily, which keeps large pictures cheap.
    auto* data = static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1));
    if (data == nullptr) return nullptr;
    CMemBlock* block = new (std::nothrow) CMemBlock(data, static_cast<std::size_t>(size));
    if (block == nullptr) {
        std::free(data);
        return nullptr;
    }
    return std::unique_ptr<CMemBlock>(block);
}

CMemBlock::~CMemBlock() { std::free(data_); }
