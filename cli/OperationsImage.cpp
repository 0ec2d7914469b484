#include "CliOperation.h"

void AddImageOperations(std::vector<CliOperation>& table) { (void)table; }
