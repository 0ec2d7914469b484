#include "CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>

namespace {

template <class Target>
Target* TargetIn(const SCommandContext& c);
template <>
COrvexView* TargetIn(const SCommandContext& c) {
    return c.view;
}
template <>
COrvexDoc* TargetIn(const SCommandContext& c) {
    return c.doc;
}
template <>
CChildFrame* TargetIn(const SCommandContext& c) {
    return c.childFrame;
}
template <>
CMainFrame* TargetIn(const SCommandContext& c) {
    return c.mainFrame;
}
template <>
COrvexApp* TargetIn(const SCommandContext& c) {
    return c.app;
}

template <class Target>
void AddRows(QList<SCommandRow>& rows, CommandOwner owner,
             const QList<SCommandRowOf<Target>>& typed) {
    for (const SCommandRowOf<Target>& r : typed) {
        SCommandRow row{r.id, r.look, owner, {}, {}, {}};
        if (r.enabled)
            row.enabled = [f = r.enabled](const SCommandContext& c) {
                return f(*TargetIn<Target>(c));
            };
        if (r.run) row.run = [f = r.run](const SCommandContext& c) { f(*TargetIn<Target>(c)); };
        if (r.checked)
            row.checked = [f = r.checked](const SCommandContext& c) {
                return f(*TargetIn<Target>(c));
            };
        rows << row;
    }
}

QList<SCommandRow> GatherRows() {
    QList<SCommandRow> rows;
    AddRows(rows, CommandOwner::View, ViewCommandRows());
    AddRows(rows, CommandOwner::Document, DocumentCommandRows());
    AddRows(rows, CommandOwner::ChildFrame, ChildFrameCommandRows());
    AddRows(rows, CommandOwner::MainFrame, MainFrameCommandRows());
    AddRows(rows, CommandOwner::Application, ApplicationCommandRows());
    for (const auto& [id, look] : UnhandledCommandRows())
        rows << SCommandRow{id, look, CommandOwner::None, {}, {}, {}};
    return rows;
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

bool SCommandContext::Has(CommandOwner owner) const {
    switch (owner) {
        case CommandOwner::View:
            return view != nullptr;
        case CommandOwner::Document:
            return doc != nullptr;
        case CommandOwner::ChildFrame:
            return childFrame != nullptr;
        case CommandOwner::MainFrame:
            return mainFrame != nullptr;
        case CommandOwner::Application:
            return app != nullptr;
        case CommandOwner::None:
            break;
    }
    return false;
}

const QList<SCommandRow>& CommandRows() {
    static const QList<SCommandRow> rows = GatherRows();
    return rows;
}

const SCommandRow* FindCommandRow(int id) {
    static const QHash<int, const SCommandRow*> byId = [] {
        QHash<int, const SCommandRow*> index;
        for (const SCommandRow& row : CommandRows()) index.insert(row.id, &row);
        return index;
    }();
    return byId.value(id, nullptr);
}

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
