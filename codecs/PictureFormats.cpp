// The list of formats, one row each, and every fact the rest of Orvex draws
// from it. Adding a format is its reader and writer files and one row here.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "PictureReader.h"

// The entry points of each format's reader and writer files.
bool MatchesBmp(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewBmpReader(CCodecInput& input);
CodecStatus WriteBmp(CImage& image, CByteStream& out, std::string& problem);
bool MatchesPng(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewPngReader(CCodecInput& input);
CodecStatus WritePng(CImage& image, CByteStream& out, std::string& problem);
CodecStatus WritePngSamples(const CFileSamples& samples, CByteStream& out, std::string& problem);
bool MatchesTiff(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewTiffReader(CCodecInput& input);
CodecStatus WriteTiff(CImage& image, CByteStream& out, std::string& problem);
CodecStatus WriteTiffSamples(const CFileSamples& samples, CByteStream& out, std::string& problem);
CodecStatus WriteTiffPages(std::span<const SPicturePage> pages, CByteStream& out,
                           std::string& problem);
bool MatchesJpeg(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewJpegReader(CCodecInput& input);
bool MatchesPgm(const std::uint8_t* head, std::size_t size);
bool MatchesPpm(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewPnmReader(CCodecInput& input);
CodecStatus WritePgm(CImage& image, CByteStream& out, std::string& problem);
CodecStatus WritePgmSamples(const CFileSamples& samples, CByteStream& out, std::string& problem);
SFormatRefusal PgmRefuses(const CImage& image);
CodecStatus WritePpm(CImage& image, CByteStream& out, std::string& problem);
bool MatchesPbm(const std::uint8_t* head, std::size_t size);
CodecStatus WritePbm(CImage& image, CByteStream& out, std::string& problem);
SFormatRefusal PbmRefuses(const CImage& image);
bool MatchesGif(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewGifReader(CCodecInput& input);
CodecStatus WriteGif(CImage& image, CByteStream& out, std::string& problem);
CodecStatus WriteGifPages(std::span<const SPicturePage> pages, CByteStream& out,
                          std::string& problem);
SFormatRefusal GifRefuses(const CImage& image);

namespace {

// BMP first (PictureFormat::Bmp), then the others.
// clang-format off
constexpr SPictureFormatRow kRows[] = {
    // name, extensions, opened only, MIME types, dialog filter,
    // signature, reader, writer, writer of several pages, what a read always
    // loses, which pictures it refuses, its pair for the other kind of
    // picture, keeps any picture, writer of a file's own samples, which
    // also takes floats
    {"BMP", "bmp", "", "image/bmp image/x-bmp image/x-ms-bmp", "Bitmap files",
     MatchesBmp, NewBmpReader, WriteBmp, nullptr, {}},
    {"PNG", "png", "", "image/png", "Fichiers PNG",
     MatchesPng, NewPngReader, WritePng, nullptr, {}, nullptr, nullptr, true, WritePngSamples},
    {"TIFF", "tif tiff", "", "image/tiff", "Fichiers TIFF",
     MatchesTiff, NewTiffReader, WriteTiff, WriteTiffPages, {}, nullptr, nullptr, false,
     WriteTiffSamples, true},
    {"JPEG", "jpg jpeg", "", "image/jpeg", "Fichiers JPEG",
     MatchesJpeg, NewJpegReader, nullptr, nullptr, {.lossy = true}},
    {"PGM", "pgm", "", "image/x-portable-graymap", "Fichiers PGM",
     MatchesPgm, NewPnmReader, WritePgm, nullptr, {}, PgmRefuses, "PPM", false,
     WritePgmSamples},
    {"PPM", "ppm", "pnm", "image/x-portable-pixmap image/x-portable-anymap", "Fichiers PPM",
     MatchesPpm, NewPnmReader, WritePpm, nullptr, {}, nullptr, "PGM"},
    {"PBM", "pbm", "", "image/x-portable-bitmap", "Fichiers PBM",
     MatchesPbm, NewPnmReader, WritePbm, nullptr, {}, PbmRefuses},
    {"GIF", "gif", "", "image/gif", "Fichiers GIF",
     MatchesGif, NewGifReader, WriteGif, WriteGifPages, {}, GifRefuses},
};
// clang-format on

constexpr int kRowCount = static_cast<int>(std::size(kRows));

static_assert(std::string_view(kRows[static_cast<int>(PictureFormat::Bmp)].name) == "BMP",
              "the engine's own format is the row of its name");

constexpr int KeepsAnyRow() {
    for (int i = 0; i < kRowCount; ++i)
        if (kRows[i].keepsAny) return i;
    return -1;
}
static_assert(KeepsAnyRow() >= 0, "one format keeps any picture");

std::vector<std::string> Words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

const SPictureFormatRow& FormatRow(PictureFormat format) {
    const int index = static_cast<int>(format);
    return kRows[index >= 0 && index < kRowCount ? index : 0];
}

const std::vector<PictureFormat>& PictureFormats() {
    static const std::vector<PictureFormat> formats = [] {
        std::vector<PictureFormat> all;
        for (int i = 0; i < kRowCount; ++i) all.push_back(static_cast<PictureFormat>(i));
        return all;
    }();
    return formats;
}

std::vector<PictureFormat> WritablePictureFormats() {
    std::vector<PictureFormat> writable;
    for (PictureFormat format : PictureFormats())
        if (IsWritableFormat(format)) writable.push_back(format);
    return writable;
}

std::optional<PictureFormat> DetectPictureFormat(const std::uint8_t* head, std::size_t size) {
    for (PictureFormat format : PictureFormats())
        if (FormatRow(format).matches(head, size)) return format;
    return std::nullopt;
}

std::optional<PictureFormat> DetectPictureFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::uint8_t head[kSignatureBytes];
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return DetectPictureFormat(head, size);
}

std::optional<PictureFormat> WritableFormatFromName(std::string_view name) {
    const std::string lower = Lower(name);
    for (PictureFormat format : WritablePictureFormats())
        for (const std::string& extension : FormatExtensions(format))
            if (extension == lower) return format;
    return std::nullopt;
}

std::optional<PictureFormat> WritableFormatFromPath(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2) return std::nullopt;
    return WritableFormatFromName(std::string_view(extension).substr(1));
}

bool IsWritableFormat(PictureFormat format) { return FormatRow(format).write != nullptr; }

bool FormatHoldsPages(PictureFormat format) { return FormatRow(format).writePages != nullptr; }

bool FormatHolds(PictureFormat format, const CImage& image) {
    const SPictureFormatRow& row = FormatRow(format);
    return row.write != nullptr && (row.refuses == nullptr || !row.refuses(image).Refused());
}

std::string FormatRefusal(PictureFormat format, const CImage& image, bool french) {
    const SPictureFormatRow& row = FormatRow(format);
    if (row.refuses == nullptr) return {};
    SFormatRefusal refusal = row.refuses(image);
    return french ? refusal.french : refusal.english;
}

std::optional<PictureFormat> FormatNamed(std::string_view name) {
    for (PictureFormat format : PictureFormats())
        if (name == FormatName(format)) return format;
    return std::nullopt;
}

PictureFormat KeptFormat(std::optional<PictureFormat> own, const CImage* picture) {
    const auto keepsAny = static_cast<PictureFormat>(KeepsAnyRow());
    if (!own || !IsWritableFormat(*own)) return keepsAny;
    if (picture == nullptr) {
        // A result not made yet may suit the other of a pair: a format that
        // would take it silently all the same (a grey result written as PPM
        // colours) gives way to the one that keeps any picture; one that
        // refuses, with its reason, what it cannot hold (PGM) stays.
        const SPictureFormatRow& row = FormatRow(*own);
        return row.pairedWith != nullptr && row.refuses == nullptr ? keepsAny : *own;
    }
    if (const char* paired = FormatRow(*own).pairedWith) {
        // Of the two, the one for the picture's kind (the one that refuses
        // other pictures) when it takes it, otherwise the other.
        const PictureFormat pair = FormatNamed(paired).value_or(*own);
        const bool ownIsNarrow = FormatRow(*own).refuses != nullptr;
        const PictureFormat narrow = ownIsNarrow ? *own : pair, wide = ownIsNarrow ? pair : *own;
        return FormatHolds(narrow, *picture) ? narrow : wide;
    }
    return FormatHolds(*own, *picture) ? *own : keepsAny;
}

const char* FormatName(PictureFormat format) { return FormatRow(format).name; }

const char* FormatExtension(PictureFormat format) {
    static const std::vector<std::string> dotted = [] {
        std::vector<std::string> all;
        for (PictureFormat f : PictureFormats()) all.push_back("." + FormatExtensions(f).at(0));
        return all;
    }();
    return dotted[static_cast<std::size_t>(&FormatRow(format) - kRows)].c_str();
}

std::vector<std::string> FormatExtensions(PictureFormat format, bool opened) {
    std::vector<std::string> extensions = Words(FormatRow(format).extensions);
    if (opened)
        for (const std::string& other : Words(FormatRow(format).openedOnly))
            extensions.push_back(other);
    return extensions;
}

std::string FormatFilter(PictureFormat format, bool opened) {
    std::string patterns;
    for (const std::string& extension : FormatExtensions(format, opened))
        patterns += (patterns.empty() ? "*." : " *.") + extension;
    return std::string(FormatRow(format).filterTitle) + " (" + patterns + ")";
}

std::vector<std::string> FormatMimeTypes(PictureFormat format) {
    return Words(FormatRow(format).mimeTypes);
}

std::vector<std::string> WritableExtensions(const std::string& dot) {
    std::vector<std::string> words;
    for (PictureFormat format : WritablePictureFormats())
        for (const std::string& extension : FormatExtensions(format))
            words.push_back(dot + extension);
    return words;
}

std::vector<std::string> PagesFormatNames() {
    std::vector<std::string> names;
    for (PictureFormat format : WritablePictureFormats())
        if (FormatHoldsPages(format)) names.push_back(FormatName(format));
    return names;
}

std::vector<std::string> PagesExtensions(const std::string& dot) {
    std::vector<std::string> words;
    for (PictureFormat format : WritablePictureFormats())
        if (FormatHoldsPages(format)) words.push_back(dot + FormatExtensions(format).front());
    return words;
}

std::vector<std::string> WrittenFormatNames() {
    std::vector<std::string> names;
    for (PictureFormat format : WritablePictureFormats()) names.push_back(FormatName(format));
    return names;
}

std::vector<std::string> ReadFormatNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kRowCount; ++i) {
        if (i > 0 && kRows[i].newReader == kRows[i - 1].newReader)
            names.back() += std::string("/") + kRows[i].name;
        else
            names.push_back(kRows[i].name);
    }
    return names;
}

std::string JoinWords(const std::vector<std::string>& words, const std::string& last) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : (i + 1 == words.size() ? last : ", ")) + words[i];
    return text;
}
