#pragma once
// The unchanged copy of a picture's rows that the neighbourhood operations
// (convolution, morphology) read while they write the picture itself.

#include <cstring>
#include <string>

#include "ImagePixelRows.h"
#include "MemBlock.h"
#include "Message.h"

// A copy of all rows, or null with "<operation> : insuffisant memory".
inline HBLOCK SnapshotRows(const CPixelRows& rows, const std::string& operation) {
    HBLOCK copy = CMemBlock::Allocate(static_cast<std::uint64_t>(rows.ImageBytes()));
    if (!copy) {
        ShowMessage(operation + " : insuffisant memory");
        return nullptr;
    }
    std::memcpy(copy->Data(), rows.bits, static_cast<std::size_t>(rows.ImageBytes()));
    return copy;
}
