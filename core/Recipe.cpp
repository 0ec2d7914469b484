#include "Recipe.h"

#include <algorithm>
#include <filesystem>

#include "AtomicFileWrite.h"
#include "Message.h"
#include "RecipeWords.h"

namespace {

// Where the history comments start, so that the operations line up.
constexpr std::size_t kCommentColumn = 44;

std::string RoiArgument(const CRecipe::Entry& entry) {
    if (entry.roiIsWhole) return "all";
    const CRect& r = entry.roi;
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string WithComment(std::string line, const std::string& comment) {
    if (comment.empty()) return line + "\n";
    line.resize(std::max(line.size() + 2, kCommentColumn), ' ');
    return line + "# " + comment + "\n";
}

std::string HistoryComment(const CRecipe::Entry& entry) {
    std::string text;
    for (const std::string& line : entry.history) text += (text.empty() ? "" : " / ") + line;
    return text;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    const AtomicWriteResult result = WriteFileAtomically(
        path, [&](CByteStream& out) { return out.Write(text.data(), text.size()); });
    if (result == AtomicWriteResult::Ok) return true;
    ShowMessage("Ecriture de fichier impossible");
    return false;
}

}  // namespace

int CRecipe::Measurements() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) {
        return e.done && e.operation.flag.rfind("--measure", 0) == 0;
    }));
}

bool CRecipe::HasReplayableStep() const {
    for (const Entry& entry : entries_)
        if (entry.done && entry.operation.notReplayable.empty()) return true;
    return false;
}

bool CRecipe::HasUnreplayableStep() const {
    for (const Entry& entry : entries_)
        if (entry.done && !entry.operation.notReplayable.empty()) return true;
    return false;
}

CRecipe::Text CRecipe::Format(const std::string& recipeName) const {
    Text text;
    const std::filesystem::path name(recipeName);
    const bool measures = Measurements() > 0;
    text.recipe =
        "# Orvex recipe: one orvex-cli operation a line, run in order.\n"
        "# Replay: orvex-cli PICTURE.bmp ... --recipe " +
        QuoteRecipeWord(name.filename().string()) + " -o FOLDER" +
        (measures ? " --table TABLE.csv" : "") + "\n";
    std::string body, refusals;

    // The region of interest orvex-cli has at this point of the replay: the
    // whole picture after reading it and after every step that replaces it.
    bool replayRoiIsWhole = true;
    CRect replayRoi;
    // The pages of a stack the replay runs on: every page until told.
    int replayPage = 0;
    for (const Entry& entry : entries_) {
        const CRecipeOperation& op = entry.operation;
        std::string argument = op.argument;
        if (op.palette && entry.done) {
            argument = name.stem().string();
            argument.append("-").append(std::to_string(text.palettes.size() + 1)).append(".pal");
            text.palettes.emplace_back(argument, *op.palette);
        }
        std::string line = op.flag;
        if (!argument.empty()) line.append(" ").append(QuoteRecipeWord(argument));
        if (!entry.done) {
            body += WithComment("# " + line, "failed on the original picture: left out");
            continue;
        }
        if (entry.page >= 0 && entry.page != replayPage) {
            body += WithComment(
                "--page " + (entry.page == 0 ? std::string("all") : std::to_string(entry.page)),
                entry.page == 0 ? "every page" : "one page of the stack");
            replayPage = entry.page;
        }
        if (op.usesRoi && (entry.roiIsWhole != replayRoiIsWhole ||
                           (!entry.roiIsWhole && !(entry.roi == replayRoi)))) {
            body += WithComment("--roi " + RoiArgument(entry),
                                entry.roiIsWhole ? "whole picture" : "region of interest");
            replayRoiIsWhole = entry.roiIsWhole;
            replayRoi = entry.roi;
        }
        if (!op.notReplayable.empty() && refusals.find(op.notReplayable) == std::string::npos)
            refusals += "#   " + line + ": " + op.notReplayable + "\n";
        body += WithComment(line, HistoryComment(entry));
        if (op.resetsRoi) replayRoiIsWhole = true;
    }
    if (!refusals.empty())
        text.recipe +=
            "# CANNOT BE REPLAYED on other pictures (orvex-cli refuses it) because of:\n" +
            refusals;
    text.recipe += body;
    return text;
}

bool CRecipe::Write(const std::string& path) const {
    const Text text = Format(path);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    for (const auto& [fileName, colors] : text.palettes)
        if (!WritePaletteFile((folder / fileName).string(), colors)) return false;
    return WriteTextFile(path, text.recipe);
}
