#include "ImagePixelRows.h"

#include "Message.h"

CLockedPixelRows::CLockedPixelRows(CImage& image, const std::string& operation,
                                   MissingBlock missing) {
    if (!image.IsValid()) {
        if (missing == MissingBlock::Report) ShowMessage(operation + " : invalid handle");
        return;
    }
    lock_.emplace(image);
    if (!*lock_) return;
    std::uint8_t* found = image.GetBits(lock_->Block());
    if (found == nullptr) {
        ShowMessage(operation + " : unable to find data");
        lock_.reset();
        return;
    }
    bits = found;
    width = image.GetWidth();
    height = image.GetHeight();
    stride = CImage::GetWidthBytes(static_cast<int>(width));
}
