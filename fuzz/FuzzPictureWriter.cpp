// Writes fuzzer-made pictures (any size, depth and table) in every format
// that holds them and reads each file back (see PictureWriterProbe.h).
#include <cstdint>

#include "PictureWriterProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!ProbePictureWriter(data, size).empty()) __builtin_trap();
    return 0;
}
