#pragma once
// What every picture reader promises for any bytes at all, checked the same
// way by the fuzz target and by the replay of fuzz/regressions/ in `make
// test`: bytes of no format are left alone; a refused file is refused with a
// reason (the BMP reader gives its own through the engine's message sink)
// and leaves the picture as it was; an accepted one has every row inside its block,
// is written in its own format (PNG when that is never written) without
// complaint, and that file reads again. Every page of a stack is read too,
// each of the first page's size, and a stack written whole reads again
// with as many pages. (Reads and writes outside the block
// are caught by the sanitizers both run under.)

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Message.h"
#include "PictureCodec.h"

// Whether every row of `image` lies inside its block: counted, not read
// byte by byte, which made each large picture cost a long while.
inline bool RowsInsideBlock(const CImage& image) {
    const CStoredRows rows = image.GetStoredRows();
    const CMemBlock* block = image.GetHandle();
    return rows.bits != nullptr && block != nullptr && rows.bits >= block->Data() &&
           static_cast<std::uint64_t>(rows.bits - block->Data()) + rows.stride * rows.height <=
               block->Size();
}

// Every page: refused with a reason, or pages of one size whose rows read,
// written whole when the format holds pages, and read again.
inline std::string ProbeEveryPage(const std::uint8_t* data, std::size_t size,
                                  PictureFormat format) {
    CCodecInput input(std::vector<std::uint8_t>(data, data + size));
    std::vector<SPicturePage> pages;
    const SCodecRead read = ReadFormatPages(pages, input, format, {1, 0});
    if (read.status != CodecStatus::Ok) return pages.empty() ? "" : "a refused stack kept pages";
    for (const SPicturePage& page : pages) {
        if (!RowsInsideBlock(*page.image)) return "an accepted page's rows lie outside its block";
        if (page.image->GetSize() != pages.front().image->GetSize())
            return "a stack's pages differ in size";
    }
    if (pages.size() < 2 || !FormatHoldsPages(format)) return {};
    CMemoryStream out;
    std::string problem;
    if (WriteFormatPages(pages, out, format, problem) != CodecStatus::Ok)
        return "an accepted stack could not be written: " + problem;
    CCodecInput back(out.Bytes());
    std::vector<SPicturePage> again;
    if (ReadFormatPages(again, back, format, {1, 0}).status != CodecStatus::Ok ||
        again.size() != pages.size())
        return "a written stack could not be read again whole";
    return {};
}

// Empty when the promise holds, otherwise what broke it.
inline std::string ProbePictureReader(const std::uint8_t* data, std::size_t size) {
    const auto format = DetectPictureFormat(data, size);
    if (!format) return {};
    std::string told;
    CScopedMessageSink sink([&](const std::string& text) { told += text; });
    CCodecInput input(std::vector<std::uint8_t>(data, data + size));
    CImage image;
    const SCodecRead read = ReadFormatPicture(image, input, *format);
    if (read.status != CodecStatus::Ok) {
        if (image.IsValid()) return "a refused file changed the picture";
        return read.problem.empty() && told.empty() ? "a file was refused without a reason" : "";
    }
    if (!RowsInsideBlock(image)) return "an accepted picture's rows lie outside its block";
    const PictureFormat written = IsWritableFormat(*format) ? *format : PictureFormat::Png;
    CMemoryStream out;
    std::string problem;
    if (WriteFormatPicture(image, out, written, problem) != CodecStatus::Ok)
        return "an accepted picture could not be written: " + problem + told;
    CCodecInput back(out.Bytes());
    CImage again;
    if (ReadFormatPicture(again, back, written).status != CodecStatus::Ok)
        return "a written picture could not be read again";
    return ProbeEveryPage(data, size, *format);
}
