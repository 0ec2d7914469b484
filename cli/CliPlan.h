#pragma once
// What orvex-cli is asked to do, read in full before any picture is touched:
// the inputs, the operations in order (from the command line and from
// recipe files) and the output.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "CliOperation.h"
#include "HistogramPlot.h"
#include "MeasureTable.h"
#include "PictureCodec.h"
#include "PictureFormat.h"

struct CliStep {
    const CliOperation* operation;
    CliAction action;
    std::string argument;  // as given (a file taken from a recipe's folder)
    // Whether the step takes its undo copy: only when a later --undo uses it.
    bool keepsUndoCopy = true;
};

// --shard K/N: the K-th of N shares, K counted from 1.
struct CliShard {
    std::size_t k = 1, n = 1;
};

// The most workers --jobs takes.
constexpr int kMaxJobs = 1024;

// The name of standard input and output on the command line.
inline const std::string kStandardStream = "-";

struct CliPlan {
    std::vector<std::string> inputs;
    std::vector<CliStep> steps;
    std::string output;                      // -o: a file, a folder, or "-"
    std::optional<PictureFormat> format;     // --format
    std::string filesFrom;                   // --files-from: a list file, or "-"
    std::optional<CliShard> shard;           // --shard
    bool skipExisting = false;               // --skip-existing
    bool keepDepth = false;                  // --depth keep
    bool recursive = false;                  // --recursive: folder inputs take their subfolders
    std::string table;                       // --table: a file, or "-"
    std::optional<TableFormat> tableFormat;  // --table-format
    CSize histogramSize = kPlotDefaultSize;  // --histogram-size
    std::optional<int> jobs;                 // --jobs, -j
    SPageRange pages;                        // --pages: the first page unless told
    std::string stackFrom;                   // --stack-from: a list file or a folder
    bool help = false;
    bool listFilters = false;  // --list-filters
    bool version = false;      // --version
    // Only reports about the program itself: no input needed.
    bool ReportOnly() const { return help || listFilters || version; }
    // Whether some step prints what it finds.
    bool HasReport() const;
    // Whether some step fills the table, and with histograms.
    bool Measures() const;
    bool MeasuresHistogram() const;
    // Whether some step leaves a stack of one page (--project, ...).
    bool MakesOnePage() const;
    // Whether the inputs come from a list or a share of one: a batch even
    // when it holds a single file, or none.
    bool FromList() const { return !filesFrom.empty() || shard.has_value(); }
};

// Reads the command line into `plan`. Empty back when it is acceptable,
// otherwise the one line to print: "orvex-cli: what is wrong (try --help)",
// or for a recipe "orvex-cli: FILE:LINE: what is wrong".
std::string ReadPlan(const std::vector<std::string>& args, CliPlan& plan);

// Reads the operations of the recipe `path` onto `steps`; empty back when
// every line is acceptable, else "orvex-cli: FILE:LINE: what is wrong" (or
// why the file cannot be read).
std::string ReadRecipe(const std::string& path, std::vector<CliStep>& steps);

// Decides which steps keep their undo copy: a step's copy is only ever used
// by an --undo that follows with no other copying step in between.
void PlanUndoCopies(std::vector<CliStep>& steps);
