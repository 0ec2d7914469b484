#pragma once
// The table of every command, gathered from the rows of each owner (see
// CommandRow.h for a row and for how to add a command). Each command has
// exactly one QAction, shared by menus, toolbars and context menus;
// triggering it hands the id to the router installed by the main frame, and
// RefreshCommandActions is the one place where enabling and check marks are
// worked out.

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "CommandRow.h"

class QAction;
class QObject;

struct SCommandRow {
    int id = 0;
    SCommandLook look;
    CommandOwner owner = CommandOwner::None;
    std::function<bool(const SCommandContext&)> enabled;
    std::function<void(const SCommandContext&)> run;
    std::function<bool(const SCommandContext&)> checked;
};

// The rows of one kind of target, as the table holds them: each rule and
// handler is given the target of its owner in the context.
template <class Target>
QList<SCommandRow> RowsOf(CommandOwner owner, const QList<SCommandRowOf<Target>>& typed) {
    auto target = [owner](const SCommandContext& c) -> Target& {
        return *static_cast<Target*>(c.Of(owner));
    };
    QList<SCommandRow> rows;
    for (const SCommandRowOf<Target>& r : typed) {
        SCommandRow row{r.id, r.look, owner, {}, {}, {}};
        if (r.enabled)
            row.enabled = [f = r.enabled, target](const SCommandContext& c) {
                return f(target(c));
            };
        if (r.run) row.run = [f = r.run, target](const SCommandContext& c) { f(target(c)); };
        if (r.checked)
            row.checked = [f = r.checked, target](const SCommandContext& c) {
                return f(target(c));
            };
        rows << row;
    }
    return rows;
}

// Rows of the targets above this room (the main frame, the application):
// their room hands them in when the program loads, and they join the table
// when it is first read.
void AddCommandRows(QList<SCommandRow> (*source)());

// Every row, and the row of an id (null when the id is unknown).
const QList<SCommandRow>& CommandRows();
const SCommandRow* FindCommandRow(int id);

// Whether the command can run in this context: its owner is there, it has a
// handler and its rule allows it.
bool IsCommandEnabledIn(const SCommandRow& row, const SCommandContext& context);
// The check mark in this context, or nullopt for a command without one.
std::optional<bool> IsCommandCheckedIn(const SCommandRow& row, const SCommandContext& context);
// Runs the command when it is enabled in this context; false otherwise.
bool RunCommandIn(int id, const SCommandContext& context);

// Sets the enabled state and check mark of every command's action.
void RefreshCommandActions(const SCommandContext& context);

// The single QAction of a command. Triggering it calls the router installed
// with SetCommandRouter.
QAction* CommandAction(int id);

// A second menu entry for a command, under another label (the main window's
// short menu and both context menus name some commands differently). It
// triggers the command's own action, shows its prompt and follows its enabled
// and checked state.
QAction* CommandAliasAction(int id, const QString& label, QObject* parent);

// Installs the function that runs a triggered command (the main frame's
// routing to the active view, its document, the frames and the application).
void SetCommandRouter(std::function<void(int)> router);

// Every command action created so far.
QList<QAction*> CreatedCommandActions();
