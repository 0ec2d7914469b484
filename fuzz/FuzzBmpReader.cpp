// Feeds arbitrary bytes to the BMP reader; whatever it accepts must be fully
// usable: every pixel row readable, and written back without complaint.
#include <cstdint>

#include "ByteStream.h"
#include "Image.h"
#include "Message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (SetMessageSink([](const std::string&) {}), true);
    (void)quiet;
    CMemoryStream in(data, size);
    CImage image;
    if (!image.ReadFileBMP(in)) return 0;
    const std::uint8_t* block = image.Lock();
    if (const std::uint8_t* bits = image.GetBits(block)) {
        volatile std::uint32_t sum = 0;
        for (std::uint32_t i = 0; i < image.GetImageSize(); ++i) sum = sum + bits[i];
    }
    CMemoryStream out;
    if (!image.SaveFileBMP(out)) __builtin_trap();
    CImage again;
    CMemoryStream back(out.Bytes());
    if (!again.ReadFileBMP(back)) __builtin_trap();
    return 0;
}
