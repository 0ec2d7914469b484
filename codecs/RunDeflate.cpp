#include "RunDeflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

constexpr int kLiteralCodes = 286, kDistanceCodes = 2, kLengthCodes = 19;
constexpr int kEndOfBlock = 256;
constexpr int kMaxBits = 15, kMaxLengthBits = 7;
constexpr std::size_t kMinRun = 3, kMaxRun = 258;
// Symbols a block holds (zlib's count at its default memory level), which
// lets each block's codes follow the picture's changes.
constexpr std::size_t kBlockSymbols = 16383;
constexpr std::size_t kStoredPiece = 65535;

// The length codes: for each run length less 3, its symbol and extra bits.
struct SLengthCode {
    std::uint16_t symbol;
    std::uint8_t extraBits;
    std::uint8_t extra;
};
constexpr std::array<SLengthCode, 256> MakeLengthCodes() {
    constexpr int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                              31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr int bits[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    std::array<SLengthCode, 256> codes{};
    for (int length = 3; length <= 258; ++length) {
        int c = 28;
        while (base[c] > length) --c;
        codes[length - 3] = {static_cast<std::uint16_t>(257 + c),
                             static_cast<std::uint8_t>(bits[c]),
                             static_cast<std::uint8_t>(length - base[c])};
    }
    return codes;
}
constexpr std::array<SLengthCode, 256> kLengthCode = MakeLengthCodes();

constexpr int kLengthOrder[kLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                            11, 4,  12, 3, 13, 2, 14, 1, 15};

// Bits least significant first into a buffer sized beforehand; checked
// builds stop the program if the size was wrong.
class CBitOut {
public:
    explicit CBitOut(std::uint8_t* at, [[maybe_unused]] std::uint8_t* end) : at_(at) {
#if ORVEX_CHECKED_BOUNDS
        end_ = end;
#endif
    }
    // Up to 57 bits in all between two calls of Flush, which keeps at most
    // seven: the symbols' loop writes eight bytes at a time, without a
    // branch.
    void Add(std::uint64_t value, int bits) {
        pending_ |= value << count_;
        count_ += bits;
    }
    void Flush() {
        Check(8);
        const std::uint64_t word = ToLittleEndian(pending_);
        std::memcpy(at_, &word, 8);
        at_ += count_ >> 3;
        pending_ >>= count_ & ~7;
        count_ &= 7;
    }
    // Up to 32 bits.
    void Put(std::uint32_t value, int bits) {
        pending_ |= static_cast<std::uint64_t>(value) << count_;
        count_ += bits;
        if (count_ >= 32) {
            Store(static_cast<std::uint32_t>(pending_), 4);
            pending_ >>= 32;
            count_ -= 32;
        }
    }
    // Pads with zeros to a byte boundary and hands out whole bytes.
    void Align() {
        while (count_ > 0) {
            Store(static_cast<std::uint32_t>(pending_), 1);
            pending_ >>= 8;
            count_ = std::max(count_ - 8, 0);
        }
    }
    void PutBytes(const std::uint8_t* bytes, std::size_t count) {
        if (count == 0) return;
        Check(count);
        std::memcpy(at_, bytes, count);
        at_ += count;
    }
    std::uint8_t* At() const { return at_; }

private:
    static std::uint64_t ToLittleEndian(std::uint64_t v) {
        if constexpr (std::endian::native == std::endian::big) return __builtin_bswap64(v);
        return v;
    }
    void Check([[maybe_unused]] std::size_t count) const {
#if ORVEX_CHECKED_BOUNDS
        if (static_cast<std::size_t>(end_ - at_) < count) {
            std::fputs("deflate: the output bound was wrong\n", stderr);
            std::abort();
        }
#endif
    }
    void Store(std::uint32_t word, std::size_t bytes) {
        Check(bytes);
        const std::uint8_t le[4] = {
            static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
            static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
        std::memcpy(at_, le, bytes);
        at_ += bytes;
    }

    std::uint8_t* at_;
#if ORVEX_CHECKED_BOUNDS
    std::uint8_t* end_;
#endif
    std::uint64_t pending_ = 0;
    int count_ = 0;
};

// Code lengths of a Huffman code for `counts`, none longer than `limit`:
// a plain Huffman code, built again on halved counts while it is too long.
// At least two symbols get a code, as decoders expect.
template <std::size_t N>
void CodeLengths(std::array<std::uint32_t, N> counts, int limit,
                 std::array<std::uint8_t, N>& lengths) {
    int used = 0;
    for (std::size_t s = 0; s < N && used < 2; ++s) used += counts[s] != 0;
    for (std::size_t s = 0; s < N && used < 2; ++s)
        if (counts[s] == 0) counts[s] = 1, ++used;
    struct SNode {
        std::uint64_t count;
        int left, right;  // children, or -1 and the symbol
    };
    for (;;) {
        std::array<SNode, 2 * N> nodes;
        std::array<int, N> order;
        int leaves = 0;
        for (std::size_t s = 0; s < N; ++s)
            if (counts[s] != 0)
                nodes[leaves] = {counts[s], -1, static_cast<int>(s)}, order[leaves] = leaves,
                ++leaves;
        std::sort(order.begin(), order.begin() + leaves,
                  [&](int a, int b) { return nodes[a].count < nodes[b].count; });
        // Two queues: the sorted leaves, and the joined nodes in the order
        // they are made, which is also by count.
        int nextLeaf = 0, nextJoined = leaves, made = leaves;
        const auto smallest = [&] {
            if (nextLeaf < leaves &&
                (nextJoined == made || nodes[order[nextLeaf]].count <= nodes[nextJoined].count))
                return order[nextLeaf++];
            return nextJoined++;
        };
        while (made - nextJoined + leaves - nextLeaf > 1) {
            const int a = smallest(), b = smallest();
            nodes[made++] = {nodes[a].count + nodes[b].count, a, b};
        }
        // Depths from the root down; children are made before parents.
        std::array<std::uint8_t, 2 * N> depth{};
        int longest = 0;
        lengths.fill(0);
        for (int n = made - 1; n >= 0; --n) {
            if (nodes[n].left >= 0) {
                depth[nodes[n].left] = depth[nodes[n].right] =
                    static_cast<std::uint8_t>(depth[n] + 1);
            } else {
                lengths[nodes[n].right] = depth[n];
                longest = std::max<int>(longest, depth[n]);
            }
        }
        if (longest <= limit) return;
        for (std::uint32_t& c : counts)
            if (c != 0) c = (c + 1) / 2;
    }
}

// Canonical codes for `lengths`, bit-reversed to go out least significant
// bit first.
template <std::size_t N>
std::array<std::uint16_t, N> CanonicalCodes(const std::array<std::uint8_t, N>& lengths) {
    std::array<int, kMaxBits + 1> perLength{};
    for (std::uint8_t l : lengths) ++perLength[l];
    perLength[0] = 0;
    std::array<int, kMaxBits + 2> next{};
    for (int bits = 1, code = 0; bits <= kMaxBits; ++bits) {
        code = (code + perLength[bits - 1]) << 1;
        next[bits] = code;
    }
    std::array<std::uint16_t, N> codes{};
    for (std::size_t s = 0; s < N; ++s) {
        const int l = lengths[s];
        if (l == 0) continue;
        std::uint32_t code = static_cast<std::uint32_t>(next[l]++), reversed = 0;
        for (int b = 0; b < l; ++b) reversed |= (code >> b & 1) << (l - 1 - b);
        codes[s] = static_cast<std::uint16_t>(reversed);
    }
    return codes;
}

// The code lengths of both codes as the header sends them: runs of zeros
// and repeats shortened to codes 16, 17 and 18, each with its extra bits.
struct SLengthSymbol {
    std::uint8_t symbol, extra;
};
void RunLengths(const std::uint8_t* lengths, int count, std::vector<SLengthSymbol>& out) {
    for (int i = 0; i < count;) {
        const std::uint8_t l = lengths[i];
        int run = 1;
        while (i + run < count && lengths[i + run] == l) ++run;
        i += run;
        if (l == 0) {
            while (run >= 11) {
                const int take = std::min(run, 138);
                out.push_back({18, static_cast<std::uint8_t>(take - 11)});
                run -= take;
            }
            if (run >= 3) out.push_back({17, static_cast<std::uint8_t>(run - 3)}), run = 0;
        } else {
            out.push_back({l, 0});
            --run;
            while (run >= 3) {
                const int take = std::min(run, 6);
                out.push_back({16, static_cast<std::uint8_t>(take - 3)});
                run -= take;
            }
        }
        for (; run > 0; --run) out.push_back({l, 0});
    }
}

constexpr int ExtraBitsOf(std::uint8_t lengthSymbol) {
    return lengthSymbol == 16 ? 2 : lengthSymbol == 17 ? 3 : lengthSymbol == 18 ? 7 : 0;
}

// One block of symbols: literals (below 256) and runs (256 + length - 3).
class CBlockWriter {
public:
    explicit CBlockWriter(CBitOut& bits) : bits_(bits) {}

    // `symbolCounts` counts each of the symbols (512 kinds).
    void Write(const std::uint16_t* symbols, std::size_t count, const std::uint32_t* symbolCounts,
               const std::uint8_t* bytes, std::size_t byteCount, bool last) {
        std::array<std::uint32_t, kLiteralCodes> counts{};
        std::copy_n(symbolCounts, 256, counts.begin());
        std::uint64_t extraBits = 0;
        std::uint32_t runs = 0;
        for (int r = 0; r < 256; ++r) {
            const std::uint32_t n = symbolCounts[256 + r];
            counts[kLengthCode[r].symbol] += n;
            extraBits += static_cast<std::uint64_t>(n) * kLengthCode[r].extraBits;
            runs += n;
        }
        counts[kEndOfBlock] = 1;
        std::array<std::uint8_t, kLiteralCodes> lengths{};
        CodeLengths(counts, kMaxBits, lengths);
        // Distance codes 0 and 1, one bit each (only 0, a distance of 1, is
        // used): decoders expect a complete code.
        const std::array<std::uint8_t, kDistanceCodes> distanceLengths = {1, 1};
        int literalCount = kLiteralCodes;
        while (literalCount > 257 && lengths[literalCount - 1] == 0) --literalCount;
        std::vector<SLengthSymbol> header;
        RunLengths(lengths.data(), literalCount, header);
        RunLengths(distanceLengths.data(), kDistanceCodes, header);
        std::array<std::uint32_t, kLengthCodes> headerCounts{};
        for (const SLengthSymbol& h : header) ++headerCounts[h.symbol];
        std::array<std::uint8_t, kLengthCodes> headerLengths{};
        CodeLengths(headerCounts, kMaxLengthBits, headerLengths);
        int headerLengthCount = kLengthCodes;
        while (headerLengthCount > 4 && headerLengths[kLengthOrder[headerLengthCount - 1]] == 0)
            --headerLengthCount;

        // The size of each kind of block, in bits.
        std::uint64_t dynamicBits =
            3 + 5 + 5 + 4 + 3 * static_cast<std::uint64_t>(headerLengthCount);
        for (const SLengthSymbol& h : header)
            dynamicBits += headerLengths[h.symbol] + ExtraBitsOf(h.symbol);
        std::uint64_t fixedBits = 3;
        for (int s = 0; s < kLiteralCodes; ++s) {
            dynamicBits += static_cast<std::uint64_t>(counts[s]) * lengths[s];
            fixedBits += static_cast<std::uint64_t>(counts[s]) * FixedLength(s);
        }
        dynamicBits += extraBits + runs;
        fixedBits += extraBits + 5 * static_cast<std::uint64_t>(runs);
        const std::uint64_t storedBits = (byteCount + kStoredPiece - 1) / kStoredPiece * 40 +
                                         8 * static_cast<std::uint64_t>(byteCount) + 7;

        if (storedBits <= std::min(dynamicBits, fixedBits)) {
            PutStored(bytes, byteCount, last);
            return;
        }
        if (fixedBits <= dynamicBits) {
            // The fixed code has 288 symbols: the last two, never used,
            // take 8-bit codes before the 9-bit ones.
            std::array<std::uint8_t, kLiteralCodes + 2> all{};
            for (int s = 0; s < kLiteralCodes + 2; ++s)
                all[s] = static_cast<std::uint8_t>(FixedLength(s));
            const std::array<std::uint16_t, kLiteralCodes + 2> allCodes = CanonicalCodes(all);
            std::array<std::uint8_t, kLiteralCodes> fixed{};
            std::array<std::uint16_t, kLiteralCodes> fixedCodes{};
            std::copy_n(all.begin(), kLiteralCodes, fixed.begin());
            std::copy_n(allCodes.begin(), kLiteralCodes, fixedCodes.begin());
            bits_.Put(last ? 1 : 0, 1);
            bits_.Put(1, 2);
            PutSymbols(symbols, count, fixed, fixedCodes, 5);
            return;
        }
        bits_.Put(last ? 1 : 0, 1);
        bits_.Put(2, 2);
        bits_.Put(static_cast<std::uint32_t>(literalCount - 257), 5);
        bits_.Put(kDistanceCodes - 1, 5);
        bits_.Put(static_cast<std::uint32_t>(headerLengthCount - 4), 4);
        for (int i = 0; i < headerLengthCount; ++i) bits_.Put(headerLengths[kLengthOrder[i]], 3);
        const std::array<std::uint16_t, kLengthCodes> headerCodes = CanonicalCodes(headerLengths);
        for (const SLengthSymbol& h : header) {
            bits_.Put(headerCodes[h.symbol], headerLengths[h.symbol]);
            if (ExtraBitsOf(h.symbol) != 0) bits_.Put(h.extra, ExtraBitsOf(h.symbol));
        }
        PutSymbols(symbols, count, lengths, CanonicalCodes(lengths), 1);
    }

    // Stored pieces of up to 65535 bytes; an empty one when there are no
    // bytes.
    void PutStored(const std::uint8_t* bytes, std::size_t count, bool last) {
        do {
            const std::size_t piece = std::min(count, kStoredPiece);
            bits_.Put(last && piece == count ? 1 : 0, 1);
            bits_.Put(0, 2);
            bits_.Align();
            const std::uint8_t head[4] = {
                static_cast<std::uint8_t>(piece), static_cast<std::uint8_t>(piece >> 8),
                static_cast<std::uint8_t>(~piece), static_cast<std::uint8_t>(~piece >> 8)};
            bits_.PutBytes(head, 4);
            bits_.PutBytes(bytes, piece);
            bytes += piece;
            count -= piece;
        } while (count > 0);
    }

private:
    static int FixedLength(int symbol) {
        return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
    }

    // The symbols and the end of the block; a run's distance is code 0,
    // `distanceBits` long (its code is all zeros in both kinds of block).
    void PutSymbols(const std::uint16_t* symbols, std::size_t count,
                    const std::array<std::uint8_t, kLiteralCodes>& lengths,
                    const std::array<std::uint16_t, kLiteralCodes>& codes, int distanceBits) {
        // Each symbol's whole code: its bits, and above them how many.
        constexpr int kCountShift = 26;
        std::array<std::uint32_t, 512> whole;
        for (int c = 0; c < 256; ++c)
            whole[c] = codes[c] | std::uint32_t{lengths[c]} << kCountShift;
        for (int r = 0; r < 256; ++r) {
            const SLengthCode& code = kLengthCode[r];
            const int bits = lengths[code.symbol];
            whole[256 + r] = (codes[code.symbol] | std::uint32_t{code.extra} << bits) |
                             static_cast<std::uint32_t>(bits + code.extraBits + distanceBits)
                                 << kCountShift;
        }
        constexpr std::uint32_t kValue = (1u << kCountShift) - 1;
        // Two symbols take at most 2 x 25 bits.
        std::size_t i = 0;
        for (; i + 2 <= count; i += 2) {
            const std::uint32_t a = whole[symbols[i]], b = whole[symbols[i + 1]];
            bits_.Add(a & kValue, static_cast<int>(a >> kCountShift));
            bits_.Add(b & kValue, static_cast<int>(b >> kCountShift));
            bits_.Flush();
        }
        if (i < count) {
            const std::uint32_t a = whole[symbols[i]];
            bits_.Add(a & kValue, static_cast<int>(a >> kCountShift));
            bits_.Flush();
        }
        bits_.Put(codes[kEndOfBlock], lengths[kEndOfBlock]);
    }

    CBitOut& bits_;
};

// How many bytes from `at` on equal `value`, up to `most`.
std::size_t RunAt(const std::uint8_t* at, std::uint8_t value, std::size_t most) {
    std::size_t n = 0;
    const std::uint64_t pattern = 0x0101010101010101ull * value;
    while (n + 8 <= most) {
        std::uint64_t word;
        std::memcpy(&word, at + n, 8);
        const std::uint64_t differ = word ^ pattern;
        if (differ != 0) return n + static_cast<std::size_t>(__builtin_ctzll(differ) / 8);
        n += 8;
    }
    while (n < most && at[n] == value) ++n;
    return n;
}

}  // namespace

std::size_t RunDeflateBound(std::size_t count) {
    // No block is larger than its bytes stored, which takes 5 bytes a piece
    // of 65535; each block may add a piece, a header and padding; and the
    // closing empty stored block.
    const std::size_t blocks = count / kBlockSymbols + 1;
    // The bit writer stores eight bytes at a time, up to seven past the end.
    return count + 5 * (count / kStoredPiece + blocks) + 8 * blocks + 16 + 8;
}

std::size_t RunDeflate(const std::uint8_t* bytes, std::size_t count, bool final,
                       std::uint8_t* out) {
    CBitOut bits(out, out + RunDeflateBound(count));
    CBlockWriter writer(bits);
    std::vector<std::uint16_t> symbolBuffer(kBlockSymbols);
    std::uint16_t* const symbols = symbolBuffer.data();
    std::array<std::uint32_t, 512> counts;
    std::size_t at = 0;
    do {
        const std::size_t blockStart = at;
        std::size_t n = 0;
        while (n < kBlockSymbols && at < count) {
            // Bytes that differ from the one before them start no run:
            // literals, looked at eight at a time.
            if (at > 0 && count - at >= 8 && kBlockSymbols - n >= 8) {
                std::uint64_t here, before;
                std::memcpy(&here, bytes + at, 8);
                std::memcpy(&before, bytes + at - 1, 8);
                const std::uint64_t same = here ^ before;
                constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
                // The lowest zero byte of `same` is exact.
                const std::uint64_t zero = (same - ones) & ~same & highs;
                const std::size_t differ =
                    zero == 0 ? 8 : static_cast<std::size_t>(__builtin_ctzll(zero) / 8);
                // All eight are written; those past `differ` are written again.
                for (int k = 0; k < 8; ++k) symbols[n + k] = bytes[at + k];
                at += differ;
                n += differ;
                if (differ == 8) continue;
            }
            // A run continues the byte before it.
            const std::size_t run =
                at == 0 || count - at < kMinRun
                    ? 0
                    : RunAt(bytes + at, bytes[at - 1], std::min(count - at, kMaxRun));
            if (run >= kMinRun) {
                symbols[n++] = static_cast<std::uint16_t>(256 + run - kMinRun);
                at += run;
            } else {
                symbols[n++] = bytes[at++];
            }
        }
        // Counted in four tables in turn, so that a symbol that comes back
        // does not wait for its own count.
        std::array<std::array<std::uint32_t, 512>, 4> partial{};
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4)
            for (int k = 0; k < 4; ++k) ++partial[k][symbols[i + k]];
        for (; i < n; ++i) ++partial[0][symbols[i]];
        for (int v = 0; v < 512; ++v)
            counts[v] = partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
        writer.Write(symbols, n, counts.data(), bytes + blockStart, at - blockStart,
                     final && at == count);
    } while (at < count);
    if (!final) writer.PutStored(nullptr, 0, false);
    bits.Align();
    return static_cast<std::size_t>(bits.At() - out);
}
