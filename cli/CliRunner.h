#pragma once
// orvex-cli from its arguments to its exit status: 0 all went well, 1 an
// operation or a file failed, 2 usage error.

#include <ostream>
#include <string>
#include <vector>

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
