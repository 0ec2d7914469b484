#pragma once
// Measurements as a table: one row per measurement of a picture, written as
// CSV, TSV or JSON Lines. orvex-cli and the desktop's "Résultats" window both
// write through here, so the same rows give the same bytes.
//
// The columns are declared once, in order, in MeasureTable.cpp: file, page,
// step, width, height, pixels, min, max, sum, mean, sd (the engine's numbers
// of the levels), value_depth, value_min, value_max, value_mean, value_sd,
// value_nan (exact figures of the file's own values, or of the levels), h0
// .. h255 when the table holds histograms, and error last. A number that is
// not finite is left empty. Numbers never depend on the
// locale: integers in decimal, the standard deviation as the shortest text
// that reads back to the same double, with a "." unless the caller asks for
// another separator (text pasted into a spreadsheet). A CSV or TSV field is
// quoted as RFC 4180 says when it holds the separator, a quote, a line break
// or a space at either end; CSV lines end with CR LF as RFC 4180 says, TSV
// and JSON Lines with LF. Text is always valid UTF-8: bytes of a file name
// that are not are written as U+FFFD. A field a row does not have is empty
// (null in JSON Lines).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ImageStatistics.h"
#include "ValueStatistics.h"

enum class TableFormat { Csv, Tsv, Jsonl };

// "csv", "tsv" or "jsonl".
std::optional<TableFormat> TableFormatFromName(const std::string& name);
// From the extension of `path`: .csv, .tsv or .jsonl (any case).
std::optional<TableFormat> TableFormatFromPath(const std::string& path);

struct CMeasureRow {
    std::string file;  // as the user named it; empty for a picture made in place
    int page = 1;      // the page's number in its file
    int step = 1;      // 1 for the first measurement of a file, 2 for the next ...
    int width = 0, height = 0;
    CImageStatistics statistics;
    SValueStatistics values;
    std::vector<std::uint32_t> histogram;  // empty, or the 256 counts
    // Why the file has no measurement; a row that says why holds no number.
    std::string error;
};

// A row for a file that could not be measured.
CMeasureRow FailedMeasureRow(const std::string& file, const std::string& error);

// The columns of a row without histogram, in order.
const std::vector<std::string>& MeasureColumns();

// One column: its name, and its field in a row (nothing where the row has
// no such value).
struct CMeasureColumn {
    std::string name;
    bool text = false;  // a string in JSON Lines, not a number
    bool real = false;  // a number that may have a fraction, else an integer
    std::function<std::optional<std::string>(const CMeasureRow&)> field;
};

// The histogram as text: a header, then 256 lines LEVEL<TAB>COUNT.
std::string HistogramText(const std::uint32_t counts[256]);

class CMeasureTable {
public:
    explicit CMeasureTable(TableFormat format, bool histogramColumns = false,
                           char decimalSeparator = '.');

    TableFormat Format() const { return format_; }
    // The table's columns: MeasureColumns with h0 .. h255 before error when
    // the table holds histograms.
    std::vector<std::string> Columns() const;
    // Whether column `index` holds numbers that may have a fraction.
    bool IsReal(std::size_t index) const { return index < columns_.size() && columns_[index].real; }
    const std::vector<CMeasureColumn>& ColumnList() const { return columns_; }
    // One cell per column, as the table writes it but unquoted: the file as
    // valid UTF-8, the numbers in decimal with the table's separator in sd;
    // empty where the row has no such value.
    std::vector<std::string> Cells(const CMeasureRow& row) const;

    std::string Header() const;  // nothing for JSON Lines, whose rows name their fields
    // A row without a histogram leaves the histogram columns empty.
    std::string Row(const CMeasureRow& row) const;
    // The whole table: the header, then the rows.
    std::string Text(const std::vector<CMeasureRow>& rows) const;

private:
    std::string Field(const std::string& text) const;
    std::string LineEnd() const;

    TableFormat format_;
    std::vector<CMeasureColumn> columns_;
};
