#pragma once
// Reads from a stream while counting, so that no read is attempted past the
// length the stream announced.

#include <algorithm>
#include <cstdint>

#include "ByteStream.h"

class CBoundedReader {
public:
    CBoundedReader(CByteStream& stream, std::uint64_t length) : stream_(stream), length_(length) {}

    std::uint64_t Length() const { return length_; }
    std::uint64_t Position() const { return position_; }
    std::uint64_t Remaining() const { return length_ - position_; }

    // False when the bytes are not there or did not arrive.
    bool Read(void* buffer, std::uint64_t count) {
        if (count > Remaining()) return false;
        const std::size_t got = stream_.Read(buffer, static_cast<std::size_t>(count));
        position_ += got;
        shortRead_ = shortRead_ || got != count;
        return got == count;
    }
    bool Skip(std::uint64_t count) {
        std::uint8_t scratch[4096];
        while (count > 0) {
            const std::uint64_t n = std::min<std::uint64_t>(count, sizeof scratch);
            if (!Read(scratch, n)) return false;
            count -= n;
        }
        return true;
    }
    // True when the stream delivered fewer bytes than its length promised.
    bool ShortRead() const { return shortRead_; }

private:
    CByteStream& stream_;
    std::uint64_t length_;
    std::uint64_t position_ = 0;
    bool shortRead_ = false;
};
