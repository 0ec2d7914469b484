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

// A format: its row in the list. Only BMP has a name here: it is the
// engine's own format, whose reader and writer speak for themselves
// (ReadFileBMP, SaveFileBMP), and the default of a new picture. Every other
// format is reached through the list, by what its row says of it (the
// format that keeps any picture, the one a name or a file's first bytes
// tell) or, where a test must name one, by its name (FormatNamed).
enum class PictureFormat : int { Bmp };

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
// Why it does not, in English (orvex-cli) or in French (the desktop); empty
// when it does, and in French where the desktop says only that it could not.
std::string FormatRefusal(PictureFormat format, const CImage& image, bool french);
// The format a result is kept in when no one names one: `own` (the format
// its file was read or last written in) when Orvex writes it, otherwise the
// format that keeps any picture as it is (PNG). Given the picture, the
// format of the pair that suits it (PGM for grey levels, PPM for colours),
// and the one that keeps any picture when `own` cannot hold it. Without it
// (orvex-cli names a batch's results before making them), a PPM's result
// goes to PNG, since a grey one would silently become PPM colours.
PictureFormat KeptFormat(std::optional<PictureFormat> own, const CImage* picture = nullptr);
// The format of this name ("PNG", as FormatName gives it), if any.
std::optional<PictureFormat> FormatNamed(std::string_view name);
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

// The formats that hold several pages (TIFF, GIF), in the list's order: by
// their names, and by the extension each one's written files get, after `dot`.
std::vector<std::string> PagesFormatNames();
std::vector<std::string> PagesExtensions(const std::string& dot = ".");

// The names of the formats written, in the list's order.
std::vector<std::string> WrittenFormatNames();
// The names of the formats read, in the list's order; formats that one
// reader reads are named together ("PGM/PPM").
std::vector<std::string> ReadFormatNames();
// Words of a sentence: "a, b or c" with `last` " or ".
std::string JoinWords(const std::vector<std::string>& words, const std::string& last);
