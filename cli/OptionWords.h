#pragma once
// The options of orvex-cli beside its operations, and the shapes every
// option may take on a command line or a recipe line: "--flag value",
// "--flag=value", "--" ending the options.

#include <string>
#include <vector>

struct CliOption {
    std::string flag;      // "--shard"
    std::string argument;  // "K/N", or empty
    std::string help;      // one line for --help
};

// The options that say what to read and where to write, in --help's order.
const std::vector<CliOption>& ProgramOptions();

// Whether `flag` is an option (program option or operation) taking a value.
bool TakesValue(const std::string& flag);

// Rewrites each "--flag=value" before "--" as the two words "--flag"
// "value". Empty back, or what is wrong ("--negative takes no value").
std::string SplitAssignments(std::vector<std::string>& words);

// "unknown option 'WORD'", with "did you mean --FLAG?" when one is close.
std::string UnknownOption(const std::string& word);
