#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "CliRunner.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
