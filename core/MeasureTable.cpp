#include "MeasureTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

namespace {

const char* const kColumns[] = {"file", "page", "step", "width", "height", "pixels",
                                "min",  "max",  "sum",  "mean",  "sd"};

template <typename Number>
std::string NumberText(Number value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static const char* const hex = "0123456789abcdef";
            quoted += "\\u00";
            quoted += hex[(c >> 4) & 0xF];
            quoted += hex[c & 0xF];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::optional<TableFormat> TableFormatFromName(const std::string& name) {
    if (name == "csv") return TableFormat::Csv;
    if (name == "tsv") return TableFormat::Tsv;
    if (name == "jsonl") return TableFormat::Jsonl;
    return std::nullopt;
}

std::optional<TableFormat> TableFormatFromPath(const std::string& path) {
    const std::string extension = Lower(std::filesystem::path(path).extension().string());
    return extension.empty() ? std::nullopt : TableFormatFromName(extension.substr(1));
}

CMeasureTable::CMeasureTable(TableFormat format, bool histogramColumns, char decimalSeparator)
    : format_(format), histogramColumns_(histogramColumns), decimalSeparator_(decimalSeparator) {}

std::string CMeasureTable::LineEnd() const { return format_ == TableFormat::Csv ? "\r\n" : "\n"; }

std::string CMeasureTable::Field(const std::string& text) const {
    const char separator = format_ == TableFormat::Csv ? ',' : '\t';
    const bool quote =
        text.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string::npos ||
        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? "\"\"" : std::string(1, c);
    return quoted + "\"";
}

std::string CMeasureTable::Header() const {
    if (format_ == TableFormat::Jsonl) return {};
    const std::string separator = format_ == TableFormat::Csv ? "," : "\t";
    std::string line;
    for (const char* column : kColumns) line += (line.empty() ? "" : separator) + column;
    if (histogramColumns_)
        for (int level = 0; level < 256; ++level) line += separator + "h" + NumberText(level);
    return line + LineEnd();
}

std::string CMeasureTable::Row(const CMeasureRow& row) const {
    const CImageStatistics& s = row.statistics;
    std::string sd = NumberText(s.stdev);
    std::replace(sd.begin(), sd.end(), '.', decimalSeparator_);
    const std::string numbers[] = {NumberText(row.page),
                                   NumberText(row.step),
                                   NumberText(row.width),
                                   NumberText(row.height),
                                   NumberText(s.pixels),
                                   NumberText(s.minimum),
                                   NumberText(s.maximum),
                                   NumberText(s.sum),
                                   NumberText(static_cast<int>(s.mean)),
                                   sd};
    const bool histogram = histogramColumns_ && row.histogram.size() == 256;
    std::string line;
    if (format_ == TableFormat::Jsonl) {
        line = "{\"file\":" + JsonString(row.file);
        for (std::size_t i = 0; i < std::size(numbers); ++i)
            line += ",\"" + std::string(kColumns[i + 1]) + "\":" + numbers[i];
        for (int level = 0; histogram && level < 256; ++level)
            line += ",\"h" + NumberText(level) + "\":" + NumberText(row.histogram[level]);
        return line + "}\n";
    }
    const std::string separator = format_ == TableFormat::Csv ? "," : "\t";
    line = Field(row.file);
    for (const std::string& number : numbers) line += separator + number;
    for (int level = 0; histogramColumns_ && level < 256; ++level)
        line += separator + (histogram ? NumberText(row.histogram[level]) : std::string{});
    return line + LineEnd();
}

std::string CMeasureTable::Text(const std::vector<CMeasureRow>& rows) const {
    std::string text = Header();
    for (const CMeasureRow& row : rows) text += Row(row);
    return text;
}

std::string HistogramText(const std::uint32_t counts[256]) {
    std::string text = "level\tcount\n";
    for (int level = 0; level < 256; ++level)
        text += NumberText(level) + "\t" + NumberText(counts[level]) + "\n";
    return text;
}
