#pragma once
// Runs orvex-cli in-process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"

struct CliResult {
    int status;
    std::string out, err;
};

inline CliResult RunTool(const std::vector<std::string>& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunCli(args, in, out, err);
    return {status, out.str(), err.str()};
}
