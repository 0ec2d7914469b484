#pragma once
// Measurements as a table: one row per measurement of a picture, written as
// CSV, TSV or JSON Lines. orvex-cli and the desktop's "Résultats" window both
// write through here, so the same rows give the same bytes.
//
// Columns: file, page, step, width, height, pixels, min, max, sum, mean, sd
// (MeasureColumns), then h0 .. h255 when the table holds histograms. Numbers never depend on the
// locale: integers in decimal, the standard deviation as the shortest text
// that reads back to the same double, with a "." unless the caller asks for
// another separator (text pasted into a spreadsheet). A CSV or TSV field is
// quoted as RFC 4180 says when it holds the separator, a quote, a line break
// or a space at either end; CSV lines end with CR LF as RFC 4180 says, TSV
// and JSON Lines with LF.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ImageStatistics.h"

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
    std::vector<std::uint32_t> histogram;  // empty, or the 256 counts
};

// The columns of a row without histogram, in order.
const std::vector<std::string>& MeasureColumns();

// The histogram as text: a header, then 256 lines LEVEL<TAB>COUNT.
std::string HistogramText(const std::uint32_t counts[256]);

class CMeasureTable {
public:
    explicit CMeasureTable(TableFormat format, bool histogramColumns = false,
                           char decimalSeparator = '.');

    // The table's columns: MeasureColumns, then h0 .. h255 with histograms.
    std::vector<std::string> Columns() const;
    // One cell per column, as the table writes it but unquoted: the file as
    // named, the numbers in decimal with the table's separator in sd; empty
    // histogram cells for a row without histogram.
    std::vector<std::string> Cells(const CMeasureRow& row) const;

    std::string Header() const;  // nothing for JSON Lines, whose rows name their fields
    // A row without a histogram leaves the histogram columns empty.
    std::string Row(const CMeasureRow& row) const;
    // The whole table: the header, then the rows.
    std::string Text(const std::vector<CMeasureRow>& rows) const;

private:
    std::string Field(const std::string& text) const;
    std::string Separator() const;
    std::string LineEnd() const;

    TableFormat format_;
    bool histogramColumns_;
    char decimalSeparator_;
};
