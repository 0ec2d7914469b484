// Feeds arbitrary bytes to whichever picture reader their first bytes call
// for; whatever it accepts must be fully usable (see PictureReaderProbe.h).
// Started from fuzz/seeds/<format>/ and fuzz/regressions/<format>/; an input
// that breaks a reader goes into regressions/<format>/, where `make test`
// replays it from then on.
#include <cstdint>

#include "PictureReaderProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!ProbePictureReader(data, size).empty()) __builtin_trap();
    return 0;
}
