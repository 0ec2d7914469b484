#pragma once
// Something that owns commands: the active view, its document, the child
// frame, the main frame or the application. Its commands are the rows of its
// kind (CommandRow.h); these calls answer for them alone, as if this target
// were the only one there.

#include <optional>

#include "CommandRow.h"

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // Runs one of this target's commands if it is enabled. False when the
    // command belongs to another target.
    bool OnCommand(int id);
    // The enabling rule of one of this target's commands, or nullopt when the
    // command is not this target's.
    std::optional<bool> IsCommandEnabled(int id) const;
    // The check mark of one of this target's commands, or nullopt.
    std::optional<bool> IsCommandChecked(int id) const;

protected:
    virtual CommandOwner OwnerKind() const = 0;
    // This target as the context of its commands (a view brings its document).
    virtual SCommandContext OwnContext() const = 0;
};
