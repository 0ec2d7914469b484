#pragma once
// The picture file formats Orvex knows. Each is one row of the list in
// PictureFormats.cpp, which holds every fact about it (name, extensions,
// MIME types, dialog filter, signature, reader, writer); whatever else names
// formats (the dialogs' filters and messages, orvex-cli's checks and help,
// the completion, the menu entry's types, the fuzzing) is made from the
// list. A file's format is told by its first bytes, never by its name; a
// name's extension only chooses what is written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CImage;

// A format: its row in the list. The formats some code must name have a name
// here (BMP, the engine's own and the default; PNG, which keeps any picture
// as it is; ...); any other format is a row all the same, reached through
// the list.
// Pnm: grey PGM files (P2, P5); Ppm: colour PPM files (P3, P6); Pbm:
// black-and-white PBM files (P1, P4).
enum class PictureFormat : int { Bmp, Png, Tiff, Jpeg, Pnm, Ppm, Pbm };

// Every format, in the list's order.
const std::vector<PictureFormat>& PictureFormats();
// Those Orvex writes, in the same order.
std::vector<PictureFormat> WritablePictureFormats();

// How many first bytes of a file tell its format.
constexpr std::size_t kSignatureBytes = 8;
// The format whose signature starts `head` (the first kSignatureBytes of a
// file, fewer when the file is shorter); nothing when no format matches.
std::optional<PictureFormat> DetectPictureFormat(const std::uint8_t* head, std::size_t size);
// The same for the file at `path`; nothing when it cannot be read either.
std::optional<PictureFormat> DetectPictureFile(const std::string& path);

// The format a file name asks to be written in, from its extension, in any
// case (.bmp, .png, .tif, .tiff, ...). Nothing for any other name.
std::optional<PictureFormat> WritableFormatFromPath(const std::string& path);
// The same from a bare word such as a --format value ("png", "tiff", ...).
std::optional<PictureFormat> WritableFormatFromName(std::string_view name);

// Whether Orvex writes this format (JPEG is read, never written: it would
// lose the levels).
bool IsWritableFormat(PictureFormat format);
// Whether this format's writer takes `image` (a PGM holds grey levels only,
// a PBM levels 0 and 255 only, a GIF 256 colours at most); what
// "Enregistrer sous..." offers.
bool FormatHolds(PictureFormat format, const CImage& image);
// Whether a file of this format holds several pages (TIFF, GIF).
bool FormatHoldsPages(PictureFormat format);
// A short name for messages: "BMP", "PNG", "TIFF", ...
const char* FormatName(PictureFormat format);
// The extension a written file of this format gets: ".bmp", ".tif", ...
const char* FormatExtension(PictureFormat format);
// Every extension a name of this format may have, without the dot ("tif",
// "tiff"); with `opened`, also those only opened (a PPM file's "pnm").
std::vector<std::string> FormatExtensions(PictureFormat format, bool opened = false);
// The dialogs' filter: "Fichiers TIFF (*.tif *.tiff)"; with `opened`, the
// extensions opened too.
std::string FormatFilter(PictureFormat format, bool opened = false);
// Its MIME types: "image/tiff".
std::vector<std::string> FormatMimeTypes(PictureFormat format);
// The extensions of every format written, in the list's order, each after
// `dot` ("" for the words --format takes, "." for file names).
std::vector<std::string> WritableExtensions(const std::string& dot = "");

// The names of the formats written, in the list's order.
std::vector<std::string> WrittenFormatNames();
// The names of the formats read, in the list's order; formats that one
// reader reads are named together ("PGM/PPM").
std::vector<std::string> ReadFormatNames();
// Words of a sentence: "a, b or c" with `last` " or ".
std::string JoinWords(const std::vector<std::string>& words, const std::string& last);
