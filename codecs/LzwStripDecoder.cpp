#include "LzwStripDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kClearCode = 256, kEndCode = 257, kFirstFree = 258;
constexpr int kMinBits = 9, kMaxBits = 12;
constexpr std::uint32_t kTableSize = 1u << kMaxBits;
// A string grows by one byte an entry from a single byte, and the table
// holds fewer than 4096 entries between clears.
constexpr std::size_t kLongestString = kTableSize;
// Strings are copied eight bytes at a time, past their end.
constexpr std::size_t kSlack = kLongestString + 16;
// Where the decoded bytes start in the buffer, after every byte value and
// room to copy past the last.
constexpr std::size_t kOutputStart = 256 + 16;

std::uint64_t LoadBigEndian64(const std::uint8_t* at) {
    std::uint64_t v;
    std::memcpy(&v, at, sizeof v);
    if constexpr (std::endian::native == std::endian::big) return v;
    return __builtin_bswap64(v);
}

// Codes most significant bit first; past the end, nothing.
class CCodeReader {
public:
    explicit CCodeReader(std::span<const std::uint8_t> bytes)
        : at_(bytes.data()), size_(bytes.size()), bits_(std::uint64_t{bytes.size()} * 8) {}
    // False when fewer than `width` bits are left.
    bool Next(int width, std::uint32_t& code) {
        if (position_ + static_cast<std::uint64_t>(width) > bits_) return false;
        const std::size_t byte = static_cast<std::size_t>(position_ >> 3);
        std::uint64_t window;
        if (byte + 8 <= size_) {
            window = LoadBigEndian64(at_ + byte);
        } else {
            window = 0;
            for (std::size_t k = 0; k < 8; ++k)
                window = window << 8 | (byte + k < size_ ? at_[byte + k] : 0);
        }
        code = static_cast<std::uint32_t>((window << (position_ & 7)) >> (64 - width));
        position_ += static_cast<std::uint64_t>(width);
        return true;
    }

private:
    const std::uint8_t* at_;
    std::size_t size_;
    std::uint64_t bits_, position_ = 0;
};

// Copies a string forwards, eight bytes at a time, writing up to fifteen
// bytes past its end. Each piece is loaded before it is stored, so the
// string's bytes arrive whole as long as each piece reads only bytes
// already in place: a string wholly before `to`, or one that repeats
// itself at least eight bytes back.
void Copy8(std::uint8_t* to, const std::uint8_t* from) {
    std::uint64_t piece;
    std::memcpy(&piece, from, 8);
    std::memcpy(to, &piece, 8);
}
void CopyString(std::uint8_t* to, const std::uint8_t* from, std::size_t length) {
    Copy8(to, from);
    Copy8(to + 8, from + 8);
    for (std::size_t k = 16; k < length; k += 8) Copy8(to + k, from + k);
}

}  // namespace

CLzwStripDecoder::CLzwStripDecoder() : table_(kTableSize) {
    for (std::uint32_t c = 0; c < kClearCode; ++c) table_[c] = {c, 1};
}

std::span<const std::uint8_t> CLzwStripDecoder::Decompress(std::span<const std::uint8_t> packed,
                                                           std::size_t count) {
    // The old style starts with a clear code written least significant bit
    // first.
    if (packed.size() >= 2 && packed[0] == 0 && (packed[1] & 1) != 0) return {};
    if (count > UINT32_MAX - kOutputStart - kSlack) return {};
    // The buffer only grows, so that it is not filled with zeros every
    // strip. It starts with every byte value, where the single-byte codes'
    // strings lie, so that every code is a copy from the buffer.
    if (out_.size() < kOutputStart + count + kSlack) {
        out_.resize(kOutputStart + count + kSlack);
        for (std::uint32_t c = 0; c < kClearCode; ++c) out_[c] = static_cast<std::uint8_t>(c);
    }
    std::uint8_t* const out = out_.data();
    const std::size_t end = kOutputStart + count;
    CCodeReader reader(packed);
    int width = kMinBits;
    std::uint32_t nextCode = kFirstFree, growAt = (1u << kMinBits) - 1, code = 0;
    std::size_t position = kOutputStart;
    SString previous;
    // After a clear code: a single byte, which adds nothing to the table.
    const auto restart = [&] {
        do {
            if (!reader.Next(kMinBits, code)) return false;
        } while (code == kClearCode);
        if (code >= kClearCode) return false;
        width = kMinBits;
        nextCode = kFirstFree;
        growAt = (1u << kMinBits) - 1;
        out[position] = static_cast<std::uint8_t>(code);
        previous = {static_cast<std::uint32_t>(position), 1};
        ++position;
        return true;
    };
    if (!reader.Next(width, code) || code != kClearCode || !restart()) return {};
    while (position < end) {
        if (!reader.Next(width, code)) return {};
        SString string;
        if (code < nextCode && code - kClearCode >= 2) {
            string = table_[code];
            CopyString(out + position, out + string.at, string.length);
        } else if (code == nextCode) {
            // The code being defined: the previous string and its own first
            // byte, which may lie fewer than eight bytes back.
            string = {previous.at, previous.length + 1};
            if (previous.length >= 8) {
                CopyString(out + position, out + string.at, string.length);
            } else {
                for (std::uint32_t k = 0; k < string.length; ++k)
                    out[position + k] = out[string.at + k];
            }
        } else if (code == kClearCode) {
            if (!restart()) return {};
            continue;
        } else {
            return {};  // the end code before the strip's bytes, or no such code
        }
        if (nextCode == kTableSize) return {};
        // The previous string and the first byte of this one, which follows
        // it in the output.
        table_[nextCode++] = {previous.at, previous.length + 1};
        if (nextCode >= growAt && width < kMaxBits) growAt = (1u << ++width) - 1;
        previous = {static_cast<std::uint32_t>(position), string.length};
        position += string.length;
    }
    return {out + kOutputStart, count};
}
