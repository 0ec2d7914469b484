#include "PaletteFile.h"

#include <cstdio>
#include <memory>

#include "AtomicFileWrite.h"
#include "Message.h"

namespace {

// No palette file comes anywhere near this; larger files are not read.
constexpr long kMaxFileBytes = 1 << 20;

bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// Reads the text the way a formatted scan does: literals match character by
// character, white space in the pattern skips any white space.
class CPaletteScanner {
public:
    explicit CPaletteScanner(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    // Consumes the longest matching prefix of `literal`; true when all of it matched.
    bool Match(std::string_view literal) {
        for (char ch : literal) {
            if (pos_ >= text_.size() || text_[pos_] != ch) return false;
            ++pos_;
        }
        return true;
    }

    // A decimal integer with optional sign, reduced to its low 8 bits.
    std::optional<std::uint8_t> ReadByte() {
        SkipSpace();
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-'))
            negative = text_[pos_++] == '-';
        unsigned value = 0;
        const std::size_t digitsStart = pos_;
        for (; pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; ++pos_)
            value = (value * 10 + static_cast<unsigned>(text_[pos_] - '0')) & 0xFFu;
        if (pos_ == digitsStart) return std::nullopt;
        return static_cast<std::uint8_t>(negative ? 0u - value : value);
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string FormatPaletteFile(const CPaletteColors& colors) {
    std::string text = "JASC-PAL\r\n0100\r\n256\r\n";
    for (std::size_t n = 0; n < 256; ++n) {
        text += std::to_string(colors.red[n]) + ' ' + std::to_string(colors.green[n]) + ' ' +
                std::to_string(colors.blue[n]) + "\r\n";
    }
    return text;
}

std::optional<CPaletteColors> ParsePaletteFile(std::string_view text) {
    CPaletteScanner scan(text);
    // The header stops matching at the first difference, silently.
    for (std::string_view part : {"JASC-PAL", "0100", "256"}) {
        if (!scan.Match(part)) break;
        scan.SkipSpace();
    }
    CPaletteColors colors;
    for (std::size_t n = 0; n < 256; ++n) {
        for (auto* channel : {&colors.red, &colors.green, &colors.blue}) {
            const auto value = scan.ReadByte();
            if (!value) return std::nullopt;
            (*channel)[n] = *value;
        }
    }
    return colors;
}

bool WritePaletteFile(const std::string& path, const CPaletteColors& colors) {
    const std::string text = FormatPaletteFile(colors);
    const AtomicWriteResult result = WriteFileAtomically(
        path, [&](CByteStream& out) { return out.Write(text.data(), text.size()); });
    if (result == AtomicWriteResult::Ok) return true;
    ShowMessage("Ecriture de fichier impossible");
    return false;
}

bool ReadPaletteFile(const std::string& path, CPaletteColors& colors) {
    std::string text;
    if (FilePtr file{std::fopen(path.c_str(), "rb")}) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0 &&
               text.size() <= static_cast<std::size_t>(kMaxFileBytes))
            text.append(buffer, got);
        if (std::ferror(file.get()) == 0 &&
            text.size() <= static_cast<std::size_t>(kMaxFileBytes)) {
            if (const auto parsed = ParsePaletteFile(text)) {
                colors = *parsed;
                return true;
            }
        }
    }
    ShowMessage("Lecture de fichier impossible");
    return false;
}
