#include "CommandTarget.h"

namespace {

// Without a command table, no target owns any command.
constinit SCommandDispatch installed;

}  // namespace

void SetCommandDispatch(const SCommandDispatch& dispatch) { installed = dispatch; }

bool CCommandTarget::OnCommand(int id) {
    return installed.run && installed.run(id, OwnerKind(), OwnContext());
}

std::optional<bool> CCommandTarget::IsCommandEnabled(int id) const {
    if (!installed.enabled) return std::nullopt;
    return installed.enabled(id, OwnerKind(), OwnContext());
}

std::optional<bool> CCommandTarget::IsCommandChecked(int id) const {
    if (!installed.checked) return std::nullopt;
    return installed.checked(id, OwnerKind(), OwnContext());
}
