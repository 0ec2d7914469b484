#pragma once
// Something that owns commands: the active view, its document, the child
// frame, the main frame or the application. Its commands are the rows of its
// kind in the command table; these calls answer for them alone, as if this
// target were the only one there.
//
// The windows and documents know a command only by its id (CommandIds.h):
// the table, its rows and their handlers sit in the commands room above,
// which installs the dispatch these calls go through (SetCommandDispatch)
// when the program loads.

#include <array>
#include <cstddef>
#include <optional>

class CCommandTarget;

// Who handles a command. A command whose owner is missing (no active view,
// say) is disabled; None is a command that nothing handles, always disabled.
enum class CommandOwner { None, View, Document, ChildFrame, MainFrame, Application };

// The targets a command can reach: the active view, its document, the child
// frame, the main frame and the application, one per owner kind. Any of them
// may be missing.
class SCommandContext {
public:
    CCommandTarget* Of(CommandOwner owner) const { return targets_[Index(owner)]; }
    void Set(CommandOwner owner, CCommandTarget* target) { targets_[Index(owner)] = target; }
    bool Has(CommandOwner owner) const { return owner != CommandOwner::None && Of(owner); }

private:
    static std::size_t Index(CommandOwner owner) { return static_cast<std::size_t>(owner); }

    std::array<CCommandTarget*, 6> targets_{};
};

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

// How a target's calls reach the command table. Each answers for the command
// only when its row belongs to the owner given (nullopt otherwise); run
// answers whether the command belongs there, enabled or not.
struct SCommandDispatch {
    bool (*run)(int id, CommandOwner owner, const SCommandContext& context) = nullptr;
    std::optional<bool> (*enabled)(int id, CommandOwner owner,
                                   const SCommandContext& context) = nullptr;
    std::optional<bool> (*checked)(int id, CommandOwner owner,
                                   const SCommandContext& context) = nullptr;
};

void SetCommandDispatch(const SCommandDispatch& dispatch);
