// The sequence every reader follows: header, size checks, one block, pixels.

#include <algorithm>
#include <new>

#include "PictureCodec.h"
#include "PictureLimits.h"

namespace {

// The picture written as a BMP: file header, engine header and table.
constexpr std::uint64_t kBmpOverhead = 14 + CImage::kEngineHeaderBytes + 16;

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
    if (header.width <= 0 || header.height <= 0 || header.width > limits::kMaxSide ||
        header.height > limits::kMaxSide)
        return fail(CodecStatus::Damaged, "damaged " + name + " file (invalid width or height)");
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(header.width) * bitCount + 31) / 32 * 4;
    const std::uint64_t rowBytes = stride * static_cast<std::uint64_t>(header.height);
    if (rowBytes + kBmpOverhead > limits::kMaxFileBytes)
        return fail(CodecStatus::Unsupported, name + " picture too large (" +
                                                  std::to_string(header.width) + " x " +
                                                  std::to_string(header.height) + ")");
    if (!limits::RowsFitData(rowBytes, input.Length()))
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
