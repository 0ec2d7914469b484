#include "LzwStrip.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uint32_t kClearCode = 256, kEndCode = 257, kFirstFree = 258;
constexpr int kMinBits = 9, kMaxBits = 12;
// The table is full when the next free code would be this one.
constexpr std::uint32_t kFullAt = (1u << kMaxBits) - 2;
constexpr std::int64_t kCheckGap = 10000;
constexpr std::uint32_t kFreeSlot = 0xFFFFFFFFu;

std::uint32_t MaxCode(int bits) { return (1u << bits) - 1; }

// Codes of any width, most significant bit first, into [at, end). The
// caller sizes the buffer so that the end is never reached; checked builds
// (debug, sanitizers, fuzzing) stop the program if it ever is.
class CBitWriter {
public:
    CBitWriter(std::uint8_t* at, [[maybe_unused]] std::uint8_t* end) : at_(at) {
#if ORVEX_CHECKED_BOUNDS
        end_ = end;
#endif
    }
    void Put(std::uint32_t code, int bits) {
        pending_ = pending_ << bits | code;
        pendingBits_ += bits;
        while (pendingBits_ >= 8) {
            pendingBits_ -= 8;
            Store(static_cast<std::uint8_t>(pending_ >> pendingBits_));
        }
    }
    // The last bits, padded with zeros to a byte; returns the end.
    std::uint8_t* Finish() {
        if (pendingBits_ > 0) Store(static_cast<std::uint8_t>(pending_ << (8 - pendingBits_)));
        return at_;
    }

private:
    void Store(std::uint8_t byte) {
#if ORVEX_CHECKED_BOUNDS
        if (at_ == end_) {
            std::fputs("LZW strip: the output bound was wrong\n", stderr);
            std::abort();
        }
#endif
        *at_++ = byte;
    }

    std::uint8_t* at_;
#if ORVEX_CHECKED_BOUNDS
    std::uint8_t* end_;
#endif
    std::uint64_t pending_ = 0;
    int pendingBits_ = 0;
};

}  // namespace

CLzwStrip::CLzwStrip() : table_(std::size_t{1} << kTableBits, kFreeSlot) {}

void CLzwStrip::ClearTable() { std::fill(table_.begin(), table_.end(), kFreeSlot); }

std::span<const std::uint8_t> CLzwStrip::Compress(const std::uint8_t* bytes, std::size_t count) {
    // The bound. Codes are at most 12 bits. Every code written inside the
    // loop stands for a string of at least one byte not yet written, so
    // there are at most `count` of them. Clear codes: the first; one each
    // time the table fills, which takes 4094 - 258 = 3836 new entries, one
    // per code written; one at a ratio check, at most one per 10000 bytes
    // read. Then the last string, perhaps a clear code after it, the end
    // code and a byte of padding. In 12-bit codes that is at most
    // 1.5 count + 1.5 (count / 3836 + count / 10000 + 4) + 1 bytes, and
    // count / 1024 + 16 covers the second term with room to spare.
    // The buffer only grows, so that it is not filled with zeros every strip.
    out_.resize(std::max(out_.size(), count + count / 2 + count / 1024 + 16));
    CBitWriter writer(out_.data(), out_.data() + out_.size());
    int bits = kMinBits;
    std::uint32_t maxCode = MaxCode(kMinBits), nextCode = kFirstFree;
    // Bytes in and bits out since the last clear, for the ratio.
    std::int64_t bytesIn = 0, bitsOut = 0, checkpoint = kCheckGap, ratio = 0;
    auto put = [&](std::uint32_t code) {
        writer.Put(code, bits);
        bitsOut += bits;
    };
    auto restart = [&] {
        ClearTable();
        ratio = 0;
        bytesIn = 0;
        bitsOut = 0;
        nextCode = kFirstFree;
        put(kClearCode);
        bits = kMinBits;
        maxCode = MaxCode(kMinBits);
    };
    constexpr std::uint32_t mask = (1u << kTableBits) - 1;
    ClearTable();
    std::uint32_t prefix = 0;
    if (count > 0) {
        put(kClearCode);
        prefix = bytes[0];
        bytesIn = 1;
    }
    for (std::size_t i = 1; i < count; ++i) {
        const std::uint32_t c = bytes[i];
        ++bytesIn;
        const std::uint32_t key = prefix << 8 | c;
        std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - kTableBits);
        while (table_[slot] != kFreeSlot && table_[slot] >> 12 != key) slot = (slot + 1) & mask;
        if (table_[slot] != kFreeSlot) {
            prefix = table_[slot] & 0xFFF;
            continue;
        }
        put(prefix);
        prefix = c;
        table_[slot] = key << 12 | nextCode++;
        if (nextCode == kFullAt) {
            restart();
        } else if (nextCode > maxCode) {
            ++bits;
            maxCode = MaxCode(bits);
        } else if (bytesIn >= checkpoint) {
            checkpoint = bytesIn + kCheckGap;
            // Bytes in per 256 bits out, in the library's integer steps.
            // (The library works this out another way past 8 MiB read since
            // the last clear, which never happens: between two clears at
            // most 3836 strings are written, the k-th at most k + 1 bytes
            // long, so fewer than 7.4 million bytes.)
            const std::int64_t now = (bytesIn << 8) / bitsOut;
            if (now <= ratio) {
                restart();
            } else {
                ratio = now;
            }
        }
    }
    if (count > 0) {
        // The last string, and the table growing past it as a decoder sees.
        put(prefix);
        if (++nextCode == kFullAt) {
            put(kClearCode);
            bits = kMinBits;
        } else if (nextCode > maxCode) {
            ++bits;
        }
    }
    put(kEndCode);
    return {out_.data(), writer.Finish()};
}
