#pragma once
// The checked entry into a picture's pixel rows, shared by the statistics,
// point and geometric operations: first validate and report with the
// operation's own name, then hand plain numbers to a loop over raw rows.

#include <cstdint>
#include <string>

#include "Image.h"
#include "Message.h"

// The pixel rows of a picture at one byte per pixel. Valid only while the
// picture's block is neither replaced nor freed.
struct CPixelRows {
    std::uint8_t* bits = nullptr;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t stride = 0;

    explicit operator bool() const { return bits != nullptr; }
    std::int64_t ImageBytes() const { return stride * height; }
    std::uint8_t* Row(std::int64_t y) const { return bits + y * stride; }
};

enum class MissingBlock { Report, Silent };

// Finds the rows of `image`. A missing block gives "<operation> : invalid
// handle" (or nothing, for the operations that stay silent), rows that the
// block cannot hold "<operation> : unable to find data"; both return an empty
// CPixelRows.
inline CPixelRows LockPixelRows(CImage& image, const std::string& operation,
                                MissingBlock missing = MissingBlock::Report) {
    if (!image.IsValid()) {
        if (missing == MissingBlock::Report) ShowMessage(operation + " : invalid handle");
        return {};
    }
    std::uint8_t* block = image.Lock();
    if (block == nullptr) return {};
    std::uint8_t* bits = image.GetBits(block);
    if (bits == nullptr) {
        ShowMessage(operation + " : unable to find data");
        image.Unlock();
        return {};
    }
    const std::int64_t width = image.GetWidth();
    return {bits, width, image.GetHeight(), CImage::GetWidthBytes(static_cast<int>(width))};
}
