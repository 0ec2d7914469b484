#pragma once
// libtiff over Orvex's own input and memory, with every message of the
// library kept for the caller instead of printed: the first error says what
// is wrong with a file. Warnings about the directory (tags Orvex does not
// use, tags out of order, text without its final zero) are dropped; once
// the pixels are being decoded, every message but one names damage.

#include <tiffio.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ByteStream.h"
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
    // Opens a file for writing into `out`: straight into it when it can
    // seek (a file on disk: the library goes back to finish the header),
    // otherwise built in memory, with room for `expected` bytes so that it
    // seldom moves while it grows, and written out whole by Close.
    TIFF* OpenWrite(CByteStream& out, std::uint64_t expected);
    // Finishes the file; false when the library or the stream failed.
    bool Close();

    // The library's first error message, or "".
    const std::string& Error() const { return error_; }
    // From now on, warnings count as errors, and Error() starts afresh: the
    // library only warns when it pads a fax line of the wrong length, and
    // its decode call succeeds after it reported a bad code word.
    void WatchDecoding() {
        watching_ = true;
        error_.clear();
    }

    // Back to reading directories, whose warnings are dropped.
    void StopWatching() {
        watching_ = false;
        error_.clear();
    }

private:
    static int OnError(TIFF*, void* user, const char* module, const char* format, va_list args);
    static int OnWarning(TIFF*, void* user, const char* module, const char* format, va_list args);
    void Keep(const char* format, va_list args);
    TIFF* Open(const char* mode);
    // When written straight into a stream, which cannot be read, the small
    // writes (directories) are kept for the library to read back.
    bool KeepWritten(std::uint64_t at, const void* data, std::size_t size);
    std::size_t ReadWritten(std::uint64_t at, void* buffer, std::size_t size) const;
    static constexpr std::size_t kKeptWriteBytes = 4096;

    TIFF* tiff_ = nullptr;
    CCodecInput* input_ = nullptr;
    // When writing: the stream, or the bytes for it when it cannot seek;
    // where the library is, where the stream is, and the end so far.
    CByteStream* out_ = nullptr;
    bool direct_ = false;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0, streamAt_ = 0, end_ = 0;
    std::map<std::uint64_t, std::vector<std::uint8_t>> written_;
    std::string error_;
    bool watching_ = false;
    friend struct STiffProcs;
};
