#include "CliPlan.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "RecipeWords.h"

namespace {

// No recipe comes anywhere near this; a larger file is not one.
constexpr std::uintmax_t kMaxRecipeBytes = 1 << 20;

const CliOperation* FindOperation(const std::string& flag) {
    for (const CliOperation& op : CliOperations())
        if (op.flag == flag) return &op;
    return nullptr;
}

bool IsOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// Reads the operation at words[i] and its argument, moving i past them. In a
// recipe (`folder` not empty) a relative file name is taken from the folder.
std::string ReadOperation(const std::vector<std::string>& words, std::size_t& i,
                          std::vector<CliStep>& steps, const std::filesystem::path& folder) {
    const std::string& flag = words[i++];
    const CliOperation* op = FindOperation(flag);
    if (op == nullptr) return "unknown option '" + flag + "'";
    std::string arg;
    if (!op->argument.empty()) {
        if (i >= words.size()) return flag + " needs " + op->argument;
        arg = words[i++];
        if (op->argumentIsFile && !folder.empty() && std::filesystem::path(arg).is_relative())
            arg = (folder / arg).string();
    }
    std::string error;
    auto action = op->parse(arg, error);
    if (!action) return (arg.empty() ? flag : flag + " " + arg) + ": " + error;
    steps.push_back({op, std::move(*action)});
    return {};
}

// One recipe line: one operation with its argument, or nothing.
std::string ReadRecipeLine(const std::string& line, std::vector<CliStep>& steps,
                           const std::filesystem::path& folder) {
    std::string error;
    const auto words = SplitRecipeWords(line, error);
    if (!words) return error;
    if (words->empty()) return {};
    const std::string& first = words->front();
    if (first == "--recipe") return "a recipe cannot run another recipe";
    if (!IsOption(first) || first == "-o" || first == "--help" || first == "-h")
        return "'" + first + "' is not an operation (inputs and -o go on the command line)";
    std::size_t i = 0;
    if (std::string problem = ReadOperation(*words, i, steps, folder); !problem.empty())
        return problem;
    if (i < words->size()) return "one operation a line: '" + (*words)[i] + "' is left over";
    return {};
}

}  // namespace

std::string ReadRecipe(const std::string& path, std::vector<CliStep>& steps) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::ifstream file(path, std::ios::binary);
    if (ec || !file) return "orvex-cli: cannot read the recipe '" + path + "'";
    if (size > kMaxRecipeBytes) return "orvex-cli: '" + path + "' is too large for a recipe";
    std::ostringstream contents;
    contents << file.rdbuf();
    std::istringstream lines(contents.str());
    const std::filesystem::path folder =
        std::filesystem::absolute(std::filesystem::path(path), ec).parent_path();
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // editors' BOM
        if (std::string problem = ReadRecipeLine(line, steps, folder); !problem.empty())
            return path + ":" + std::to_string(number) + ": " + problem;
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

std::string ReadPlan(const std::vector<std::string>& args, CliPlan& plan) {
    const auto usage = [](const std::string& problem) {
        return "orvex-cli: " + problem + " (try --help)";
    };
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            plan.help = true;
            ++i;
        } else if (a == "--list-filters" || a == "--version") {
            (a == "--version" ? plan.version : plan.listFilters) = true;
            ++i;
        } else if (a == "-o") {
            if (i + 1 >= args.size()) return usage("-o needs a file or folder name");
            if (!plan.output.empty()) return usage("-o given twice");
            plan.output = args[i + 1];
            i += 2;
        } else if (a == "--recipe") {
            if (i + 1 >= args.size()) return usage("--recipe needs a recipe file");
            if (std::string problem = ReadRecipe(args[i + 1], plan.steps); !problem.empty())
                return problem;
            i += 2;
        } else if (IsOption(a)) {
            if (std::string problem = ReadOperation(args, i, plan.steps, {}); !problem.empty())
                return usage(problem);
        } else {
            plan.inputs.push_back(a);
            ++i;
        }
    }
    if (plan.ReportOnly()) return {};
    const bool creates = std::any_of(plan.steps.begin(), plan.steps.end(), [](const CliStep& s) {
        return s.operation->flag == "--uniform";
    });
    if (plan.inputs.empty() && !creates)
        return usage("no input: give BMP files or --uniform W,H,LEVEL");
    if (plan.inputs.size() > 1 && !plan.output.empty() &&
        !std::filesystem::is_directory(plan.output))
        return usage("with several inputs, -o must name an existing folder");
    PlanUndoCopies(plan.steps);
    return {};
}
