#pragma once
// What every picture reader promises for any bytes at all, checked the same
// way by the fuzz targets and by the replay of fuzz/regressions/<format> in
// `make test`: a refused file is refused with a reason and leaves the
// picture as it was; an accepted one has every row readable, is written as
// PNG without complaint, and that file reads again. (Reads and writes
// outside the block are caught by the sanitizers both run under.)

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PictureCodec.h"

// Empty when the promise holds, otherwise what broke it.
inline std::string ProbePictureReader(PictureFormat format, const std::uint8_t* data,
                                      std::size_t size) {
    CCodecInput input(std::vector<std::uint8_t>(data, data + size));
    CImage image;
    const SCodecRead read = ReadCodecPicture(image, input, CodecOf(format));
    if (read.status != CodecStatus::Ok) {
        if (image.IsValid()) return "a refused file changed the picture";
        return read.problem.empty() ? "a file was refused without a reason" : "";
    }
    const CStoredRows rows = image.GetStoredRows();
    if (rows.bits == nullptr) return "an accepted picture has no rows";
    volatile std::uint32_t sum = 0;
    for (int y = 0; y < rows.height; ++y)
        for (std::uint64_t i = 0; i < rows.stride; ++i) sum = sum + rows.Row(y)[i];
    CMemoryStream out;
    std::string problem;
    if (CodecOf(PictureFormat::Png).write(image, out, problem) != CodecStatus::Ok)
        return "an accepted picture could not be written: " + problem;
    CCodecInput back(out.Bytes());
    CImage again;
    if (ReadCodecPicture(again, back, CodecOf(PictureFormat::Png)).status != CodecStatus::Ok)
        return "a written picture could not be read again";
    return {};
}

// The formats with a reader of their own, by the folder name of their
// regression inputs.
inline const std::vector<std::pair<std::string, PictureFormat>>& FuzzedFormats() {
    static const std::vector<std::pair<std::string, PictureFormat>> formats = {
        {"png", PictureFormat::Png},
        {"tiff", PictureFormat::Tiff},
        {"jpeg", PictureFormat::Jpeg},
        {"pnm", PictureFormat::Pnm}};
    return formats;
}
