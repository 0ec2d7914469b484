#pragma once
// PNG chunks as the writer puts them out: any chunk, and the image data as
// IDAT chunks holding one zlib stream of the filtered rows.
//
// The rows are compressed in bands of a MiB, each band a run of deflate
// blocks of its own ended on a byte boundary, so that bands can be
// compressed on all cores and simply laid end to end; the stream's checksum
// is put together from the bands'. The cut does not depend on the number of
// cores, so a picture gives the same file on any machine.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "ByteStream.h"

// Why a write stopped when the output (a full disk, say) refused bytes.
inline constexpr const char* kRefused = "the data could not be written";

// `value` as four bytes, most significant first.
void PutBigEndian(std::uint8_t* at, std::uint32_t value);

// Writes a chunk: its length, type, data and the checksum of type and data.
bool PutChunk(CByteStream& out, const char (&type)[5], const std::uint8_t* data,
              std::size_t length);

// Writes filtered row `y` (its filter byte first, then the row) into `out`;
// `scratch` holds as many bytes, for the maker's own use.
using PngRowMaker = std::function<void(int y, std::uint8_t* scratch, std::uint8_t* out)>;

// Compresses `height` rows of `filteredBytes` bytes each, with run-length
// matches only (our own deflate, as fast as zlib's fastest level is
// small), or looking for real matches at zlib's default level when
// `matches`. False with `problem` when memory runs out or the
// output refuses the data.
bool WritePngImageData(CByteStream& out, int height, std::size_t filteredBytes, bool matches,
                       const PngRowMaker& makeRow, std::string& problem);
