#pragma once
// orvex.Recipe: a recipe exported by the desktop program or by
// Picture.recipe(), one orvex-cli operation a line, read in full (every line
// checked) before it runs on any picture.

#include <string>
#include <vector>

#include "PyActions.h"

class CPyRecipe {
public:
    struct Line {
        std::string flag;
        std::string argument;
        PictureAction action;
    };

    // `label` names the recipe in errors ("FILE:LINE: ..."); relative file
    // names in it (palette files) are taken from `folder`.
    static CPyRecipe Parse(const std::string& text, const std::string& label,
                           const std::string& folder);
    static CPyRecipe Load(const std::string& path);

    const std::string& Text() const { return text_; }
    const std::vector<Line>& Lines() const { return lines_; }
    // Runs every line on `picture`; the rows its measurements made.
    std::vector<CMeasureRow> Apply(CPyPicture& picture, bool undo) const;

private:
    std::string text_;
    std::vector<Line> lines_;
};
