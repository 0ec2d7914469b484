// The sequence every read follows: header, size checks, one block, pixels,
// and the window of samples deeper than 8 bits. Writes go through the row.

#include <algorithm>
#include <new>

#include "PictureLimits.h"
#include "PictureReader.h"

namespace {

// The picture written as a BMP: file header, engine header and table.
constexpr std::uint64_t kBmpOverhead = 14 + CImage::kEngineHeaderBytes + 16;

// Header, checks, block, pixels; the deep samples seen, then levelled.
bool ReadThroughReader(CPictureReader& reader, CImage& image, const std::string& name,
                       std::uint64_t fileBytes, SCodecRead& result) {
    auto fail = [&](CodecStatus status, std::string problem) {
        result.status = status;
        result.problem = std::move(problem);
        return false;
    };
    SPictureHeader header;
    if (!reader.ReadHeader(header)) return fail(reader.Status(), reader.Problem());

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
    if (!limits::RowsFitData(rowBytes, fileBytes))
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
    std::unique_ptr<samples::CGreyWindow> window;
    if (header.Windowed()) {
        window = std::make_unique<samples::CGreyWindow>(header.sampleKind, header.sampleBits,
                                                        header.white);
        rows.window = window.get();
        if (!reader.ReadPixels(rows)) return fail(reader.Status(), reader.Problem());
        window->Fix();
    }
    if (!reader.ReadPixels(rows)) return fail(reader.Status(), reader.Problem());

    image.SetHandle(std::move(block));
    if (window) {
        result.windowed = true;
        result.losses.sampleBits = header.sampleBits;
        result.losses.sampleKind = header.sampleKind;
        result.losses.windowLow = window->Low();
        result.losses.windowHigh = window->High();
    }
    return true;
}

}  // namespace

SCodecRead ReadFormatPicture(CImage& image, CCodecInput& input, PictureFormat format) {
    const SPictureFormatRow& row = FormatRow(format);
    SCodecRead result;
    std::unique_ptr<CPictureReader> reader = row.newReader(input);
    // Row buffers of very wide pictures may be more than memory holds.
    try {
        const bool read = reader->ReadsWhole()
                              ? reader->ReadWhole(image)
                              : ReadThroughReader(*reader, image, row.name, input.Length(), result);
        if (!read && result.status == CodecStatus::Ok) {
            result.status =
                reader->Status() == CodecStatus::Ok ? CodecStatus::Damaged : reader->Status();
            result.problem = reader->Problem();
        }
    } catch (const std::bad_alloc&) {
        result.status = CodecStatus::Unsupported;
        result.problem = "not enough memory for the picture";
    }
    if (result.status == CodecStatus::Ok) {
        // What the reader found, what the format always loses, the window.
        const SPictureLosses window = result.losses;
        result.losses = reader->Losses();
        result.losses.alpha = result.losses.alpha || row.lost.alpha;
        result.losses.lossy = result.losses.lossy || row.lost.lossy;
        result.losses.pages = std::max(result.losses.pages, row.lost.pages);
        if (result.windowed) {
            result.losses.sampleBits = window.sampleBits;
            result.losses.sampleKind = window.sampleKind;
            result.losses.windowLow = window.windowLow;
            result.losses.windowHigh = window.windowHigh;
        }
    }
    return result;
}

CodecStatus WriteFormatPicture(CImage& image, CByteStream& out, PictureFormat format,
                               std::string& problem) {
    const SPictureFormatRow& row = FormatRow(format);
    if (row.write == nullptr) {
        problem = std::string(row.name) + " files are read, never written";
        return CodecStatus::Unsupported;
    }
    try {
        return row.write(image, out, problem);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory to write the picture";
        return CodecStatus::Unsupported;
    }
}
