#include "MeasureTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

namespace {

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

std::string CMeasureTable::Separator() const { return format_ == TableFormat::Csv ? "," : "\t"; }

std::string CMeasureTable::LineEnd() const { return format_ == TableFormat::Csv ? "\r\n" : "\n"; }

std::string CMeasureTable::Field(const std::string& text) const {
    const bool quote = text.find_first_of(Separator() + "\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? "\"\"" : std::string(1, c);
    return quoted + "\"";
}

const std::vector<std::string>& MeasureColumns() {
    static const std::vector<std::string> columns = {
        "file", "page", "step", "width", "height", "pixels", "min", "max", "sum", "mean", "sd"};
    return columns;
}

std::vector<std::string> CMeasureTable::Columns() const {
    std::vector<std::string> columns = MeasureColumns();
    for (int level = 0; histogramColumns_ && level < 256; ++level)
        columns.push_back("h" + NumberText(level));
    return columns;
}

std::vector<std::string> CMeasureTable::Cells(const CMeasureRow& row) const {
    const CImageStatistics& s = row.statistics;
    std::string sd = NumberText(s.stdev);
    std::replace(sd.begin(), sd.end(), '.', decimalSeparator_);
    std::vector<std::string> cells = {row.file,
                                      NumberText(row.page),
                                      NumberText(row.step),
                                      NumberText(row.width),
                                      NumberText(row.height),
                                      NumberText(s.pixels),
                                      NumberText(s.minimum),
                                      NumberText(s.maximum),
                                      NumberText(s.sum),
                                      NumberText(static_cast<int>(s.mean)),
                                      sd};
    const bool histogram = row.histogram.size() == 256;
    for (int level = 0; histogramColumns_ && level < 256; ++level)
        cells.push_back(histogram ? NumberText(row.histogram[level]) : std::string{});
    return cells;
}

std::string CMeasureTable::Header() const {
    if (format_ == TableFormat::Jsonl) return {};
    std::string line;
    for (const std::string& column : Columns()) line += (line.empty() ? "" : Separator()) + column;
    return line + LineEnd();
}

std::string CMeasureTable::Row(const CMeasureRow& row) const {
    const std::vector<std::string> cells = Cells(row);
    std::string line;
    if (format_ == TableFormat::Jsonl) {
        // Every field but the file is a number; a row without histogram has
        // no histogram fields.
        const std::vector<std::string> columns = Columns();
        line = "{\"file\":" + JsonString(cells[0]);
        for (std::size_t i = 1; i < cells.size(); ++i)
            if (!cells[i].empty()) line += ",\"" + columns[i] + "\":" + cells[i];
        return line + "}\n";
    }
    line = Field(cells[0]);
    for (std::size_t i = 1; i < cells.size(); ++i) line += Separator() + cells[i];
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
