#pragma once
// The entry points of each format's reader and writer, gathered into the
// list of PictureCodecs.cpp.

#include <cstdint>
#include <memory>

#include "PictureCodec.h"

bool MatchesBmp(const std::uint8_t* head, std::size_t size);

bool MatchesPng(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewPngReader(CCodecInput& input);
CodecStatus WritePng(const CImage& image, CByteStream& out, std::string& problem);

bool MatchesTiff(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewTiffReader(CCodecInput& input);
CodecStatus WriteTiff(const CImage& image, CByteStream& out, std::string& problem);

bool MatchesJpeg(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewJpegReader(CCodecInput& input);

bool MatchesPnm(const std::uint8_t* head, std::size_t size);
std::unique_ptr<CPictureReader> NewPnmReader(CCodecInput& input);
CodecStatus WritePgm(const CImage& image, CByteStream& out, std::string& problem);
bool MatchesPpm(const std::uint8_t* head, std::size_t size);
CodecStatus WritePpm(const CImage& image, CByteStream& out, std::string& problem);
