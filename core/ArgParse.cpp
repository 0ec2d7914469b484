#include "ArgParse.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

std::optional<long long> ParseInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseReal(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> ParseFloat(const std::string& text) {
    if (!ParseReal(text)) return std::nullopt;
    // Straight from the text, so the value is rounded once.
    return std::strtof(text.c_str(), nullptr);
}

std::optional<std::vector<int>> ParseIntegerList(const std::string& text, long long low,
                                                 long long high) {
    std::vector<int> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const auto value = ParseInteger(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!value || *value < low || *value > high) return std::nullopt;
        values.push_back(static_cast<int>(*value));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return values;
}

std::optional<std::vector<int>> ParseIntegerList(const std::string& text, std::size_t count,
                                                 long long low, long long high) {
    auto values = ParseIntegerList(text, low, high);
    if (!values || values->size() != count) return std::nullopt;
    return values;
}
