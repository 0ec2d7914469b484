#pragma once
// The one table of a run (--table): the header once, then each file's rows
// in input order whatever order the files finish in. Rows go straight into
// the new file of the complete-or-nothing write (or to standard output), so
// only the rows of files that finished ahead of an earlier one wait in
// memory; the file takes the table's place when the run ends. Meanwhile each
// file's rows also reach the side file TABLE.part as the file finishes,
// flushed, so a run that is stopped leaves them for the next one (see
// TableRows.h); the side file goes once the table is in place.

#include <cstddef>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "AtomicFileWrite.h"
#include "CliPlan.h"
#include "MeasureTable.h"

// The layout of the table a plan names.
CMeasureTable TableLayout(const CliPlan& plan);

class CTableOutput {
public:
    CTableOutput() = default;
    ~CTableOutput();
    CTableOutput(const CTableOutput&) = delete;
    CTableOutput& operator=(const CTableOutput&) = delete;

    // Opens the table the plan names; empty back, or the line that says why
    // it cannot be written (no file has been read yet).
    // `resume`: a side file left for the same table is added to, not started again.
    std::string Open(const CliPlan& plan, std::ostream& out, bool resume);
    const CMeasureTable* Layout() const { return layout_ ? &*layout_ : nullptr; }
    // The rows of the `index`-th file; `measured`: rows just measured without
    // failure, which go to the side file too. Safe to call from any thread.
    void Deliver(std::size_t index, const std::string& file, std::string rows, bool measured);
    // Puts the table in place; empty back, or the line that says why not.
    std::string Finish();

private:
    void Write(const std::string& text);
    void AddToPart(const std::string& file, const std::string& rows);

    std::string name_;
    std::optional<CMeasureTable> layout_;
    std::ostream* standardOutput_ = nullptr;
    CAtomicFileStream file_;
    std::FILE* part_ = nullptr;  // the side file, when it could be made
    std::mutex lock_;
    std::size_t next_ = 0;                        // the file whose rows come next
    std::map<std::size_t, std::string> waiting_;  // rows that came early
    int writeError_ = -1;                         // -1: no failure; else errno (0: unknown)
};
