#include "OptionWords.h"

#include <algorithm>
#include <numeric>

#include "CliOperation.h"
#include "HistogramPlot.h"
#include "PictureFormat.h"

const std::vector<CliOption>& ProgramOptions() {
    static const std::vector<CliOption> options = {
        {"-o", "OUTPUT",
         "output file (" + JoinWords(WritableExtensions("."), ", ") +
             "); a folder for a batch; - standard output"},
        {"--format", "EXT",
         "format written into a folder or to -o -: " + JoinWords(WritableExtensions(), " or ")},
        {"--depth", "keep|8",
         "keep: write the file's own samples as they are (a grey file deeper than 8 bits whose "
         "levels no step but --window changed: 16-bit TIFF, PNG or PGM, unscaled, or 32-bit "
         "float TIFF), else fail; 8 (the default): the 8-bit levels"},
        {"--recipe", "FILE", "run the operations of FILE, one a line (# comments), in place"},
        {"--pages", "all|K|K-L",
         "the pages of a multi-page " + JoinWords(PagesFormatNames(), " or ") +
             " each input brings (default: the first); every operation runs on each; -o " +
             JoinWords(PagesExtensions(), " or ") + " writes them as one file"},
        {"--stack-from", "LIST|FOLDER",
         "the one input: the pictures of a list file (one path a line) or of a folder (in "
         "name order), of one size and depth, assembled into a stack"},
        {"--files-from", "LIST", "read input paths from LIST, one a line (- standard input)"},
        {"--shard", "K/N",
         "process only the K-th of N equal shares of the inputs (1 <= K <= N); "
         "each share writes the --table its own command line names"},
        {"--skip-existing", "",
         "leave out the inputs whose output file exists already and whose rows the --table "
         "file (or its side file FILE.part, left by a stopped run) holds: they keep those rows"},
        {"--recursive", "",
         "a folder input takes its subfolders too, kept under the output folder"},
        {"--table", "FILE",
         "where --measure rows go: .csv, .tsv or .jsonl; - standard output; one table a run, "
         "rows in input order, written complete or not at all (meanwhile FILE.part holds the "
         "rows of the files done)"},
        {"--table-format", "FMT",
         "the format of --table - (or of a name without those extensions): csv, tsv or jsonl"},
        {"--jobs", "N",
         "files processed at once, and threads of an operation on a picture (default: the "
         "CPUs the process may use: its affinity mask and its control group's cpu.max quota)"},
        {"-j", "N", "the same as --jobs N"},
        {"--histogram-size", "W,H",
         "size of --histogram-plot figures (default " + std::to_string(kPlotDefaultSize.cx) + "," +
             std::to_string(kPlotDefaultSize.cy) + ": 256 bars 2 pixels wide and the axes)"},
        {"--list-filters", "", "the catalogue kernels: key, size, description"},
        {"--version", "", "the program's version"},
        {"--help", "", "this help (also -h)"},
        {"--", "", "end of the options: every word after it is an input"},
    };
    return options;
}

namespace {

bool IsKnownFlag(const std::string& flag) {
    for (const CliOption& option : ProgramOptions())
        if (option.flag == flag) return true;
    return FindOperation(flag) != nullptr;
}

}  // namespace

bool TakesValue(const std::string& flag) {
    for (const CliOption& option : ProgramOptions())
        if (option.flag == flag) return !option.argument.empty();
    const CliOperation* op = FindOperation(flag);
    return op != nullptr && !op->argument.empty();
}

std::string SplitAssignments(std::vector<std::string>& words) {
    std::vector<std::string> split;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            split.insert(split.end(), words.begin() + static_cast<long>(i), words.end());
            break;
        }
        const std::size_t equals = word.find('=');
        if (TakesValue(word) && i + 1 < words.size()) {
            split.push_back(word);
            split.push_back(words[++i]);  // the value is taken as it is, "=" or not
        } else if (word.rfind("--", 0) == 0 && equals != std::string::npos &&
                   IsKnownFlag(word.substr(0, equals))) {
            const std::string flag = word.substr(0, equals);
            if (!TakesValue(flag)) return flag + " takes no value";
            split.push_back(flag);
            split.push_back(word.substr(equals + 1));
        } else {
            split.push_back(word);
        }
    }
    words = std::move(split);
    return {};
}

namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known flag nearest to `word`: a slip of a letter or two, or the start
// of exactly one flag.
std::string ClosestFlag(const std::string& word) {
    std::vector<std::string> flags;
    for (const CliOption& option : ProgramOptions()) flags.push_back(option.flag);
    for (const CliOperation& op : CliOperations()) flags.push_back(op.flag);
    std::string best;
    std::size_t bestDistance = 3;
    std::vector<std::string> startingWith;
    for (const std::string& flag : flags) {
        if (const std::size_t d = EditDistance(word, flag); d < bestDistance) {
            best = flag;
            bestDistance = d;
        }
        if (word.size() > 3 && flag.rfind(word, 0) == 0) startingWith.push_back(flag);
    }
    if (best.empty() && startingWith.size() == 1) best = startingWith.front();
    return best;
}

}  // namespace

std::string UnknownOption(const std::string& word) {
    const std::string flag = word.substr(0, word.find('='));
    const std::string closest = ClosestFlag(flag);
    return "unknown option '" + word + "'" +
           (closest.empty() ? "" : ": did you mean " + closest + "?");
}
