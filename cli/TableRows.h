#pragma once
// The rows a table already has, so that a run resumed with --skip-existing
// keeps every row: those the side file TABLE.part holds (written as files
// finish, left behind by a run that was stopped) and those of the previous
// table. Only rows of files that were measured without failure count: a file
// that failed is tried again.

#include <string>
#include <unordered_map>

#include "MeasureTable.h"

// The side file of `table`.
std::string TablePartPath(const std::string& table);
// The first line of a side file: which table's rows it holds.
std::string TablePartSignature(const CMeasureTable& layout);

class CTableRows {
public:
    // Reads the side file and the table at `table`, each only when it was
    // written with the columns and format of `layout`.
    void Load(const std::string& table, const CMeasureTable& layout);
    // The rows of `file` as the table holds them, or null.
    const std::string* Find(const std::string& file) const;

private:
    void ReadPart(const std::string& text, const CMeasureTable& layout);
    void ReadTable(const std::string& text, const CMeasureTable& layout);

    std::unordered_map<std::string, std::string> rows_;  // by file, as the table writes it
    std::unordered_map<std::string, std::string> fromPart_;
};
