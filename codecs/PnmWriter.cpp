// PGM files (P5): grey pictures only, whose table is the grey ramp, so
// that the file's levels show what the picture shows. PPM files (P6): any
// picture, as the red, green and blue it shows.

#include <string>
#include <vector>

#include "PictureReader.h"
#include "PictureSource.h"
#include "SampleRows.h"

namespace {

// The header, then `row(y)` (`rowBytes` bytes) for every row, top row first.
template <typename Row>
CodecStatus WriteNetpbm(CPictureSource& source, const char* type, std::size_t rowBytes,
                        CByteStream& out, Row row) {
    const std::string header = std::string(type) + "\n" + std::to_string(source.Width()) + " " +
                               std::to_string(source.Height()) + "\n255\n";
    if (!out.Write(header.data(), header.size())) return CodecStatus::Damaged;
    for (int y = 0; y < source.Height(); ++y)
        if (!out.Write(row(y), rowBytes)) return CodecStatus::Damaged;
    return CodecStatus::Ok;
}

}  // namespace

bool PgmHolds(const CImage& image) { return image.GetBitCount() == 8 && image.HasGreyRamp(); }

CodecStatus WritePgm(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PGM", problem)) return CodecStatus::Unsupported;
    if (!PgmHolds(image)) {
        problem = "PGM files hold grey levels only, and this picture shows colours";
        return CodecStatus::Unsupported;
    }
    return WriteNetpbm(source, "P5", static_cast<std::size_t>(source.Width()), out,
                       [&](int y) { return source.Row(y); });
}

CodecStatus WritePpm(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PPM", problem)) return CodecStatus::Unsupported;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(source.Width());
    if (source.BitCount() == 24)
        return WriteNetpbm(source, "P6", rowBytes, out, [&](int y) { return source.Row(y); });
    // Table pictures: each index through its entry.
    std::vector<std::uint8_t> rgb(rowBytes);
    const CPaletteTable& palette = source.Palette();
    return WriteNetpbm(source, "P6", rowBytes, out, [&](int y) {
        const std::uint8_t* indices = source.Row(y);
        for (int x = 0; x < source.Width(); ++x) {
            const CPaletteTable::Entry& e =
                palette.entries[samples::PackedAt(indices, source.BitCount(), x)];
            std::uint8_t* p = rgb.data() + 3 * static_cast<std::size_t>(x);
            p[0] = e.red, p[1] = e.green, p[2] = e.blue;
        }
        return rgb.data();
    });
}
