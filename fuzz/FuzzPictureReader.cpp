// Feeds arbitrary bytes to one picture reader, chosen when the target is
// built (ORVEX_FUZZ_FORMAT); whatever it accepts must be fully usable (see
// PictureReaderProbe.h). An input that breaks it goes into
// regressions/<format>/, where `make test` replays it from then on.
#include <cstdint>

#include "PictureReaderProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!ProbePictureReader(PictureFormat::ORVEX_FUZZ_FORMAT, data, size).empty()) __builtin_trap();
    return 0;
}
