// PBM, PGM and PPM files (P1, P2, P3 in text; P4, P5, P6 in bytes), read
// by hand. The header is a few numbers; the data must be long enough for the
// picture it claims before anything is allocated. 8-bit binary rows are read
// straight into the engine's rows. PBM pixels are bits, 1 for black: they
// open as grey levels 0 and 255.

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "PictureReader.h"

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

// Buffered bytes of the input, for the header and the text formats.
class CTextScanner {
public:
    explicit CTextScanner(CCodecInput& input) : input_(input) {}

    int Next() {
        if (next_ == end_) {
            end_ = input_.Read(buffer_, sizeof buffer_);
            next_ = 0;
            if (end_ == 0) return -1;
        }
        return buffer_[next_++];
    }
    // Where the next byte lies in the file.
    std::uint64_t Position() const { return input_.Position() - (end_ - next_); }
    void Restart(std::uint64_t position) {
        input_.Seek(position);
        next_ = end_ = 0;
    }

    // The next byte after white space and comments (from a '#' to the end
    // of its line); -1 at the end of the input.
    int NextToken() {
        int c = Next();
        for (;;) {
            if (c == '#') {
                c = EndOfComment();
            } else if (IsSpace(c)) {
                c = Next();
            } else {
                return c;
            }
        }
    }
    // The byte that ends the comment being read: its line's end, or -1.
    int EndOfComment() {
        int c = Next();
        while (c != '\n' && c != '\r' && c != -1) c = Next();
        return c;
    }
    static bool IsSpace(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    // The next decimal number after white space and comments; false when
    // there is none or it exceeds `limit`.
    bool Number(std::uint64_t limit, std::uint64_t& value) {
        int c = NextToken();
        if (c < '0' || c > '9') return false;
        value = 0;
        while (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > limit) return false;
            c = Next();
        }
        // A comment right after a number ends it as its line's end does.
        if (c == '#') c = EndOfComment();
        last_ = c;
        return true;
    }
    // The byte that ended the last number (a comment's line end).
    int Last() const { return last_; }

private:
    CCodecInput& input_;
    std::uint8_t buffer_[kBufferBytes];
    std::size_t next_ = 0, end_ = 0;
    int last_ = -1;
};

class CPnmReader : public CPictureReader {
public:
    explicit CPnmReader(CCodecInput& input)
        : input_(input), scanner_(std::make_unique<CTextScanner>(input)) {}

    bool ReadHeader(SPictureHeader& header) override {
        CTextScanner& s = *scanner_;
        if (s.Next() != 'P') return Damaged("no signature");
        const int type = s.Next();
        text_ = type == '1' || type == '2' || type == '3';
        bitmap_ = type == '1' || type == '4';
        channels_ = (type == '3' || type == '6') ? 3 : 1;
        name_ = bitmap_ ? "PBM" : channels_ == 3 ? "PPM" : "PGM";
        std::uint64_t width = 0, height = 0, maximum = 1;
        if (!s.Number(0x7FFFFFFF, width) || !s.Number(0x7FFFFFFF, height))
            return Damaged("invalid width or height");
        if (!bitmap_ && (!s.Number(65535, maximum) || maximum == 0))
            return Damaged("invalid maximum value");
        maximum_ = static_cast<unsigned>(maximum);
        // One white-space byte separates the header from binary data.
        if (!CTextScanner::IsSpace(s.Last())) return Damaged("no pixel data");
        dataStart_ = s.Position();
        const std::uint64_t samples = width * height * channels_;
        if (samples > (std::uint64_t{1} << 40)) return Damaged("invalid width or height");
        const std::uint64_t remaining = input_.Length() - dataStart_;
        // Text PBM digits may be packed, one byte each; PBM rows are
        // whole bytes of eight pixels.
        const std::uint64_t needed = bitmap_ ? (text_ ? samples : (width + 7) / 8 * height)
                                     : text_ ? 2 * samples - 1
                                             : samples * (maximum_ > 255 ? 2 : 1);
        if (width == 0 || height == 0 || needed > remaining)
            return Damaged("the pixel data is shorter than the picture it claims");
        header.width = static_cast<std::int64_t>(width);
        header.height = static_cast<std::int64_t>(height);
        header.kind = channels_ == 3 ? PictureKind::Colour24 : PictureKind::Grey8;
        // Deep grey goes through the read driver's window; deep colour is
        // brought to 8 bits by its maximum.
        // Its depth is the bits its maximum needs (1023: 10 bits).
        if (maximum_ > 255 && channels_ == 1)
            header.sampleBits = std::bit_width(maximum_), header.white = maximum_;
        if (maximum_ > 255 && channels_ == 3)
            losses_.sampleBits = 16, losses_.windowHigh = maximum_;
        return true;
    }

    bool ReadPixels(const SPictureRows& rows) override {
        const samples::SColumns all{0, 1, rows.width};
        rowSamples_ = static_cast<std::uint64_t>(rows.width) * channels_;
        if (bitmap_)
            return ForEachRow(rows, [&](int y, std::uint8_t* raw) {
                samples::GreyLevels(raw, 1, 1, true, all, rows.Row(y));
            });
        const bool wide = maximum_ > 255;
        if (rows.window != nullptr) {
            deep_.assign(static_cast<std::size_t>(rows.width), 0);
            return ForEachRow(rows, [&](int y, std::uint8_t* raw) {
                samples::DeepGrey(raw, {.bigEndian = true}, all, deep_.data());
                rows.Deep(y, deep_.data(), all);
            });
        }
        const samples::CMaxScale scale(maximum_);
        return ForEachRow(rows, [&](int y, std::uint8_t* raw) {
            std::uint8_t* out = rows.Row(y);
            if (wide) {
                // 16-bit colour: scaled by its maximum into the row itself.
                for (std::uint64_t i = 0; i < rowSamples_; ++i)
                    raw[i] = samples::RoundedLevel(samples::Sample16At(raw, i, true), maximum_);
            } else if (maximum_ != 255) {
                for (std::uint64_t i = 0; i < rowSamples_; ++i) raw[i] = scale(raw[i]);
            }
            if (channels_ == 3)
                samples::ColourBgr(raw, 8, 3, true, all, out);
            else if (raw != out)
                std::copy_n(raw, rowSamples_, out);
        });
    }

private:
    bool Damaged(const std::string& what) {
        return Fail(CodecStatus::Damaged, "damaged " + name_ + " file (" + what + ")");
    }

    // Calls `use` with every row's samples, top row first: 8-bit binary
    // rows in the block row itself, 16-bit big-endian ones, text ones and
    // PBM bits (packed eight a byte, first pixel in the high bit) in a row
    // of their own.
    template <typename Use>
    bool ForEachRow(const SPictureRows& rows, Use use) {
        const std::uint64_t sampleBytes = maximum_ > 255 ? 2 : 1;
        const std::uint64_t rowBytes = bitmap_ ? (rowSamples_ + 7) / 8 : rowSamples_ * sampleBytes;
        scanner_->Restart(dataStart_);
        const bool direct = !text_ && !bitmap_ && sampleBytes == 1;
        if (!text_ && !input_.Seek(dataStart_)) return Damaged("the pixel data is cut short");
        if (!direct) buffer_.assign(rowBytes, 0);
        for (int y = 0; y < rows.height; ++y) {
            std::uint8_t* raw = direct ? rows.Row(y) : buffer_.data();
            if (text_ && bitmap_) {
                std::fill_n(raw, rowBytes, 0);
                for (std::uint64_t x = 0; x < rowSamples_; ++x) {
                    const int digit = scanner_->NextToken();
                    if (digit != '0' && digit != '1')
                        return Damaged(digit == -1 ? "the pixel data is cut short"
                                                   : "a pixel is neither 0 nor 1");
                    if (digit == '1') raw[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            } else if (text_) {
                for (std::uint64_t i = 0; i < rowSamples_; ++i) {
                    std::uint64_t v = 0;
                    if (!scanner_->Number(65535, v)) return Damaged("invalid sample");
                    if (sampleBytes == 2) {
                        raw[2 * i] = static_cast<std::uint8_t>(v >> 8);
                        raw[2 * i + 1] = static_cast<std::uint8_t>(v);
                    } else {
                        raw[i] = static_cast<std::uint8_t>(std::min<std::uint64_t>(v, 255));
                    }
                }
            } else {
                if (input_.Read(raw, rowBytes) != rowBytes)
                    return Damaged("the pixel data is cut short");
            }
            use(y, raw);
        }
        return true;
    }

    CCodecInput& input_;
    std::unique_ptr<CTextScanner> scanner_;
    std::string name_ = "PGM";
    bool text_ = false, bitmap_ = false;
    int channels_ = 1;
    unsigned maximum_ = 255;
    std::uint64_t dataStart_ = 0, rowSamples_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint16_t> deep_;
};

}  // namespace

namespace {

// "P" and one of `types`, followed by white space.
bool MatchesNetpbm(const std::uint8_t* head, std::size_t size, const char* types) {
    return size >= 3 && head[0] == 'P' && head[1] != 0 && std::strchr(types, head[1]) != nullptr &&
           std::strchr(" \t\r\n\v\f", head[2]) != nullptr && head[2] != 0;
}

}  // namespace

// P2/P5 grey.
bool MatchesPgm(const std::uint8_t* head, std::size_t size) {
    return MatchesNetpbm(head, size, "25");
}
// P3/P6 colour.
bool MatchesPpm(const std::uint8_t* head, std::size_t size) {
    return MatchesNetpbm(head, size, "36");
}
// P1/P4 black and white.
bool MatchesPbm(const std::uint8_t* head, std::size_t size) {
    return MatchesNetpbm(head, size, "14");
}

std::unique_ptr<CPictureReader> NewPnmReader(CCodecInput& input) {
    return std::make_unique<CPnmReader>(input);
}
