#pragma once
// The picture file formats Orvex knows. A file's format is told by its first
// bytes, never by its name; a name's extension only chooses what is written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Pnm: grey PGM files (P2, P5); Ppm: colour PPM files (P3, P6).
enum class PictureFormat { Bmp, Png, Tiff, Jpeg, Pnm, Ppm };

// The format whose signature starts `head` (at least the first 8 bytes of a
// file, fewer when the file is shorter); nothing when no format matches.
std::optional<PictureFormat> DetectPictureFormat(const std::uint8_t* head, std::size_t size);

// The format a file name asks to be written in, from its extension, in any
// case: .bmp, .png, .tif/.tiff, .pgm, .ppm. Nothing for any other name (JPEG is
// read, never written: it would lose the levels).
std::optional<PictureFormat> WritableFormatFromPath(const std::string& path);
// The same from a bare word such as a --format value ("png", "tiff", ...).
std::optional<PictureFormat> WritableFormatFromName(std::string_view name);

// Whether Orvex writes this format (all but JPEG).
bool IsWritableFormat(PictureFormat format);
// The extension a written file of this format gets: ".bmp", ".png", ".tif", ".pgm",
// ".ppm".
// JPEG has ".jpg", for naming only.
const char* FormatExtension(PictureFormat format);
// A short name for messages: "BMP", "PNG", "TIFF", "JPEG", "PGM", "PPM".
const char* FormatName(PictureFormat format);
