#include "PyRecipe.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ArgParse.h"
#include "FileReason.h"
#include "RecipeWords.h"
#include "StepsBasic.h"
#include "StepsFilter.h"
#include "StepsImage.h"

namespace {

// No recipe comes anywhere near this; a larger file is not one.
constexpr std::uintmax_t kMaxRecipeBytes = 1 << 20;

std::vector<int> Integers(const std::string& argument, std::size_t count, const char* expected) {
    const auto v = ParseIntegerList(argument, count, INT32_MIN, INT32_MAX);
    if (!v) ThrowValue(std::string("expects ") + expected);
    return *v;
}

PictureAction KernelLine(const std::string& argument) {
    const std::size_t colon = argument.find(':');
    const auto side = ParseInteger(argument.substr(0, colon));
    const std::size_t n = side && *side > 0 && *side < 8 ? static_cast<std::size_t>(*side) : 0;
    const auto values =
        colon == std::string::npos || n == 0
            ? std::nullopt
            : ParseIntegerList(argument.substr(colon + 1), n * n, INT32_MIN, INT32_MAX);
    if (!values) ThrowValue("expects N:V1,V2,... with N = 3, 5 or 7 and N x N values");
    std::vector<std::vector<long long>> rows(n);
    for (std::size_t i = 0; i < n * n; ++i) rows[i / n].push_back((*values)[i]);
    return KernelAction(rows);
}

PictureAction PerspectiveLine(const std::string& argument) {
    const std::size_t colon = argument.find(':');
    PerspectiveParams p;
    if (colon != std::string::npos) {
        const auto v =
            Integers(argument.substr(colon + 1), 6, "six integers A,B,R,L,F,E after the mode");
        p = {v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    return PerspectiveAction(argument.substr(0, colon), p);
}

PictureAction Refused(const std::string& why) { ThrowValue(why); }

using LineParser =
    std::function<PictureAction(const std::string& argument, const std::string& folder)>;
struct SRecipeFlag {
    bool takesArgument;
    LineParser parse;
};

template <auto Step>
SRecipeFlag Plain(const char* name) {
    return {false,
            [name](const std::string&, const std::string&) { return StepAction<Step>(name); }};
}

// The operations a recipe may hold, with orvex-cli's spelling of their
// arguments.
const std::map<std::string, SRecipeFlag>& RecipeFlags() {
    using S = const std::string&;
    static const std::map<std::string, SRecipeFlag> flags{
        {"--uniform",
         {true,
          [](S a, S) {
              const auto v = Integers(a, 3, "W,H,LEVEL");
              return UniformAction(v[0], v[1], v[2]);
          }}},
        {"--roi",
         {true,
          [](S a, S) {
              if (a == "all") return RoiAction(std::nullopt);
              const auto v = Integers(a, 4, "four integers L,T,R,B or all");
              return RoiAction(CRect{v[0], v[1], v[2], v[3]});
          }}},
        {"--undo", {false, [](S, S) { return UndoAction(); }}},
        {"--negative", Plain<StepNegative>("negative")},
        {"--flip-h", Plain<StepFlipHorizontal>("flip_h")},
        {"--flip-v", Plain<StepFlipVertical>("flip_v")},
        {"--palette-bar", Plain<StepPaletteBar>("palette_bar")},
        {"--grey", Plain<StepGrey>("grey")},
        {"--threshold-cancel", Plain<StepCancelManualThreshold>("threshold_cancel")},
        {"--contours", Plain<StepContours>("contours")},
        {"--dilate", Plain<StepDilate>("dilate")},
        {"--erode", Plain<StepErode>("erode")},
        {"--open", Plain<StepOpen>("open")},
        {"--close", Plain<StepClose>("close")},
        {"--rotate",
         {true,
          [](S a, S) {
              const auto angle = ParseInteger(a);
              if (!angle) ThrowValue("expects 90, 180 or 270");
              return RotateAction(*angle);
          }}},
        {"--resize",
         {true,
          [](S a, S) {
              const auto v = Integers(a, 2, "W,H");
              return ResizeAction(v[0], v[1]);
          }}},
        {"--threshold",
         {true,
          [](S a, S) {
              const auto v = Integers(a, 2, "LOW,HIGH");
              return ThresholdAction(v[0], v[1]);
          }}},
        {"--adaptive",
         {true,
          [](S a, S) {
              const auto k = ParseFloat(a);
              if (!k) ThrowValue("expects a real number K");
              return AdaptiveAction(*k);
          }}},
        {"--dynamic", {true, [](S a, S) { return DynamicAction(a); }}},
        {"--window", {true, [](S a, S) { return WindowAction(a); }}},
        {"--palette", {true, [](S a, S) { return PaletteAction(a); }}},
        {"--palette-file",
         {true,
          [](S a, S folder) {
              const std::filesystem::path file(a);
              return PaletteFileAction(
                  file.is_absolute() ? a : (std::filesystem::path(folder) / file).string());
          }}},
        {"--filter", {true, [](S a, S) { return FilterAction(a); }}},
        {"--kernel", {true, [](S a, S) { return KernelLine(a); }}},
        {"--perspective", {true, [](S a, S) { return PerspectiveLine(a); }}},
        {"--measure", {false, [](S, S) { return MeasureAction(false); }}},
        {"--measure-histogram", {false, [](S, S) { return MeasureAction(true); }}},
        {"--paste",
         {false,
          [](S, S) { return Refused("a picture pasted from the clipboard cannot be replayed"); }}},
        {"--set-levels",
         {false, [](S, S) { return Refused("levels set by a program cannot be replayed"); }}},
    };
    return flags;
}

// The line's operation; ValueError with what is wrong.
CPyRecipe::Line ReadLine(std::vector<std::string> words, const std::string& folder) {
    if (const std::size_t equals = words[0].find('=');
        words.size() == 1 && words[0].rfind("--", 0) == 0 && equals != std::string::npos) {
        words.push_back(words[0].substr(equals + 1));
        words[0].resize(equals);
    }
    const auto known = RecipeFlags().find(words[0]);
    if (known == RecipeFlags().end())
        ThrowValue("'" + words[0] + "' is no operation a recipe repeats");
    const SRecipeFlag& flag = known->second;
    if (words.size() != (flag.takesArgument ? 2u : 1u))
        ThrowValue(words[0] + (flag.takesArgument ? " takes one value" : " takes no value") +
                   " (one operation a line)");
    CPyRecipe::Line line{words[0], flag.takesArgument ? words[1] : std::string(), {}};
    try {
        line.action = flag.parse(line.argument, folder);
    } catch (const py::value_error& e) {
        ThrowValue(line.flag + ": " + e.what());
    }
    return line;
}

}  // namespace

CPyRecipe CPyRecipe::Parse(const std::string& text, const std::string& label,
                           const std::string& folder) {
    CPyRecipe recipe;
    recipe.text_ = text;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string error;
        const auto words = SplitRecipeWords(line, error);
        const std::string where = label + ":" + std::to_string(number) + ": ";
        if (!words) ThrowValue(where + error);
        if (words->empty()) continue;
        try {
            recipe.lines_.push_back(ReadLine(*words, folder));
        } catch (const py::value_error& e) {
            ThrowValue(where + e.what());
        }
    }
    return recipe;
}

CPyRecipe CPyRecipe::Load(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw FileError(path + ": " + error.message());
    if (size > kMaxRecipeBytes) throw FileError(path + ": too large for a recipe");
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) throw FileError(path + ": cannot read the recipe");
    return Parse(text.str(), path, std::filesystem::path(path).parent_path().string());
}

std::vector<CMeasureRow> CPyRecipe::Apply(CPyPicture& picture, bool undo) const {
    std::vector<CMeasureRow> rows;
    SActionRun run{undo, &rows};
    for (const Line& line : lines_) line.action(picture, run);
    return rows;
}
