#pragma once
// The bytes of a picture file as the codecs read them: a length, sequential
// reads, and going back (TIFF files are read in any order; 16-bit pictures
// are decoded twice). Over an open file or over bytes in memory.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "ByteStream.h"

class CCodecInput {
public:
    // Does not own the file; reads start at its current position's file start.
    explicit CCodecInput(std::FILE* file);
    explicit CCodecInput(std::vector<std::uint8_t> bytes);
    CCodecInput(const CCodecInput&) = delete;
    CCodecInput& operator=(const CCodecInput&) = delete;

    std::uint64_t Length() const { return length_; }
    std::uint64_t Position() const { return position_; }
    // Reads up to `count` bytes; returns how many arrived.
    std::size_t Read(void* buffer, std::size_t count);
    // False when `position` lies beyond the end or the file cannot seek.
    bool Seek(std::uint64_t position);
    // Reads `count` rows of `rowBytes` that follow each other in the file
    // from `offset` on, each into its own place (a picture's rows lie
    // bottom-up in memory), without a copy in between. False unless all
    // arrived.
    bool ReadRows(std::uint64_t offset, std::uint8_t* const* rows, std::size_t count,
                  std::size_t rowBytes);

private:
    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t length_ = 0;
    std::uint64_t position_ = 0;
};

// The same bytes as a stream, for the engine's own BMP reader.
class CCodecInputStream : public CByteStream {
public:
    explicit CCodecInputStream(CCodecInput& input) : input_(input) {}
    std::uint64_t Length() override { return input_.Length(); }
    std::size_t Read(void* buffer, std::size_t count) override {
        return input_.Read(buffer, count);
    }
    bool Write(const void*, std::size_t) override { return false; }

private:
    CCodecInput& input_;
};
