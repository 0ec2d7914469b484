#pragma once
// How a recipe line is cut into words, and how a word is written so that it
// reads back the same: as a shell takes them. Words are separated by blanks;
// double quotes keep blanks inside a word, and within them a backslash keeps
// the next " \ $ or ` literal; single quotes keep everything literal up to the
// next single quote; outside quotes a backslash keeps the next character; a #
// that begins a word starts a comment running to the end of the line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The words of one line, or nothing with `error` set (an unterminated quote).
std::optional<std::vector<std::string>> SplitRecipeWords(std::string_view line, std::string& error);

// `word` as it is written on a recipe line: as it stands when it holds
// nothing a shell would treat specially, else in double quotes.
std::string QuoteRecipeWord(std::string_view word);
