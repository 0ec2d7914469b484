#include "MeasureTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

#include "Utf8Text.h"

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

// A number of the measurement; a row that says why it has none has none.
template <typename Get>
CMeasureColumn Measured(std::string name, Get get, bool text = false, bool real = false) {
    return {std::move(name), text, real,
            [get](const CMeasureRow& row) -> std::optional<std::string> {
                if (!row.error.empty()) return std::nullopt;
                return get(row);
            }};
}

// A real number in its shortest form with the table's separator, exact as a
// double (a float sample reads back as the very float); nothing when it is
// not finite.
std::optional<std::string> RealText(double value, char separator) {
    std::string text = ValueNumberText(value);
    if (text.empty()) return std::nullopt;
    std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

// Every column of the table, in order: the one place a column is declared.
std::vector<CMeasureColumn> MakeColumns(bool histogram, char decimalSeparator) {
    const auto Real = [decimalSeparator](std::string name, double (*get)(const CMeasureRow&)) {
        return Measured(
            std::move(name),
            [decimalSeparator, get](const CMeasureRow& r) {
                return RealText(get(r), decimalSeparator);
            },
            false, true);
    };
    std::vector<CMeasureColumn> columns = {
        {"file", true, false, [](const CMeasureRow& r) { return std::optional(r.file); }},
        Measured("page", [](const CMeasureRow& r) { return NumberText(r.page); }),
        Measured("step", [](const CMeasureRow& r) { return NumberText(r.step); }),
        Measured("width", [](const CMeasureRow& r) { return NumberText(r.width); }),
        Measured("height", [](const CMeasureRow& r) { return NumberText(r.height); }),
        Measured("pixels", [](const CMeasureRow& r) { return NumberText(r.statistics.pixels); }),
        Measured("min", [](const CMeasureRow& r) { return NumberText(r.statistics.minimum); }),
        Measured("max", [](const CMeasureRow& r) { return NumberText(r.statistics.maximum); }),
        Measured("sum", [](const CMeasureRow& r) { return NumberText(r.statistics.sum); }),
        Measured(
            "mean",
            [](const CMeasureRow& r) { return NumberText(static_cast<int>(r.statistics.mean)); }),
        Real("sd", [](const CMeasureRow& r) { return r.statistics.stdev; }),
        Measured(
            "value_depth", [](const CMeasureRow& r) { return std::optional(r.values.depth); },
            true),
        Real("value_min", [](const CMeasureRow& r) { return r.values.minimum; }),
        Real("value_max", [](const CMeasureRow& r) { return r.values.maximum; }),
        Real("value_mean", [](const CMeasureRow& r) { return r.values.mean; }),
        Real("value_sd", [](const CMeasureRow& r) { return r.values.sd; }),
        Measured("value_nan", [](const CMeasureRow& r) { return NumberText(r.values.nan); }),
    };
    for (int level = 0; histogram && level < 256; ++level)
        columns.push_back({"h" + NumberText(level), false, false,
                           [level](const CMeasureRow& r) -> std::optional<std::string> {
                               if (!r.error.empty() || r.histogram.size() != 256)
                                   return std::nullopt;
                               return NumberText(r.histogram[level]);
                           }});
    columns.push_back(
        {"error", true, false, [](const CMeasureRow& r) { return std::optional(r.error); }});
    return columns;
}

}  // namespace

CMeasureRow FailedMeasureRow(const std::string& file, const std::string& error) {
    CMeasureRow row;
    row.file = file;
    row.error = error;
    return row;
}

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
    : format_(format), columns_(MakeColumns(histogramColumns, decimalSeparator)) {}

const std::vector<std::string>& MeasureColumns() {
    static const std::vector<std::string> columns = CMeasureTable(TableFormat::Csv).Columns();
    return columns;
}

std::vector<std::string> CMeasureTable::Columns() const {
    std::vector<std::string> names;
    for (const CMeasureColumn& column : columns_) names.push_back(column.name);
    return names;
}

std::vector<std::string> CMeasureTable::Cells(const CMeasureRow& row) const {
    std::vector<std::string> cells;
    for (const CMeasureColumn& column : columns_) {
        const auto field = column.field(row);
        cells.push_back(!field ? std::string{} : column.text ? ValidUtf8(*field) : *field);
    }
    return cells;
}

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
    for (const CMeasureColumn& column : columns_)
        line += (line.empty() ? "" : separator) + column.name;
    return line + LineEnd();
}

std::string CMeasureTable::Row(const CMeasureRow& row) const {
    std::string line;
    if (format_ == TableFormat::Jsonl) {
        for (const CMeasureColumn& column : columns_) {
            const auto field = column.field(row);
            line += (line.empty() ? "{\"" : ",\"") + column.name + "\":" +
                    (!field        ? "null"
                     : column.text ? JsonString(ValidUtf8(*field))
                                   : *field);
        }
        return line + "}\n";
    }
    const std::string separator = format_ == TableFormat::Csv ? "," : "\t";
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const auto field = columns_[i].field(row);
        if (i > 0) line += separator;
        if (field) line += columns_[i].text ? Field(ValidUtf8(*field)) : *field;
    }
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
