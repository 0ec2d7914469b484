#include "CliHelp.h"

#include <algorithm>
#include <string>

#include "CliOperation.h"
#include "KernelCatalogue.h"
#include "OptionWords.h"
#include "PictureFormat.h"

void PrintFilters(std::ostream& out) {
    for (const CKernelEntry& entry : GetKernelCatalogue()) {
        std::string key = entry.key;
        if (!key.empty() && key.back() == ' ') key.pop_back();
        out << key << '\t' << entry.size << '\t' << entry.description << '\n';
    }
}

namespace {

void PrintOptionLine(std::ostream& out, const std::string& flag, const std::string& argument,
                     const std::string& help) {
    std::string head = flag + (argument.empty() ? "" : " " + argument);
    head.resize(std::max<std::size_t>(head.size() + 2, 30), ' ');
    out << "  " << head << help << '\n';
}

}  // namespace

void PrintHelp(std::ostream& out) {
    std::vector<std::string> readOnly;
    for (PictureFormat format : PictureFormats())
        if (!IsWritableFormat(format)) readOnly.push_back(FormatName(format));
    out << "Usage: orvex-cli [INPUT ... | --files-from LIST | --uniform W,H,LEVEL] [OPERATION ...] "
           "[-o OUTPUT]\n\n"
        << "Reads " << JoinWords(ReadFormatNames(), " and ") << " pictures; writes "
        << JoinWords(WrittenFormatNames(), " and ")
        << ".\n"
           "Operations and reports run left to right, as the desktop commands do.\n"
           "One input: -o names the output file, whose extension says its format.\n"
           "Several inputs: -o names an existing folder; each result keeps its input's name\n"
           "and format (a "
        << JoinWords(readOnly, " or ") << "'s or colour PPM's is written as "
        << FormatName(KeptFormat({}))
        << ") unless --format says so.\n"
           "A folder as an input: its files, in byte order of their names; those of no known\n"
           "format are counted, not processed.\n"
           "Exit status: 0 success, 1 an operation or a file failed, 2 usage error.\n\n";
    for (const CliOption& option : ProgramOptions())
        PrintOptionLine(out, option.flag, option.argument, option.help);
    for (const CliOperation& op : CliOperations())
        PrintOptionLine(out, op.flag, op.argument, op.help);
}
