#include "CommandTarget.h"

#include "CommandTable.h"

bool CCommandTarget::OnCommand(int id) {
    const SCommandRow* row = FindCommandRow(id);
    if (!row || row->owner != OwnerKind()) return false;
    RunCommandIn(id, OwnContext());
    return true;
}

std::optional<bool> CCommandTarget::IsCommandEnabled(int id) const {
    const SCommandRow* row = FindCommandRow(id);
    if (!row || row->owner != OwnerKind()) return std::nullopt;
    return IsCommandEnabledIn(*row, OwnContext());
}

std::optional<bool> CCommandTarget::IsCommandChecked(int id) const {
    const SCommandRow* row = FindCommandRow(id);
    if (!row || row->owner != OwnerKind()) return std::nullopt;
    return IsCommandCheckedIn(*row, OwnContext());
}
