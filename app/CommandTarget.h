#pragma once
// Something that can handle commands: the active view, its document, the
// child frame, the main frame and the application, asked in that order.
// A command that no target handles is disabled.

#include <optional>

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // Runs the command if this target has a handler for it.
    virtual bool OnCommand(int id) = 0;
    // The enabling rule of a command handled here, or nullopt when this
    // target has no handler for it.
    virtual std::optional<bool> IsCommandEnabled(int id) const = 0;
    // The check (radio) mark of a command handled here, or nullopt.
    virtual std::optional<bool> IsCommandChecked(int id) const {
        (void)id;
        return std::nullopt;
    }
};
