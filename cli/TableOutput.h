#pragma once
// The one table of a run (--table): the header once, then each file's rows
// in input order whatever order the files finish in. Rows go straight into
// the new file of the complete-or-nothing write (or to standard output), so
// only the rows of files that finished ahead of an earlier one wait in
// memory; the file takes the table's place when the run ends.

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "AtomicFileWrite.h"
#include "CliPlan.h"
#include "MeasureTable.h"

class CTableOutput {
public:
    // Opens the table the plan names; empty back, or the line that says why
    // it cannot be written (no file has been read yet).
    std::string Open(const CliPlan& plan, std::ostream& out);
    const CMeasureTable* Layout() const { return layout_ ? &*layout_ : nullptr; }
    // The rows of the `index`-th file (nothing for a file that failed).
    // Safe to call from any thread.
    void Deliver(std::size_t index, std::string rows);
    // Puts the table in place; empty back, or the line that says why not.
    std::string Finish();

private:
    void Write(const std::string& text);

    std::string name_;
    std::optional<CMeasureTable> layout_;
    std::ostream* standardOutput_ = nullptr;
    CAtomicFileStream file_;
    std::mutex lock_;
    std::size_t next_ = 0;                        // the file whose rows come next
    std::map<std::size_t, std::string> waiting_;  // rows that came early
    int writeError_ = -1;                         // -1: no failure; else errno (0: unknown)
};
