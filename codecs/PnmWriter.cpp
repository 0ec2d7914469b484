// PGM files (P5): grey pictures only, whose table is the grey ramp, so
// that the file's levels show what the picture shows.

#include <string>

#include "PictureReader.h"
#include "PictureSource.h"

CodecStatus WritePgm(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PGM", problem)) return CodecStatus::Unsupported;
    if (!source.IsGrey()) {
        problem = "PGM files hold grey levels only, and this picture shows colours";
        return CodecStatus::Unsupported;
    }
    const std::string header =
        "P5\n" + std::to_string(source.Width()) + " " + std::to_string(source.Height()) + "\n255\n";
    if (!out.Write(header.data(), header.size())) return CodecStatus::Damaged;
    for (int y = 0; y < source.Height(); ++y)
        if (!out.Write(source.Row(y), static_cast<std::size_t>(source.Width())))
            return CodecStatus::Damaged;
    return CodecStatus::Ok;
}
