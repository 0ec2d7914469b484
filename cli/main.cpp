#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "SystemOutput.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    CSystemOutput standardOutput(STDOUT_FILENO);
    std::ostream out(&standardOutput);
    return RunCli(args, std::cin, out, std::cerr, isatty(STDERR_FILENO) != 0);
}
