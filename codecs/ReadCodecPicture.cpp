// The sequence every reader follows: header, size checks, one block, pixels.

#include <algorithm>
#include <new>

#include "PictureCodec.h"

namespace {

// The limits of BMP files: the picture, written as a BMP with its file
// header, engine header and table, must stay below 2 GiB.
constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFFull;
constexpr std::uint64_t kBmpOverhead = 14 + CImage::kEngineHeaderBytes + 16;

// A compressed file may claim a picture far larger than its data could
// fill. Up to this many bytes of rows are allocated whatever the file's
// length; beyond it the file must hold a byte for every 8192 bytes of rows
// (deflate reaches about 1032 to 1, times 8 for 1-bit samples).
constexpr std::uint64_t kRowsWithoutData = std::uint64_t{64} << 20;
constexpr std::uint64_t kRowBytesPerFileByte = 8192;

}  // namespace

SCodecRead ReadCodecPicture(CImage& image, CCodecInput& input, const SPictureCodec& codec) {
    SCodecRead result;
    const std::string name = FormatName(codec.format);
    auto fail = [&](CodecStatus status, std::string problem) {
        result.status = status;
        result.problem = std::move(problem);
        return result;
    };
    std::unique_ptr<CPictureReader> reader = codec.newReader(input);
    SPictureHeader header;
    if (!reader->ReadHeader(header)) return fail(reader->Status(), reader->Problem());

    const int bitCount = header.kind == PictureKind::Colour24 ? 24 : 8;
    if (header.width <= 0 || header.height <= 0 || header.width > 0x7FFFFFFF ||
        header.height > 0x7FFFFFFF)
        return fail(CodecStatus::Damaged, "damaged " + name + " file (invalid width or height)");
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(header.width) * bitCount + 31) / 32 * 4;
    const std::uint64_t rowBytes = stride * static_cast<std::uint64_t>(header.height);
    if (rowBytes + kBmpOverhead > kMaxFileSize)
        return fail(CodecStatus::Unsupported, name + " picture too large (" +
                                                  std::to_string(header.width) + " x " +
                                                  std::to_string(header.height) + ")");
    if (rowBytes > std::max(kRowsWithoutData, input.Length() * kRowBytesPerFileByte))
        return fail(CodecStatus::Damaged,
                    "damaged " + name + " file (claims a picture far larger than its data)");

    HBLOCK block = CImage::CreatePictureBlock(static_cast<int>(header.width),
                                              static_cast<int>(header.height), bitCount);
    if (!block) return fail(CodecStatus::Unsupported, "not enough memory for the picture");
    SPictureRows rows;
    rows.width = static_cast<int>(header.width);
    rows.height = static_cast<int>(header.height);
    rows.stride = stride;
    rows.table = bitCount == 8 ? block->Data() + CImage::kInfoHeaderSize : nullptr;
    rows.bits = block->Data() + CImage::kInfoHeaderSize + (bitCount == 8 ? 1024 : 0);
    // Row buffers of very wide pictures may be more than memory holds.
    try {
        if (!reader->ReadPixels(rows)) return fail(reader->Status(), reader->Problem());
    } catch (const std::bad_alloc&) {
        return fail(CodecStatus::Unsupported, "not enough memory for the picture");
    }

    image.SetHandle(std::move(block));
    result.notes = reader->Notes();
    result.losses = reader->Losses();
    return result;
}
