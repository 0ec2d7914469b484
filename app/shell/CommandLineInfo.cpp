#include "CommandLineInfo.h"

#include <algorithm>

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: orvex [FILE ...]\n\n"
           "The Orvex workbench for 8-bit pictures; files named on the command line\n"
           "open as documents.\n\n"
           "  -Embedding, -Automation  start without the splash screen and the tip of the day\n"
           "                           (also /Embedding, /Automation, in any letter case)\n"
           "  --help                   print this help and exit\n"
           "  --version                print the program's version and exit\n";
}

bool Has(const std::vector<std::string>& arguments, const char* flag) {
    return std::find(arguments.begin(), arguments.end(), flag) != arguments.end();
}

}  // namespace

bool PrintCommandLineInfo(const std::vector<std::string>& arguments, std::ostream& out) {
    if (Has(arguments, "--help")) {
        PrintHelp(out);
        return true;
    }
    if (Has(arguments, "--version")) {
        out << "orvex " << ORVEX_VERSION << '\n';
        return true;
    }
    return false;
}
