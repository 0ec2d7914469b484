#pragma once
// "--help" and "--version" of the desktop program, answered on standard
// output before any window system is touched: they work without a display,
// and the manual page is made from them at build time.

#include <ostream>
#include <string>
#include <vector>

// Prints the help or the version when the command line (without the
// program's name) asks for one; true when it did, and the program then ends.
bool PrintCommandLineInfo(const std::vector<std::string>& arguments, std::ostream& out);
