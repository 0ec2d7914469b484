#include "TableRows.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "Utf8Text.h"

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file ? text.str() : std::string{};
}

// One record of a CSV or TSV table: where it ends, its first and last fields.
struct CRecord {
    std::size_t end = 0;
    std::string first, last;
};

// Reads the record at `at`, quoted as RFC 4180 says; false when the text ends
// inside it.
bool NextRecord(const std::string& text, std::size_t at, char separator, CRecord& record) {
    std::string field;
    bool firstField = true, quoted = false;
    for (std::size_t i = at; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator || c == '\n' || c == '\r') {
            if (firstField) record.first = field;
            firstField = false;
            if (c == separator) {
                field.clear();
                continue;
            }
            record.last = field;
            record.end = i + (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
            return true;
        } else {
            field += c;
        }
    }
    return false;
}

// The string at `at` in a JSON line as the table writes it.
bool JsonString(const std::string& text, std::size_t at, std::string& value) {
    if (at >= text.size() || text[at] != '"') return false;
    value.clear();
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '"') return true;
        if (text[i] != '\\') {
            value += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == 'u' && i + 5 < text.size()) {
            unsigned code = 0;
            std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16);
            value += static_cast<char>(code);
            i += 5;
        } else if (i + 1 < text.size()) {
            value += text[++i];
        }
    }
    return false;
}

// Calls `keep` with each record's file, its text and whether it measured.
void ReadRecords(const std::string& text, const CMeasureTable& layout,
                 const std::function<void(const std::string&, std::string, bool)>& keep) {
    std::size_t at = 0;
    if (layout.Format() == TableFormat::Jsonl) {
        static const std::string kOk = ",\"error\":\"\"}\n";
        while (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            if (end == std::string::npos) return;
            const std::string line = text.substr(at, end + 1 - at);
            std::string file;
            if (line.rfind("{\"file\":", 0) != 0 || !JsonString(line, 8, file)) return;
            keep(file, line,
                 line.size() >= kOk.size() &&
                     line.compare(line.size() - kOk.size(), kOk.size(), kOk) == 0);
            at = end + 1;
        }
        return;
    }
    const std::string header = layout.Header();
    if (text.compare(0, header.size(), header) != 0) return;
    at = header.size();
    const char separator = layout.Format() == TableFormat::Csv ? ',' : '\t';
    for (CRecord record; at < text.size() && NextRecord(text, at, separator, record);
         at = record.end)
        keep(record.first, text.substr(at, record.end - at), record.last.empty());
}

}  // namespace

std::string TablePartPath(const std::string& table) { return table + ".part"; }

std::string TablePartSignature(const CMeasureTable& layout) {
    std::string line = "orvex-cli rows of a ";
    line += layout.Format() == TableFormat::Csv   ? "csv"
            : layout.Format() == TableFormat::Tsv ? "tsv"
                                                  : "jsonl";
    line += " table:";
    for (const std::string& column : layout.Columns()) line += " " + column;
    return line + "\n";
}

// After its signature, the side file is records of two lines: the length of
// the file name and of its rows, then both as they are. A record cut short
// by a kill is left out.
void CTableRows::ReadPart(const std::string& text, const CMeasureTable& layout) {
    const std::string signature = TablePartSignature(layout);
    if (text.compare(0, signature.size(), signature) != 0) return;
    std::istringstream records(text.substr(signature.size()));
    for (;;) {
        std::size_t fileLength = 0, rowsLength = 0;
        if (!(records >> fileLength >> rowsLength) || records.get() != '\n') return;
        std::string file(fileLength, '\0'), rows(rowsLength, '\0');
        if (!records.read(file.data(), static_cast<std::streamsize>(fileLength)) ||
            !records.read(rows.data(), static_cast<std::streamsize>(rowsLength)) ||
            records.get() != '\n')
            return;
        fromPart_[ValidUtf8(file)] = std::move(rows);
    }
}

// A file with an error row anywhere is measured again, whatever rows it has.
void CTableRows::ReadTable(const std::string& text, const CMeasureTable& layout) {
    std::set<std::string> failed;
    const auto keep = [&](const std::string& file, std::string rows, bool ok) {
        if (ok)
            rows_[file] += rows;
        else
            failed.insert(file);
    };
    ReadRecords(text, layout, keep);
    for (const std::string& file : failed) rows_.erase(file);
}

void CTableRows::Load(const std::string& table, const CMeasureTable& layout) {
    ReadTable(ReadWhole(table), layout);
    ReadPart(ReadWhole(TablePartPath(table)), layout);
}

const std::string* CTableRows::Find(const std::string& file) const {
    const std::string key = ValidUtf8(file);
    if (const auto found = fromPart_.find(key); found != fromPart_.end()) return &found->second;
    if (const auto found = rows_.find(key); found != rows_.end()) return &found->second;
    return nullptr;
}
