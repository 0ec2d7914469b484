#include "CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>

#include "CChildFrame.h"
#include "COrvexDoc.h"
#include "COrvexView.h"

namespace {

// The rows handed in from above (the shell's own targets), gathered with
// this room's rows when the table is first read.
QList<QList<SCommandRow> (*)()>& AddedSources() {
    static QList<QList<SCommandRow> (*)()> sources;
    return sources;
}

QList<SCommandRow> GatherRows() {
    QList<SCommandRow> rows;
    rows << RowsOf(CommandOwner::View, ViewCommandRows())
         << RowsOf(CommandOwner::Document, DocumentCommandRows())
         << RowsOf(CommandOwner::ChildFrame, ChildFrameCommandRows());
    for (auto source : AddedSources()) rows << source();
    for (const auto& [id, look] : UnhandledCommandRows())
        rows << SCommandRow{id, look, CommandOwner::None, {}, {}, {}};
    return rows;
}

struct STable {
    QList<SCommandRow> rows;
    QHash<int, const SCommandRow*> byId;
};

STable& Table() {
    static STable table;
    static const bool built = [] {
        table.rows = GatherRows();
        for (const SCommandRow& row : std::as_const(table.rows)) table.byId.insert(row.id, &row);
        return true;
    }();
    (void)built;
    return table;
}

QHash<int, QAction*>& ActionsById() {
    static QHash<int, QAction*> actions;
    return actions;
}

std::function<void(int)>& Router() {
    static std::function<void(int)> router;
    return router;
}

}  // namespace

void AddCommandRows(QList<SCommandRow> (*source)()) { AddedSources() << source; }

const QList<SCommandRow>& CommandRows() { return Table().rows; }

const SCommandRow* FindCommandRow(int id) { return Table().byId.value(id, nullptr); }

bool IsCommandEnabledIn(const SCommandRow& row, const SCommandContext& context) {
    return context.Has(row.owner) && row.run && (!row.enabled || row.enabled(context));
}

std::optional<bool> IsCommandCheckedIn(const SCommandRow& row, const SCommandContext& context) {
    if (!row.checked) return std::nullopt;
    return context.Has(row.owner) && row.checked(context);
}

bool RunCommandIn(int id, const SCommandContext& context) {
    const SCommandRow* row = FindCommandRow(id);
    if (!row || !IsCommandEnabledIn(*row, context)) return false;
    row->run(context);
    return true;
}

void RefreshCommandActions(const SCommandContext& context) {
    for (const SCommandRow& row : CommandRows()) {
        QAction* action = CommandAction(row.id);
        action->setEnabled(IsCommandEnabledIn(row, context));
        if (action->isCheckable())
            action->setChecked(IsCommandCheckedIn(row, context).value_or(false));
    }
}

QAction* CommandAction(int id) {
    QAction*& action = ActionsById()[id];
    if (action) return action;
    action = new QAction(QCoreApplication::instance());
    action->setData(id);
    if (const SCommandRow* row = FindCommandRow(id)) {
        const SCommandLook& look = row->look;
        action->setText(look.label);
        action->setIconText(look.tooltip);
        action->setStatusTip(look.prompt);
        action->setToolTip(look.tooltip);
        action->setShortcuts(look.shortcuts);
        action->setCheckable(look.checkable);
        action->setIcon(CommandIcon(look.icon));
    }
    action->setIconVisibleInMenu(false);
    action->setEnabled(false);
    // A checkable action flips its own mark when triggered; the routing sets
    // the real state afterwards, so the mark never lies for long.
    QObject::connect(action, &QAction::triggered, [id]() {
        if (Router()) Router()(id);
    });
    return action;
}

QAction* CommandAliasAction(int id, const QString& label, QObject* parent) {
    QAction* command = CommandAction(id);
    auto* alias = new QAction(label, parent);
    alias->setStatusTip(command->statusTip());
    alias->setCheckable(command->isCheckable());
    auto follow = [alias, command]() {
        alias->setEnabled(command->isEnabled());
        alias->setChecked(command->isChecked());
    };
    follow();
    QObject::connect(command, &QAction::changed, alias, follow);
    QObject::connect(alias, &QAction::triggered, command, [command]() { command->trigger(); });
    return alias;
}

void SetCommandRouter(std::function<void(int)> router) { Router() = std::move(router); }

QList<QAction*> CreatedCommandActions() { return ActionsById().values(); }
