#pragma once
// A picture's block held locked for the life of a scope: CImage::Lock when
// made, CImage::Unlock when the scope is left, whichever way it is left.
//
//     const CImageLock lock(image);  // CImage or const CImage
//     if (!lock) return false;       // no block: Lock has reported it
//     const std::uint8_t* block = lock.Block();
//
// The block must not be replaced (SetHandle, Undo, an operation that makes a
// new picture) while a lock on it lives.

#include <type_traits>

#include "Image.h"

template <typename Image>
class CImageLock {
    static_assert(std::is_same_v<std::remove_const_t<Image>, CImage>);

public:
    using Byte = std::conditional_t<std::is_const_v<Image>, const std::uint8_t, std::uint8_t>;

    explicit CImageLock(Image& image) : image_(image), block_(image.Lock()) {}
    ~CImageLock() {
        if (block_ != nullptr) image_.Unlock();
    }
    CImageLock(const CImageLock&) = delete;
    CImageLock& operator=(const CImageLock&) = delete;

    // Start of the block; null when the picture has none.
    Byte* Block() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }

private:
    Image& image_;
    Byte* block_;
};

template <typename Image>
CImageLock(Image&) -> CImageLock<Image>;
