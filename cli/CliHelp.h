#pragma once
// What orvex-cli tells about itself: --help and --list-filters.

#include <ostream>

// Usage, then one option a line, "  FLAG ARG   what it does": the shape the
// manual page and the shell completion are made from.
void PrintHelp(std::ostream& out);

// One kernel a line, tab-separated: the key as --filter takes it (without
// its final space), the side, the description.
void PrintFilters(std::ostream& out);
