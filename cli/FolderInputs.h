#pragma once
// Folders given as inputs: the files they hold, in byte order of their
// names, so that the shares of a batch split the same way on every machine.

#include <string>
#include <vector>

struct CliInput {
    std::string path;       // as it is opened and named in messages
    std::string subfolder;  // for a file found in a folder input: where it sits in it
    bool found = false;     // found in a folder input rather than named
};

// `named` with each folder replaced by its files, and with `recursive` by
// those of its subfolders too, ordered by their paths within it. Empty back,
// or the one line naming a folder that cannot be read. `anyFolder` tells
// whether some of `named` was a folder, empty or not.
std::string ExpandFolderInputs(const std::vector<std::string>& named, bool recursive,
                               std::vector<CliInput>& inputs, bool& anyFolder);
