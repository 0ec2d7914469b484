#include <cstring>

#include "Codecs.h"

namespace {

bool StartsWith(const std::uint8_t* head, std::size_t size, const char* magic, std::size_t length) {
    return size >= length && std::memcmp(head, magic, length) == 0;
}

// "P" and one of `types`, followed by white space.
bool MatchesNetpbm(const std::uint8_t* head, std::size_t size, const char* types) {
    return size >= 3 && head[0] == 'P' && head[1] != 0 && std::strchr(types, head[1]) != nullptr &&
           std::strchr(" \t\r\n\v\f", head[2]) != nullptr && head[2] != 0;
}

constexpr SPictureCodec kCodecs[] = {
    {PictureFormat::Bmp, MatchesBmp, nullptr, nullptr},
    {PictureFormat::Png, MatchesPng, NewPngReader, WritePng},
    {PictureFormat::Tiff, MatchesTiff, NewTiffReader, WriteTiff},
    {PictureFormat::Jpeg, MatchesJpeg, NewJpegReader, nullptr},
    {PictureFormat::Pnm, MatchesPnm, NewPnmReader, WritePgm},
    {PictureFormat::Ppm, MatchesPpm, NewPnmReader, WritePpm},
};

}  // namespace

bool MatchesBmp(const std::uint8_t* head, std::size_t size) {
    return StartsWith(head, size, "BM", 2);
}
bool MatchesPng(const std::uint8_t* head, std::size_t size) {
    return StartsWith(head, size, "\x89PNG\r\n\x1a\n", 8);
}
bool MatchesTiff(const std::uint8_t* head, std::size_t size) {
    return StartsWith(head, size, "II*\0", 4) || StartsWith(head, size, "MM\0*", 4);
}
bool MatchesJpeg(const std::uint8_t* head, std::size_t size) {
    return StartsWith(head, size, "\xff\xd8\xff", 3);
}
// P2/P5 grey.
bool MatchesPnm(const std::uint8_t* head, std::size_t size) {
    return MatchesNetpbm(head, size, "25");
}
// P3/P6 colour.
bool MatchesPpm(const std::uint8_t* head, std::size_t size) {
    return MatchesNetpbm(head, size, "36");
}

std::span<const SPictureCodec> PictureCodecs() { return kCodecs; }

const SPictureCodec& CodecOf(PictureFormat format) {
    for (const SPictureCodec& codec : kCodecs)
        if (codec.format == format) return codec;
    return kCodecs[0];
}
