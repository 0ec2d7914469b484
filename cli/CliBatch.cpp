#include "CliBatch.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unordered_map>

#include "FileReason.h"

namespace fs = std::filesystem;

namespace {

std::string Problem(const std::string& file, const std::string& what) {
    return "orvex-cli: " + file + ": " + what;
}

// One path a line; blank lines and the CR of CR LF ends are no part of them.
std::string ReadInputList(const std::string& list, std::istream& in,
                          std::vector<std::string>& inputs) {
    std::ifstream file;
    if (list != kStandardStream) {
        std::error_code ec;
        if (fs::is_directory(list, ec)) return Problem(list, SystemReason(EISDIR));
        errno = 0;
        file.open(list);
        if (!file) return Problem(list, SystemReason(errno != 0 ? errno : ENOENT));
    }
    std::istream& lines = list == kStandardStream ? in : file;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) inputs.push_back(line);
    }
    if (lines.bad()) return Problem(list, "error while reading the list");
    return {};
}

// The format a result keeps, from its input's first bytes, read without
// decoding anything.
std::optional<PictureFormat> SniffKeptFormat(const std::string& path) {
    const auto format = DetectPictureFile(path);
    if (!format) return std::nullopt;
    return KeptFormat(*format);
}

// Where an input's result goes in the batch's folder; empty when the input
// is no picture that can be read (it fails when its turn comes).
std::string TargetOf(const CliBatch& batch, const CliInput& input) {
    if (batch.format) return FolderTarget(batch.folder, input.subfolder, input.path, *batch.format);
    const auto format = SniffKeptFormat(input.path);
    return format ? FolderTarget(batch.folder, input.subfolder, input.path, *format)
                  : std::string{};
}

// A file found in a folder input that holds no picture of a known format:
// counted, neither processed nor failed. One that cannot be read is left to
// fail with its reason.
bool IsNotPicture(const CliInput& input) {
    return input.found && !DetectPictureFile(input.path) &&
           std::ifstream(input.path, std::ios::binary).is_open();
}

// Two inputs whose results would land on the same file. Only inputs that
// share a name without extension can meet, so only theirs are looked at.
std::string FindCollision(const CliBatch& batch, const std::vector<CliInput>& inputs) {
    std::unordered_map<std::string, std::vector<std::size_t>> byStem;
    for (std::size_t i = 0; i < inputs.size(); ++i)
        byStem[fs::path(inputs[i].path).stem().string()].push_back(i);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::vector<std::size_t>& group = byStem[fs::path(inputs[i].path).stem().string()];
        if (group.size() < 2 || group.front() != i) continue;
        std::map<std::string, std::size_t> writer;
        for (const std::size_t j : group) {
            const std::string target = TargetOf(batch, inputs[j]);
            if (target.empty()) continue;
            if (const auto first = writer.find(target); first != writer.end())
                return "orvex-cli: " + inputs[first->second].path + " and " + inputs[j].path +
                       " would both be written to " + target;
            writer.emplace(target, j);
        }
    }
    return {};
}

// Checks the output of a batch that goes into a folder.
std::string CheckFolder(const std::string& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return {};
    return Problem(folder, fs::exists(folder, ec) ? SystemReason(ENOTDIR) : SystemReason(ENOENT));
}

}  // namespace

std::string StackInputs(const std::string& from, std::vector<std::string>& paths) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        std::istringstream none;
        if (std::string problem = ReadInputList(from, none, paths); !problem.empty())
            return problem;
    } else {
        std::vector<CliInput> found;
        bool anyFolder = false;
        if (std::string problem = ExpandFolderInputs({from}, false, found, anyFolder);
            !problem.empty())
            return problem;
        for (const CliInput& input : found)
            if (!IsNotPicture(input)) paths.push_back(input.path);
    }
    if (paths.empty()) return Problem(from, "no picture to assemble into a stack");
    return {};
}

std::string FolderTarget(const std::string& folder, const std::string& subfolder,
                         const std::string& input, PictureFormat format) {
    return (fs::path(folder) / subfolder / fs::path(input).stem()).string() +
           FormatExtension(format);
}

PictureFormat KeptFormat(PictureFormat inputFormat) {
    if (!IsWritableFormat(inputFormat) || inputFormat == PictureFormat::Ppm)
        return PictureFormat::Png;
    return inputFormat;
}

std::pair<std::size_t, std::size_t> ShareBounds(std::size_t count, const CliShard& shard) {
    // In 128 bits: K and N may be as large as the command line allows.
    const auto bound = [&](std::size_t k) {
        return static_cast<std::size_t>(static_cast<unsigned __int128>(k) * count / shard.n);
    };
    return {bound(shard.k - 1), bound(shard.k)};
}

std::string PlanBatch(const CliPlan& plan, std::istream& in, CliBatch& batch) {
    std::vector<std::string> named = plan.inputs;
    if (!plan.filesFrom.empty())
        if (std::string problem = ReadInputList(plan.filesFrom, in, named); !problem.empty())
            return problem;
    std::vector<CliInput> inputs;
    if (!plan.stackFrom.empty()) {
        inputs.push_back({plan.stackFrom});
    } else if (std::string problem =
                   ExpandFolderInputs(named, plan.recursive, inputs, batch.fromFolder);
               !problem.empty()) {
        return problem;
    }
    const bool several = inputs.size() > 1 || plan.FromList() || batch.fromFolder;
    batch.several = several;
    for (const CliStep& step : plan.steps)
        if (several && step.operation->flag == "--histogram-plot")
            if (std::string problem = CheckFolder(step.argument); !problem.empty())
                return problem + " (--histogram-plot names a folder when there are several inputs)";
    const bool pictureFromStdin =
        std::find(named.begin(), named.end(), kStandardStream) != named.end();
    if (pictureFromStdin && several)
        return "orvex-cli: - (standard input) can only be the one input (try --help)";

    const std::string& output = plan.output;
    std::error_code ec;
    const bool intoFolder = !output.empty() && output != kStandardStream &&
                            (several || fs::is_directory(output, ec) || output.back() == '/');
    if (intoFolder) {
        if (std::string problem = CheckFolder(output); !problem.empty()) return problem;
        if (pictureFromStdin)
            return "orvex-cli: a picture from standard input needs -o FILE or -o - (try --help)";
        batch.folder = output;
        batch.format = plan.format;
        if (std::string problem = FindCollision(batch, inputs); !problem.empty()) return problem;
    } else if (output == kStandardStream && several) {
        return "orvex-cli: -o - takes the result of one picture (try --help)";
    }

    PictureFormat fileFormat = plan.format.value_or(PictureFormat::Bmp);
    if (!intoFolder && !output.empty() && output != kStandardStream) {
        const auto named = WritableFormatFromPath(output);
        if (!named)
            return Problem(output, "the extension says what is written: " +
                                       JoinWords(WritableExtensions("."), " or ") +
                                       " (try --help)");
        if (plan.format && *plan.format != *named)
            return Problem(output, "--format says another format than the extension");
        fileFormat = *named;
    }

    std::size_t first = 0, last = inputs.size();
    if (plan.shard) std::tie(first, last) = ShareBounds(inputs.size(), *plan.shard);
    if (inputs.empty() && !several) inputs.push_back({}), last = 1;  // --uniform
    batch.files = last - first;
    for (std::size_t i = first; i < last; ++i) {
        if (!plan.stackFrom.empty()) {
            batch.jobs.push_back({inputs[i].path, output, fileFormat, {}, true});
            continue;
        }
        if (IsNotPicture(inputs[i])) {
            ++batch.notPictures;
            continue;
        }
        CliJob job{inputs[i].path, intoFolder ? TargetOf(batch, inputs[i]) : output, fileFormat,
                   inputs[i].subfolder};
        if (intoFolder && !job.target.empty()) job.format = *WritableFormatFromPath(job.target);
        if (plan.skipExisting && !job.target.empty() && fs::exists(job.target, ec)) {
            ++batch.skipped;
            continue;
        }
        batch.jobs.push_back(std::move(job));
    }
    return {};
}
