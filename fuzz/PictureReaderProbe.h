#pragma once
// What every picture reader promises for any bytes at all, checked the same
// way by the fuzz target and by the replay of fuzz/regressions/ in `make
// test`: bytes of no format are left alone; a refused file is refused with a
// reason (the BMP reader gives its own through the engine's message sink)
// and leaves the picture as it was; an accepted one has every row readable,
// is written in the format it is kept in (its own, PNG when that is never
// written) without complaint, and that file reads again. (Reads and writes outside the block
// are caught by the sanitizers both run under.)

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Message.h"
#include "PictureCodec.h"

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
    const CStoredRows rows = image.GetStoredRows();
    if (rows.bits == nullptr) return "an accepted picture has no rows";
    volatile std::uint32_t sum = 0;
    for (int y = 0; y < rows.height; ++y)
        for (std::uint64_t i = 0; i < rows.stride; ++i) sum = sum + rows.Row(y)[i];
    const PictureFormat written = KeptFormat(*format);
    CMemoryStream out;
    std::string problem;
    if (WriteFormatPicture(image, out, written, problem) != CodecStatus::Ok)
        return "an accepted picture could not be written: " + problem + told;
    CCodecInput back(out.Bytes());
    CImage again;
    if (ReadFormatPicture(again, back, written).status != CodecStatus::Ok)
        return "a written picture could not be read again";
    return {};
}
