// Feeds arbitrary bytes to the BMP reader; whatever it accepts must be fully
// usable (see BmpReaderProbe.h). An input that breaks it goes into
// regressions/bmp/, where `make test` replays it from then on.
#include <cstdint>

#include "BmpReaderProbe.h"
#include "Message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (SetMessageSink([](const std::string&) {}), true);
    (void)quiet;
    if (!ProbeBmpReader(data, size).empty()) __builtin_trap();
    return 0;
}
