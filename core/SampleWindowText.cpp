#include "SampleWindowText.h"

#include <charconv>

namespace {

std::string Shortest(double value, SampleKind kind) {
    char text[64];
    const std::to_chars_result end =
        kind == SampleKind::Float
            ? std::to_chars(text, text + sizeof text, static_cast<float>(value))
            : std::to_chars(text, text + sizeof text, static_cast<long long>(value));
    return std::string(text, end.ptr);
}

}  // namespace

std::string SampleDepthWords(const SPictureLosses& losses) {
    const std::string bits = std::to_string(losses.sampleBits) + " bits";
    switch (losses.sampleKind) {
        case SampleKind::Signed:
            return bits + " signés";
        case SampleKind::Float:
            return bits + " flottants";
        case SampleKind::Unsigned:
            break;
    }
    return bits;
}

std::string WindowValues(const SPictureLosses& losses) {
    return Shortest(losses.windowLow, losses.sampleKind) + ".." +
           Shortest(losses.windowHigh, losses.sampleKind);
}
