#include "CliPlan.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ArgParse.h"
#include "HistogramPlot.h"
#include "OptionWords.h"
#include "RecipeWords.h"

namespace {

// No recipe comes anywhere near this; a larger file is not one.
constexpr std::uintmax_t kMaxRecipeBytes = 1 << 20;

bool IsOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// Reads the operation at words[i] and its argument, moving i past them. In a
// recipe (`folder` not empty) a relative file name is taken from the folder.
std::string ReadOperation(const std::vector<std::string>& words, std::size_t& i,
                          std::vector<CliStep>& steps, const std::filesystem::path& folder) {
    const std::string& flag = words[i++];
    const CliOperation* op = FindOperation(flag);
    if (op == nullptr) return UnknownOption(flag);
    std::string arg;
    if (!op->argument.empty()) {
        if (i >= words.size()) return flag + " needs " + op->argument;
        arg = words[i++];
        if (op->argumentIsFile && arg.empty()) return flag + " needs a file name, not an empty one";
        if (op->argumentIsFile && !folder.empty() && std::filesystem::path(arg).is_relative())
            arg = (folder / arg).string();
    }
    std::string error;
    auto action = op->parse(arg, error);
    if (!action) return (arg.empty() ? flag : flag + " " + arg) + ": " + error;
    steps.push_back({op, std::move(*action), arg});
    return {};
}

// One recipe line: one operation with its argument, or nothing.
std::string ReadRecipeLine(const std::string& line, std::vector<CliStep>& steps,
                           const std::filesystem::path& folder) {
    std::string error;
    auto words = SplitRecipeWords(line, error);
    if (!words) return error;
    if (words->empty()) return {};
    if (std::string problem = SplitAssignments(*words); !problem.empty()) return problem;
    const std::string& first = words->front();
    if (first == "--recipe") return "a recipe cannot run another recipe";
    if (!IsOption(first) || (FindOperation(first) == nullptr && TakesValue(first)) ||
        first == "--help" || first == "-h")
        return "'" + first + "' is not an operation (inputs and -o go on the command line)";
    std::size_t i = 0;
    if (std::string problem = ReadOperation(*words, i, steps, folder); !problem.empty())
        return problem;
    if (i < words->size()) return "one operation a line: '" + (*words)[i] + "' is left over";
    return {};
}

std::optional<CliShard> ParseShard(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return std::nullopt;
    const auto k = ParseInteger(text.substr(0, slash)), n = ParseInteger(text.substr(slash + 1));
    if (!k || !n || *k < 1 || *k > *n) return std::nullopt;
    return CliShard{static_cast<std::size_t>(*k), static_cast<std::size_t>(*n)};
}

// --pages: all, K or K-L.
std::optional<SPageRange> ParsePageRange(const std::string& text) {
    if (text == "all") return SPageRange{1, 0};
    const std::size_t dash = text.find('-');
    const auto first = ParseInteger(text.substr(0, dash));
    const auto last = dash == std::string::npos ? first : ParseInteger(text.substr(dash + 1));
    if (!first || !last || *first < 1 || *last < *first || *last > limits::kMaxPages)
        return std::nullopt;
    return SPageRange{static_cast<int>(*first), static_cast<int>(*last)};
}

// An option of the program with its value; empty back, or what is wrong
// (a recipe's problem comes whole, starting "orvex-cli: ").
std::string ReadProgramOption(const std::string& flag, const std::string& value, CliPlan& plan) {
    if (flag == "--recipe") return ReadRecipe(value, plan.steps);
    if (value.empty()) return flag + " needs a name, not an empty one";
    if (flag == "-o") {
        if (!plan.output.empty()) return "-o given twice";
        plan.output = value;
    } else if (flag == "--format") {
        plan.format = WritableFormatFromName(value);
        if (!plan.format)
            return "--format " + value + ": expects " + JoinWords(WritableExtensions(), " or ");
    } else if (flag == "--depth") {
        if (value != "keep" && value != "8") return "--depth " + value + ": expects keep or 8";
        plan.keepDepth = value == "keep";
    } else if (flag == "--files-from") {
        if (!plan.filesFrom.empty()) return "--files-from given twice";
        plan.filesFrom = value;
    } else if (flag == "--table") {
        if (!plan.table.empty()) return "--table given twice";
        plan.table = value;
    } else if (flag == "--table-format") {
        plan.tableFormat = TableFormatFromName(value);
        if (!plan.tableFormat) return "--table-format " + value + ": expects csv, tsv or jsonl";
    } else if (flag == "--histogram-size") {
        const auto v = ParseIntegerList(value, 2, kPlotMinSide, kPlotMaxSide);
        if (!v)
            return "--histogram-size " + value + ": expects W,H, each " +
                   std::to_string(kPlotMinSide) + " .. " + std::to_string(kPlotMaxSide);
        plan.histogramSize = {(*v)[0], (*v)[1]};
    } else if (flag == "--jobs" || flag == "-j") {
        const auto jobs = ParseInteger(value);
        if (!jobs || *jobs < 1 || *jobs > kMaxJobs)
            return flag + " " + value + ": expects a number of workers, 1 .. " +
                   std::to_string(kMaxJobs);
        plan.jobs = static_cast<int>(*jobs);
    } else if (flag == "--pages") {
        const auto range = ParsePageRange(value);
        if (!range) return "--pages " + value + ": expects all, K or K-L with 1 <= K <= L";
        plan.pages = *range;
    } else if (flag == "--stack-from") {
        if (!plan.stackFrom.empty()) return "--stack-from given twice";
        plan.stackFrom = value;
    } else if (flag == "--shard") {
        plan.shard = ParseShard(value);
        if (!plan.shard) return "--shard " + value + ": expects K/N with 1 <= K <= N";
    }
    return {};
}

// The line a usage problem is told in; a problem that says its own remedy
// needs no pointer to --help, a recipe's comes whole.
std::string UsageLine(const std::string& problem) {
    if (problem.rfind("orvex-cli: ", 0) == 0) return problem;
    const bool saysRemedy = problem.find("did you mean") != std::string::npos ||
                            problem.find(": add ") != std::string::npos;
    return "orvex-cli: " + problem + (saysRemedy ? "" : " (try --help)");
}

// The table of --measure: named, in a format known, alone on standard output.
std::string CheckTable(const CliPlan& plan) {
    if (plan.Measures() && plan.table.empty())
        return "--measure needs --table FILE (.csv, .tsv, .jsonl) naming where the rows go";
    if (!plan.table.empty() && !plan.Measures())
        return "--table " + plan.table + ": no --measure or --measure-histogram fills it";
    if (plan.table == kStandardStream) {
        if (!plan.tableFormat) return "--table - needs --table-format csv, tsv or jsonl";
        if (plan.output == kStandardStream)
            return "--table - and -o - cannot both go to standard output";
        if (plan.HasReport())
            return "--table - writes the table to standard output: no report can go there too";
    } else if (!plan.table.empty()) {
        const auto named = TableFormatFromPath(plan.table);
        if (!named && !plan.tableFormat)
            return "--table " + plan.table +
                   ": the extension says the format (.csv, .tsv or .jsonl), or --table-format";
        if (named && plan.tableFormat && *plan.tableFormat != *named)
            return "--table " + plan.table +
                   ": --table-format says another format than the extension";
    }
    return {};
}

// What the command line asks that cannot work, found before any file is read.
std::string CheckPlan(const CliPlan& plan) {
    const auto any = [&](auto test) {
        return std::any_of(plan.steps.begin(), plan.steps.end(), test);
    };
    const bool creates = any([](const CliStep& s) { return s.operation->flag == "--uniform"; });
    if (!plan.stackFrom.empty() && (!plan.inputs.empty() || !plan.filesFrom.empty()))
        return "--stack-from is the one input: no other input goes with it";
    if (plan.inputs.empty() && plan.filesFrom.empty() && plan.stackFrom.empty() && !creates)
        return "no input: give picture files, --files-from LIST, --stack-from LIST|FOLDER or "
               "--uniform W,H,LEVEL";
    if (plan.output.empty() && !plan.HasReport() && plan.table.empty() &&
        any([](const CliStep& s) { return s.operation->changesPicture; }))
        return "nothing would be written: add -o FILE";
    const bool tableFile = !plan.table.empty() && plan.table != kStandardStream;
    if (plan.skipExisting && (plan.output.empty() || plan.output == kStandardStream) && !tableFile)
        return "--skip-existing needs -o naming where the outputs go, or a --table file";
    if (plan.output == kStandardStream && plan.HasReport())
        return "-o - writes the picture to standard output: no report can go there too";
    return CheckTable(plan);
}

}  // namespace

bool CliPlan::HasReport() const {
    return std::any_of(steps.begin(), steps.end(),
                       [](const CliStep& s) { return s.operation->report; });
}

bool CliPlan::MakesOnePage() const {
    return std::any_of(steps.begin(), steps.end(),
                       [](const CliStep& s) { return s.operation->makesOnePage; });
}

bool CliPlan::Measures() const {
    return std::any_of(steps.begin(), steps.end(),
                       [](const CliStep& s) { return s.operation->fillsTable; });
}

bool CliPlan::MeasuresHistogram() const {
    return std::any_of(steps.begin(), steps.end(),
                       [](const CliStep& s) { return s.operation->flag == "--measure-histogram"; });
}

std::string ReadRecipe(const std::string& path, std::vector<CliStep>& steps) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return "orvex-cli: " + path + ": " + ec.message();
    std::ifstream file(path, std::ios::binary);
    if (!file) return "orvex-cli: " + path + ": cannot read the recipe";
    if (size > kMaxRecipeBytes) return "orvex-cli: " + path + ": too large for a recipe";
    std::ostringstream contents;
    contents << file.rdbuf();
    std::istringstream lines(contents.str());
    const std::filesystem::path folder =
        std::filesystem::absolute(std::filesystem::path(path), ec).parent_path();
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // editors' BOM
        if (std::string problem = ReadRecipeLine(line, steps, folder); !problem.empty())
            return "orvex-cli: " + path + ":" + std::to_string(number) + ": " + problem;
    }
    return {};
}

void PlanUndoCopies(std::vector<CliStep>& steps) {
    bool undoAhead = false;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (step->operation->flag == "--undo") {
            undoAhead = true;
        } else if (step->operation->takesUndoCopy) {
            step->keepsUndoCopy = undoAhead;
            undoAhead = false;
        }
    }
}

std::string ReadPlan(const std::vector<std::string>& commandLine, CliPlan& plan) {
    std::vector<std::string> args = commandLine;
    if (std::string problem = SplitAssignments(args); !problem.empty()) return UsageLine(problem);
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (optionsEnded || !IsOption(a)) {
            if (a.empty()) return UsageLine("an input's file name is empty");
            plan.inputs.push_back(a);
            ++i;
        } else if (a == "--") {
            optionsEnded = true;
            ++i;
        } else if (a == "--help" || a == "-h") {
            plan.help = true;
            ++i;
        } else if (a == "--list-filters" || a == "--version" || a == "--skip-existing" ||
                   a == "--recursive") {
            (a == "--version"         ? plan.version
             : a == "--skip-existing" ? plan.skipExisting
             : a == "--recursive"     ? plan.recursive
                                      : plan.listFilters) = true;
            ++i;
        } else if (TakesValue(a) && FindOperation(a) == nullptr) {
            if (i + 1 >= args.size()) {
                const auto option = std::find_if(ProgramOptions().begin(), ProgramOptions().end(),
                                                 [&](const CliOption& o) { return o.flag == a; });
                return UsageLine(a + " needs " + option->argument);
            }
            if (std::string problem = ReadProgramOption(a, args[i + 1], plan); !problem.empty())
                return UsageLine(problem);
            i += 2;
        } else if (std::string problem = ReadOperation(args, i, plan.steps, {}); !problem.empty()) {
            return UsageLine(problem);
        }
    }
    if (plan.ReportOnly()) return {};
    if (std::string problem = CheckPlan(plan); !problem.empty()) return UsageLine(problem);
    PlanUndoCopies(plan.steps);
    return {};
}
