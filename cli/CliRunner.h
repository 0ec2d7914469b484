#pragma once
// orvex-cli from its arguments to its exit status: 0 all went well, 1 an
// operation or a file failed, 2 usage error.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// `in` is read for a picture or a list given as "-". With `progress`, a
// batch of several files keeps one line on `err` up to date (files done of
// files, failures so far); the caller asks for it only when `err` is a
// terminal. The line is cleared before any message is written, so the two
// never mix.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool progress = false);
