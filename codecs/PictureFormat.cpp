#include "PictureFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "PictureCodec.h"

std::optional<PictureFormat> DetectPictureFormat(const std::uint8_t* head, std::size_t size) {
    for (const SPictureCodec& codec : PictureCodecs())
        if (codec.matches(head, size)) return codec.format;
    return std::nullopt;
}

std::optional<PictureFormat> WritableFormatFromName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "bmp") return PictureFormat::Bmp;
    if (lower == "png") return PictureFormat::Png;
    if (lower == "tif" || lower == "tiff") return PictureFormat::Tiff;
    if (lower == "pgm") return PictureFormat::Pnm;
    if (lower == "ppm") return PictureFormat::Ppm;
    return std::nullopt;
}

std::optional<PictureFormat> WritableFormatFromPath(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2) return std::nullopt;
    return WritableFormatFromName(std::string_view(extension).substr(1));
}

bool IsWritableFormat(PictureFormat format) { return format != PictureFormat::Jpeg; }

const char* FormatExtension(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp:
            return ".bmp";
        case PictureFormat::Png:
            return ".png";
        case PictureFormat::Tiff:
            return ".tif";
        case PictureFormat::Jpeg:
            return ".jpg";
        case PictureFormat::Pnm:
            return ".pgm";
        case PictureFormat::Ppm:
            return ".ppm";
    }
    return "";
}

const char* FormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp:
            return "BMP";
        case PictureFormat::Png:
            return "PNG";
        case PictureFormat::Tiff:
            return "TIFF";
        case PictureFormat::Jpeg:
            return "JPEG";
        case PictureFormat::Pnm:
            return "PGM";
        case PictureFormat::Ppm:
            return "PPM";
    }
    return "";
}
