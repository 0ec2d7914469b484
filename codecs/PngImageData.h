#pragma once
// A non-interlaced PNG file's image data in one piece: its data chunks
// gathered (each one's checksum checked) and inflated by libdeflate in one
// call into the filtered rows, the stream's own checksum checked; then the
// chunks up to the end chunk walked, as a reader that read on would.

#include <cstdint>
#include <string>

#include "CodecInput.h"
#include "LargeMemory.h"

// Fills `filtered` with exactly `filteredBytes` bytes (each row's filter
// type and its bytes). The chunks before the first data chunk are the ones
// the header read already checked. An empty result when all went well,
// otherwise why the file is damaged, in a few words.
std::string InflatePngImageData(CCodecInput& input, std::size_t filteredBytes,
                                largememory::CBytes& filtered);
