#pragma once
// JASC palette files (".PAL"), the one palette file format of the program:
// the lines "JASC-PAL", "0100", "256", then 256 lines "red green blue" in
// decimal, entry 0 first, every line ended by CR LF.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct CPaletteColors {
    std::array<std::uint8_t, 256> red{}, green{}, blue{};
    friend bool operator==(const CPaletteColors&, const CPaletteColors&) = default;
};

// The whole text of a palette file.
std::string FormatPaletteFile(const CPaletteColors& colors);

// Reads a palette file's text. The header is matched as text and reading
// goes on from the first character that differs, so the count is not used:
// exactly 256 entries are always read, each value keeping its low 8 bits
// (256 reads as 0, -1 as 255). Nothing when the text ends before 768 numbers
// or holds something else where a number is expected.
std::optional<CPaletteColors> ParsePaletteFile(std::string_view text);

// Writes `colors` to `path` complete or not at all, as pictures are saved;
// "Ecriture de fichier impossible" and false, the old file intact, when the
// file cannot be created or written.
bool WritePaletteFile(const std::string& path, const CPaletteColors& colors);

// Reads `path` into `colors`; "Lecture de fichier impossible" and false, with
// `colors` unchanged, when the file cannot be read or is not a palette file.
bool ReadPaletteFile(const std::string& path, CPaletteColors& colors);
