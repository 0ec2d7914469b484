// The rooms below know a command only by its id. When the program loads,
// this installs the two ways they reach the command table: the calls of
// every command target (CommandTarget.h) and the entries of the view's
// context menu (the command's own action under the menu's label).

#include "COrvexView.h"
#include "CommandTable.h"
#include "CommandTarget.h"

namespace {

const SCommandRow* RowOf(int id, CommandOwner owner) {
    const SCommandRow* row = FindCommandRow(id);
    return row && row->owner == owner ? row : nullptr;
}

bool Run(int id, CommandOwner owner, const SCommandContext& context) {
    if (!RowOf(id, owner)) return false;
    RunCommandIn(id, context);
    return true;
}

std::optional<bool> Enabled(int id, CommandOwner owner, const SCommandContext& context) {
    const SCommandRow* row = RowOf(id, owner);
    if (!row) return std::nullopt;
    return IsCommandEnabledIn(*row, context);
}

std::optional<bool> Checked(int id, CommandOwner owner, const SCommandContext& context) {
    const SCommandRow* row = RowOf(id, owner);
    if (!row) return std::nullopt;
    return IsCommandCheckedIn(*row, context);
}

[[maybe_unused]] const bool installed = [] {
    SetCommandDispatch({Run, Enabled, Checked});
    COrvexView::SetMenuEntryMaker(CommandAliasAction);
    return true;
}();

}  // namespace
