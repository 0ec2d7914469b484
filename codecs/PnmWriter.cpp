// PGM files (P5): grey pictures only, whose table is the grey ramp, so
// that the file's levels show what the picture shows. PPM files (P6): any
// picture, as the red, green and blue it shows. PBM files (P4): grey
// pictures of levels 0 and 255 only (a threshold's result), one bit a pixel,
// 1 for black.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "PictureReader.h"
#include "PictureSource.h"
#include "SampleRows.h"

namespace {

// The header, then `row(y)` (`rowBytes` bytes) for every row, top row first.
// PBM headers have no maximum.
template <typename Row>
CodecStatus WriteNetpbm(CPictureSource& source, const char* type, std::size_t rowBytes,
                        CByteStream& out, Row row) {
    const std::string header = std::string(type) + "\n" + std::to_string(source.Width()) + " " +
                               std::to_string(source.Height()) +
                               (std::string_view(type) == "P4" ? "\n" : "\n255\n");
    if (!out.Write(header.data(), header.size())) return CodecStatus::Damaged;
    for (int y = 0; y < source.Height(); ++y)
        if (!out.Write(row(y), rowBytes)) return CodecStatus::Damaged;
    return CodecStatus::Ok;
}

}  // namespace

static bool PgmHolds(const CImage& image) {
    return image.GetBitCount() == 8 && image.HasGreyRamp();
}

// Orvex cannot tell a false-colour view of grey levels from colours that
// are the data, so both ways to grey are offered, with what each does.
SFormatRefusal PgmRefuses(const CImage& image) {
    if (PgmHolds(image)) return {};
    return {"PGM files hold grey levels only, and this picture shows colours",
            "ce format ne contient que des niveaux de gris, et cette image montre des couleurs.\n\n"
            "\"Palette > Niveaux de gris\" garde les niveaux de l'image et les montre en gris.\n"
            "\"Conversion en niveaux de gris\" fait des niveaux avec les couleurs affichées.\n\n"
            "Ou choisissez un autre format."};
}

CodecStatus WritePgm(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PGM", problem)) return CodecStatus::Unsupported;
    if (SFormatRefusal refusal = PgmRefuses(image); refusal.Refused()) {
        problem = std::move(refusal.english);
        return CodecStatus::Unsupported;
    }
    return WriteNetpbm(source, "P5", static_cast<std::size_t>(source.Width()), out,
                       [&](int y) { return source.Row(y); });
}

// A file's own unsigned samples, unscaled, with their own white as the
// maximum (4095 for a 12-bit picture; a PGM file's own maximum).
CodecStatus WritePgmSamples(const CFileSamples& samples, CByteStream& out, std::string& problem) {
    const std::string header = "P5\n" + std::to_string(samples.Width()) + " " +
                               std::to_string(samples.Height()) + "\n" +
                               std::to_string(samples.White()) + "\n";
    std::vector<std::uint8_t> row(2 * static_cast<std::size_t>(samples.Width()));
    bool written = out.Write(header.data(), header.size());
    for (int y = 0; written && y < samples.Height(); ++y) {
        const std::uint16_t* in = samples.Row16(y);
        for (int x = 0; x < samples.Width(); ++x) {
            row[2 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(in[x] >> 8);
            row[2 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(in[x]);
        }
        written = out.Write(row.data(), row.size());
    }
    if (!written) problem = "PGM file not written (the data could not be written)";
    return written ? CodecStatus::Ok : CodecStatus::Damaged;
}

static bool PbmHolds(const CImage& image) {
    if (!PgmHolds(image)) return false;
    const CStoredRows rows = image.GetStoredRows();
    if (rows.bits == nullptr) return false;
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* row = rows.Row(y);
        for (int x = 0; x < rows.width; ++x)
            if (row[x] != 0 && row[x] != 255) return false;
    }
    return true;
}

SFormatRefusal PbmRefuses(const CImage& image) {
    if (PbmHolds(image)) return {};
    return {PgmHolds(image) ? "PBM files hold black and white only (levels 0 and 255), and this "
                              "picture has other levels"
                            : "PBM files hold black and white only, and this picture shows colours",
            std::string("ce format ne contient que du noir et du blanc (niveaux 0 et 255 montrés "
                        "en gris), et cette image ") +
                (image.HasGreyRamp() ? "a d'autres niveaux" : "montre des couleurs") +
                ".\n\nUn seuillage ne laisse que ces deux niveaux ; \"Palette > Niveaux de gris\" "
                "les montre en noir et blanc.\n\nOu choisissez un autre format."};
}

CodecStatus WritePbm(CImage& image, CByteStream& out, std::string& problem) {
    CPictureSource source;
    if (!source.Open(image, "PBM", problem)) return CodecStatus::Unsupported;
    if (SFormatRefusal refusal = PbmRefuses(image); refusal.Refused()) {
        problem = std::move(refusal.english);
        return CodecStatus::Unsupported;
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(source.Width()) + 7) / 8;
    std::vector<std::uint8_t> bits(rowBytes);
    return WriteNetpbm(source, "P4", rowBytes, out, [&](int y) {
        const std::uint8_t* levels = source.Row(y);
        std::fill(bits.begin(), bits.end(), 0);
        for (int x = 0; x < source.Width(); ++x)
            if (levels[x] == 0) bits[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        return bits.data();
    });
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
