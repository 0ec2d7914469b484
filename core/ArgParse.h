#pragma once
// Strict parsing of the arguments of orvex-cli and of recipe lines: a whole
// token or nothing.

#include <optional>
#include <string>
#include <vector>

// A decimal integer (optional sign), no trailing characters.
std::optional<long long> ParseInteger(const std::string& text);
// A decimal real number, no trailing characters.
std::optional<double> ParseReal(const std::string& text);
// A decimal real number rounded to a 32-bit float, as a dialog field holding
// a float reads it; a value beyond the float range becomes an infinity.
std::optional<float> ParseFloat(const std::string& text);
// Exactly `count` comma-separated integers, each within [low, high].
std::optional<std::vector<int>> ParseIntegerList(const std::string& text, std::size_t count,
                                                 long long low, long long high);
// Any number of comma-separated integers within [low, high].
std::optional<std::vector<int>> ParseIntegerList(const std::string& text, long long low,
                                                 long long high);
