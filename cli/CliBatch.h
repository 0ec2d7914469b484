#pragma once
// From the inputs a plan names to the files of this run: the list read,
// this job's share taken, each input's output file and format chosen, and
// the inputs whose output exists left out. Every check here comes before any
// picture is read, so a usage problem never leaves half a batch behind.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "CliPlan.h"
#include "FolderInputs.h"
#include "PictureFormat.h"

struct CliJob {
    std::string input;   // empty for a picture made with --uniform; "-" standard input
    std::string target;  // empty: nothing written; "-" standard output
    PictureFormat format = PictureFormat::Bmp;  // what the target is written in
    std::string subfolder;  // where the target goes under the batch's folder (--recursive)
    bool stack = false;     // the input is --stack-from's list or folder
};

// The pictures --stack-from names: the lines of a list file, or the picture
// files of a folder in byte order of their names. Empty back, or what is
// wrong.
std::string StackInputs(const std::string& from, std::vector<std::string>& paths);

struct CliBatch {
    std::vector<CliJob> jobs;
    std::string folder;                   // where the results go, when they go into a folder
    std::optional<PictureFormat> format;  // --format, for a folder
    std::size_t files = 0;                // inputs of this share, skipped ones included
    std::size_t skipped = 0;              // left out by --skip-existing
    std::size_t notPictures = 0;          // files of no known format found in folder inputs
    bool fromFolder = false;              // some input is a folder
    // More than one input, inputs from a list or a folder: a batch however
    // many files it holds.
    bool several = false;
};

// Fills `batch`; empty back, or the one line that says what is wrong
// (exit status 2). `in` is read when the list comes from standard input.
std::string PlanBatch(const CliPlan& plan, std::istream& in, CliBatch& batch);

// The file an input's result goes to in `folder`, or in its `subfolder`: the
// input's name without its extension, with the extension of `format`.
std::string FolderTarget(const std::string& folder, const std::string& subfolder,
                         const std::string& input, PictureFormat format);

// The format a result is written in when nothing asks for one: the input's,
// PNG for a format that is read, never written (JPEG) and for a colour PPM
// (as folder batches have always written it).
PictureFormat KeptFormat(PictureFormat inputFormat);

// The inputs of the K-th of N shares of `count` inputs, as [first, last):
// consecutive, in list order, sizes differing by one at most.
std::pair<std::size_t, std::size_t> ShareBounds(std::size_t count, const CliShard& shard);
