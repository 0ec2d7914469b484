#include "CliOperation.h"

void AddFilterOperations(std::vector<CliOperation>& table) { (void)table; }
