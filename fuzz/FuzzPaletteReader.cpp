// Feeds arbitrary text to the JASC palette reader; whatever it accepts must
// be written back as a palette file that reads back to the same colours.
#include <cstdint>
#include <string_view>

#include "PaletteFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto colors = ParsePaletteFile(text);
    if (!colors) return 0;
    const auto again = ParsePaletteFile(FormatPaletteFile(*colors));
    if (!again || !(*again == *colors)) __builtin_trap();
    return 0;
}
