#pragma once
// Data rows of files for parameterised tests: one test per file, named after
// it, so one failing file does not hide the others.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

// The files of `folder`, sorted by name.
inline std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// "g/pal8-0.bmp" gives "g_pal8_0": the parent folder and the name without
// its extension, anything but letters and digits made an underscore.
inline std::string RowName(const std::filesystem::path& file) {
    std::string name = file.parent_path().filename().string() + "_" + file.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}
