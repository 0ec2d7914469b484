#pragma once
// libtiff over Orvex's own input and memory, with every message of the
// library kept for the caller instead of printed: the first error says what
// is wrong with a file, warnings are dropped.

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CodecInput.h"

// A TIFF being read or written, closed with the object.
class CTiffClient {
public:
    CTiffClient() = default;
    ~CTiffClient() { Close(); }
    CTiffClient(const CTiffClient&) = delete;
    CTiffClient& operator=(const CTiffClient&) = delete;

    // Opens `input` for reading; null on failure (Error() says why).
    TIFF* OpenRead(CCodecInput& input);
    // Opens an empty file in memory for writing, with room for `expected`
    // bytes so that it seldom moves while it grows.
    TIFF* OpenWrite(std::uint64_t expected);
    // Finishes the file; false when the library failed. Bytes() then holds it.
    bool Close();
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // The library's first error message, or "".
    const std::string& Error() const { return error_; }

private:
    static int OnError(TIFF*, void* user, const char* module, const char* format, va_list args);
    static int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }
    TIFF* Open(const char* mode);

    TIFF* tiff_ = nullptr;
    CCodecInput* input_ = nullptr;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;  // in bytes_, when writing
    std::string error_;
    friend struct STiffProcs;
};
