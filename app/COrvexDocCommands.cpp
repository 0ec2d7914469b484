// The document's processing commands: each is enabled exactly when the
// picture has 256 colours. Those that open a dialog are known here but stay
// disabled until their dialog exists.

#include <map>

#include "COrvexDoc.h"
#include "CWaitCursor.h"
#include "CommandIds.h"
#include "StepsFilter.h"
#include "StepsImage.h"

namespace {

using Step = bool (*)(CImageDocument&);

// Commands with a step to run; a null step is a command whose dialog is not
// there yet.
const std::map<int, Step>& DocumentCommands() {
    static const std::map<int, Step> commands = {
        {cmd::Negative, &StepNegative},
        {cmd::FlipHorizontal, &StepFlipHorizontal},
        {cmd::FlipVertical, &StepFlipVertical},
        {cmd::Dilate, &StepDilate},
        {cmd::Erode, &StepErode},
        {cmd::Opening, &StepOpen},
        {cmd::Closing, &StepClose},
        {cmd::Contours, &StepContours},
        {cmd::Dynamic, nullptr},
        {cmd::History, nullptr},
        {cmd::FilterBrowser, nullptr},
        {cmd::AdaptiveThreshold, nullptr},
        {cmd::Statistics, nullptr},
    };
    return commands;
}

}  // namespace

bool COrvexDoc::HasFullPalette() const { return GetImage()->GetNumColors() == 256; }

void COrvexDoc::RunStep(Step step) {
    CWaitCursor wait;
    step(core_);
    UpdateAllViews();
    SetModifiedFlag();
}

bool COrvexDoc::OnCommand(int id) {
    const auto found = DocumentCommands().find(id);
    if (found == DocumentCommands().end()) return false;
    if (found->second != nullptr && IsCommandEnabled(id).value_or(false)) RunStep(found->second);
    return true;
}

std::optional<bool> COrvexDoc::IsCommandEnabled(int id) const {
    const auto found = DocumentCommands().find(id);
    if (found == DocumentCommands().end()) return std::nullopt;
    return found->second != nullptr && HasFullPalette();
}
