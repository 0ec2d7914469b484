#pragma once
// Just enough JSON for the test data's descriptions: objects, arrays,
// strings without escapes other than \" and \\, integers, null.

#include <cctype>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct CJson {
    enum class Type { Null, Number, String, Array, Object } type = Type::Null;
    long long number = 0;
    std::string text;
    std::vector<CJson> items;
    std::map<std::string, CJson> members;

    bool IsNull() const { return type == Type::Null; }
    const CJson& operator[](const std::string& key) const {
        static const CJson null;
        const auto it = members.find(key);
        return it == members.end() ? null : it->second;
    }

    static CJson Parse(const std::string& source) {
        std::size_t at = 0;
        CJson value = ParseValue(source, at);
        SkipSpace(source, at);
        if (at != source.size()) throw std::runtime_error("JSON: text after the value");
        return value;
    }

private:
    static void SkipSpace(const std::string& s, std::size_t& at) {
        while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
    }
    static void Expect(const std::string& s, std::size_t& at, char c) {
        SkipSpace(s, at);
        if (at >= s.size() || s[at] != c)
            throw std::runtime_error(std::string("JSON: expected ") + c);
        ++at;
    }
    static std::string ParseString(const std::string& s, std::size_t& at) {
        Expect(s, at, '"');
        std::string out;
        while (at < s.size() && s[at] != '"') {
            if (s[at] == '\\') ++at;
            if (at < s.size()) out += s[at++];
        }
        Expect(s, at, '"');
        return out;
    }
    static CJson ParseValue(const std::string& s, std::size_t& at) {
        SkipSpace(s, at);
        CJson v;
        if (at >= s.size()) throw std::runtime_error("JSON: unexpected end");
        const char c = s[at];
        if (c == '"') {
            v.type = Type::String;
            v.text = ParseString(s, at);
        } else if (c == '[') {
            v.type = Type::Array;
            ++at;
            SkipSpace(s, at);
            if (s[at] == ']') return ++at, v;
            do v.items.push_back(ParseValue(s, at));
            while (SkipSpace(s, at), s[at++] == ',');
            if (s[at - 1] != ']') throw std::runtime_error("JSON: expected ]");
        } else if (c == '{') {
            v.type = Type::Object;
            ++at;
            SkipSpace(s, at);
            if (s[at] == '}') return ++at, v;
            do {
                std::string key = ParseString(s, at);
                Expect(s, at, ':');
                v.members[key] = ParseValue(s, at);
            } while (SkipSpace(s, at), s[at++] == ',');
            if (s[at - 1] != '}') throw std::runtime_error("JSON: expected }");
        } else if (s.compare(at, 4, "null") == 0) {
            at += 4;
        } else {
            v.type = Type::Number;
            std::size_t used = 0;
            v.number = std::stoll(s.substr(at, 24), &used);
            at += used;
        }
        return v;
    }
};
