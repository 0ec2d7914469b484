#pragma once
// The byte streams the BMP reader and writer work on: a length, reads and
// writes. A file and a memory buffer (the clipboard, tests, fuzzing) both fit.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CByteStream {
public:
    virtual ~CByteStream() = default;
    // Total length in bytes from the start of the stream.
    virtual std::uint64_t Length() = 0;
    // Reads up to count bytes; returns how many arrived.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes count bytes; false when the stream could not take them all.
    virtual bool Write(const void* buffer, std::size_t count) = 0;
    // Moves to `position` from the start, for writers that go back to finish
    // a header; false for streams that cannot (memory, a pipe).
    virtual bool Seek(std::uint64_t position) {
        (void)position;
        return false;
    }
};

// A stream over bytes in memory: reads from the given bytes, appends writes.
class CMemoryStream : public CByteStream {
public:
    CMemoryStream() = default;
    explicit CMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    CMemoryStream(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {}

    std::uint64_t Length() override { return bytes_.size(); }
    std::size_t Read(void* buffer, std::size_t count) override;
    bool Write(const void* buffer, std::size_t count) override;

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// A stream over an open C file; does not own it.
class CFileStream : public CByteStream {
public:
    explicit CFileStream(std::FILE* file) : file_(file) {}
    std::uint64_t Length() override;
    std::size_t Read(void* buffer, std::size_t count) override;
    bool Write(const void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t position) override;

private:
    std::FILE* file_;
};
