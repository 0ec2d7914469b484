#include "SampleWindowText.h"

#include <charconv>

std::string SampleValueText(double value, SampleKind kind) {
    char text[64];
    const std::to_chars_result end =
        kind == SampleKind::Float
            ? std::to_chars(text, text + sizeof text, static_cast<float>(value))
            : std::to_chars(text, text + sizeof text, static_cast<long long>(value));
    return std::string(text, end.ptr);
}

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
    return WindowValues(losses.sampleKind, losses.windowLow, losses.windowHigh);
}

std::string WindowValues(SampleKind kind, double low, double high) {
    return SampleValueText(low, kind) + ".." + SampleValueText(high, kind);
}

std::string SampleDepthEnglish(SampleKind kind, int bits) {
    const char* words = kind == SampleKind::Signed  ? " signed"
                        : kind == SampleKind::Float ? " float"
                                                    : " unsigned";
    return std::to_string(bits) + "-bit" + words;
}
