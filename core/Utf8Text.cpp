#include "Utf8Text.h"

namespace {

// The length of the well-formed sequence at `at`, or 0.
std::size_t SequenceLength(const std::string& s, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
    };
    const unsigned lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string ValidUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes)) return bytes;
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            ++at;
        } else {
            text.append(bytes, at, length);
            at += length;
        }
    }
    return text;
}
