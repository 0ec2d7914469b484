#include "RecipeWords.h"

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// Characters that keep their meaning after a backslash inside double quotes.
bool EscapableInQuotes(char ch) { return ch == '"' || ch == '\\' || ch == '$' || ch == '`'; }

}  // namespace

std::optional<std::vector<std::string>> SplitRecipeWords(std::string_view line,
                                                         std::string& error) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        while (i < line.size() && !IsBlank(line[i])) {
            const char ch = line[i++];
            if (ch == '\\') {
                if (i < line.size()) word += line[i++];
            } else if (ch == '\'') {
                const std::size_t close = line.find('\'', i);
                if (close == std::string_view::npos) {
                    error = "a single quote is not closed";
                    return std::nullopt;
                }
                word.append(line.substr(i, close - i));
                i = close + 1;
            } else if (ch == '"') {
                while (i < line.size() && line[i] != '"') {
                    if (line[i] == '\\' && i + 1 < line.size() && EscapableInQuotes(line[i + 1]))
                        ++i;
                    word += line[i++];
                }
                if (i >= line.size()) {
                    error = "a double quote is not closed";
                    return std::nullopt;
                }
                ++i;
            } else {
                word += ch;
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string QuoteRecipeWord(std::string_view word) {
    bool plain = !word.empty() && word.front() != '#' && word.front() != '~';
    for (char ch : word)
        if (IsBlank(ch) || EscapableInQuotes(ch) ||
            std::string_view("'#;&|<>()*?[]{}!").find(ch) != std::string_view::npos)
            plain = false;
    if (plain) return std::string(word);
    std::string quoted = "\"";
    for (char ch : word) {
        if (EscapableInQuotes(ch)) quoted += '\\';
        quoted += ch;
    }
    return quoted + '"';
}
