#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "Parallel.h"
#include "SystemOutput.h"
#include "UsableCpus.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    SetWorkerCount(UsableCpuCount());
    const std::vector<std::string> args(argv + 1, argv + argc);
    CSystemOutput standardOutput(STDOUT_FILENO);
    std::ostream out(&standardOutput);
    return RunCli(args, std::cin, out, std::cerr, isatty(STDERR_FILENO) != 0);
}
