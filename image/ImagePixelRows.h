#pragma once
// The checked entry into a picture's pixel rows, shared by the statistics,
// point, geometric and neighbourhood operations: first validate and report
// with the operation's own name, then hand plain numbers to a loop over raw
// rows.

#include <cstdint>
#include <optional>
#include <string>

#include "Image.h"
#include "ImageLock.h"

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

// The rows of `image`, its block locked while this object lives. A missing
// block gives "<operation> : invalid handle" (or nothing, for the operations
// that stay silent), rows that the block cannot hold "<operation> : unable to
// find data"; both leave the rows empty.
class CLockedPixelRows : public CPixelRows {
public:
    CLockedPixelRows(CImage& image, const std::string& operation,
                     MissingBlock missing = MissingBlock::Report);

private:
    std::optional<CImageLock<CImage>> lock_;
};
