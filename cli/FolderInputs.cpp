#include "FolderInputs.h"

#include <algorithm>
#include <filesystem>

#include "FileReason.h"

namespace fs = std::filesystem;

namespace {

// Adds the files of `top`/`relative` to `files`, as paths relative to `top`.
// Links to folders are not followed, so no folder is taken twice.
std::string ListFolder(const fs::path& top, const fs::path& relative, bool recursive,
                       std::vector<fs::path>& files) {
    const fs::path here = relative.empty() ? top : top / relative;
    std::error_code ec;
    for (fs::directory_iterator it(here, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) {
            files.push_back(relative / it->path().filename());
        } else if (recursive && it->is_directory(typeError) && !it->is_symlink(typeError)) {
            std::string problem = ListFolder(top, relative / it->path().filename(), true, files);
            if (!problem.empty()) return problem;
        }
    }
    if (ec) return "orvex-cli: " + here.string() + ": " + SystemReason(ec.value());
    return {};
}

}  // namespace

std::string ExpandFolderInputs(const std::vector<std::string>& named, bool recursive,
                               std::vector<CliInput>& inputs, bool& anyFolder) {
    anyFolder = false;
    for (const std::string& path : named) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            inputs.push_back({path, {}, false});
            continue;
        }
        anyFolder = true;
        std::vector<fs::path> files;
        if (std::string problem = ListFolder(path, {}, recursive, files); !problem.empty())
            return problem;
        std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
            return a.native() < b.native();  // bytes, whatever the locale
        });
        for (const fs::path& file : files)
            inputs.push_back({(fs::path(path) / file).string(), file.parent_path().string(), true});
    }
    return {};
}
