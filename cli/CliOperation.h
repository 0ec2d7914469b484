#pragma once
// One operation or report of orvex-cli: its flag, what it takes, and how an
// argument turns into an action on a document. Arguments are checked when the
// command line is read, so a usage error is found before any file is touched.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ImageDocument.h"
#include "MeasureTable.h"
#include "Step.h"

// The rows one file adds to the table of --table.
struct CliRows {
    const CMeasureTable* table = nullptr;  // null: the run has no table
    std::string text;                      // the rows, formatted
};

struct CliContext {
    CImageDocument& doc;
    std::ostream& out;         // reports
    const std::string& input;  // as the user named it; empty for --uniform
    // Files go into folders: a file an operation names is a folder too.
    bool intoFolder;
    CliRows& rows;
    CSize plotSize;  // --histogram-size
    // --page: the operations run on every page of the stack, or on the
    // current one only.
    bool allPages = true;
};

// How an operation meets the pages of a stack.
enum class CliPageUse {
    Each,    // a step run on each page chosen, pages in parallel
    InTurn,  // each page chosen in turn (reports and rows, after "page: K")
    Stack,   // once, on the stack or its current page
};

// Runs one operation; false when it failed (its message is already out).
using CliAction = std::function<bool(CliContext&)>;

struct CliOperation {
    std::string flag;      // "--rotate"
    std::string argument;  // "A", or empty for a flag without argument
    std::string help;      // one line for --help
    // What the document must hold: what the step declares it needs, which is
    // also what enables the desktop command.
    StepNeeds needs = StepNeeds::Nothing;
    // Turns the argument into an action; std::nullopt with `error` set when
    // the argument is not acceptable.
    std::function<std::optional<CliAction>(const std::string& arg, std::string& error)> parse;
    // The desktop command takes the undo copy before it changes the picture
    // (reports, the region of interest and undo itself do not).
    bool takesUndoCopy = true;
    // The argument names a file; in a recipe a relative name is taken from
    // the recipe's folder.
    bool argumentIsFile = false;
    // A report prints what it finds; a command line with one needs no -o.
    bool report = false;
    // Only a setting (the region of interest): the picture stays as it was.
    bool changesPicture = true;
    // Adds rows to the table that --table names.
    bool fillsTable = false;
    CliPageUse pages = CliPageUse::Each;
    // Leaves the stack with a single page (--project, --extract-page).
    bool makesOnePage = false;
    // Said after the engine's message when the step fails, so the reader
    // knows the run stopped there.
    std::string failureNote{};
};

// The same row marked as taking no undo copy (a setting, undo).
CliOperation WithoutUndoCopy(CliOperation operation);
// The same row marked as a report: it prints and changes nothing, page
// after page.
CliOperation AsReport(CliOperation operation);

// A row for an operation without argument that runs a step on the document.
CliOperation StepOperation(std::string flag, std::string help, bool (*step)(CImageDocument&),
                           StepNeeds needs);
template <auto Step>
CliOperation StepOperation(std::string flag, std::string help) {
    return StepOperation(std::move(flag), std::move(help), Step, kStepNeeds<Step>);
}

// Each family of operations adds its own rows, in the file named after the
// core steps it calls (OperationsImage.cpp runs the steps of StepsImage.h).
void AddBasicOperations(std::vector<CliOperation>& table);
void AddImageOperations(std::vector<CliOperation>& table);
void AddFilterOperations(std::vector<CliOperation>& table);
void AddMeasureOperations(std::vector<CliOperation>& table);
void AddValueOperations(std::vector<CliOperation>& table);
void AddStackOperations(std::vector<CliOperation>& table);

// All operations, in the order --help lists them.
const std::vector<CliOperation>& CliOperations();
// The operation of `flag`, or null.
const CliOperation* FindOperation(const std::string& flag);
