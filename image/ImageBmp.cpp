// Reading and writing BMP files.
//
// Reading goes through the reader's two steps (BmpFileReader.h): the
// headers, the limits every picture file is held to, one allocation of
// exactly what the picture needs, then the pixels. A refused file leaves
// the image as it was.
//
// Writing puts a 14-byte file header in front of the block, with the pixel
// offset right after the colour table.

#include "BmpFileReader.h"
#include "BmpLayout.h"
#include "DibFields.h"
#include "DibGeometry.h"
#include "Image.h"
#include "Message.h"
#include "PictureLimits.h"

using namespace bmp;

namespace {

// The limits of PictureLimits.h, on what the headers said.
BmpRefusal CheckLimits(const SBmpPicture& p) {
    const auto width = static_cast<std::uint64_t>(p.width);
    const auto height = static_cast<std::uint64_t>(p.height);
    if (!limits::PictureFitsFile(width, height, p.bitCount)) return BmpRefusal::TooLarge;
    if (!limits::StoredRowsFitData(width, height, p.bitCount, p.runLength, p.dataBytes))
        return BmpRefusal::Damaged;
    return BmpRefusal::None;
}

}  // namespace

bool CImage::ReadFileBMP(CByteStream& file) {
    CBmpFileReader reader(file);
    const auto refuse = [&](BmpRefusal r) {
        if (r != BmpRefusal::Silent) ShowMessage(reader.Message(r));
        return false;
    };
    BmpRefusal r = reader.ReadHeaders();
    if (r == BmpRefusal::None) r = CheckLimits(reader.Picture());
    if (r != BmpRefusal::None) return refuse(r);

    HBLOCK block = CMemBlock::Allocate(reader.BlockBytes());
    if (!block) return refuse(BmpRefusal::NoMemory);
    if (r = reader.ReadPixels(*block); r != BmpRefusal::None) return refuse(r);

    block_ = std::move(block);
    return AfterRead();
}

bool CImage::SaveFileBMP(CByteStream& file) {
    if (!block_) {
        ShowMessage("SaveFileBMP : invalid handle");
        return false;
    }
    std::uint8_t* b = Lock();
    if (block_->Size() < kInfoHeaderSize || b[0] != kInfoHeaderSize)
        return false;  // core headers are never written

    const std::uint64_t headerBytes = kInfoHeaderSize;
    const std::uint64_t tableBytes = GetBitsOffset() - headerBytes;  // bit-field masks included
    const std::uint32_t compression = GetCompression();
    std::uint64_t imageBytes;
    if (compression == kBiRle8 || compression == kBiRle4) {
        imageBytes = dib::Read32(b + dib::kSizeImage);
    } else {
        imageBytes = dib::RowStride(GetWidth(), GetBitCount()) *
                     static_cast<std::uint64_t>(std::max(GetHeight(), 0));
    }
    const std::uint64_t total = headerBytes + tableBytes + imageBytes;
    if (total > block_->Size() || total + kFileHeaderSize > limits::kMaxFileBytes) {
        ShowMessage("SaveFileBMP : damaged picture");
        return false;
    }
    if (compression != kBiRle8 && compression != kBiRle4)
        dib::Write32(b + dib::kSizeImage, static_cast<std::uint32_t>(imageBytes));

    std::uint8_t fileHeader[kFileHeaderSize] = {};
    dib::Write16(fileHeader, kSignature);
    dib::Write32(fileHeader + 2, static_cast<std::uint32_t>(kFileHeaderSize + total));
    dib::Write32(fileHeader + 10,
                 static_cast<std::uint32_t>(kFileHeaderSize + headerBytes + tableBytes));
    const bool written =
        file.Write(fileHeader, kFileHeaderSize) && file.Write(b, static_cast<std::size_t>(total));
    Unlock();
    return written;
}
