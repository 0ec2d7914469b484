#include "CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>

namespace {

QHash<int, QAction*>& ActionsById() {
    static QHash<int, QAction*> actions;
    return actions;
}

std::function<void(int)>& Router() {
    static std::function<void(int)> router;
    return router;
}

}  // namespace

const SCommandInfo* FindCommandInfo(int id) {
    (void)id;
    return nullptr;
}

QAction* CommandAction(int id) {
    QAction*& action = ActionsById()[id];
    if (action) return action;
    action = new QAction(QCoreApplication::instance());
    if (const SCommandInfo* info = FindCommandInfo(id)) {
        action->setText(info->label);
        action->setStatusTip(info->prompt);
        action->setToolTip(info->tooltip);
        action->setShortcuts(info->shortcuts);
        action->setCheckable(info->checkable);
    }
    action->setEnabled(false);
    QObject::connect(action, &QAction::triggered, [id]() {
        if (Router()) Router()(id);
    });
    return action;
}

void SetCommandRouter(std::function<void(int)> router) { Router() = std::move(router); }

QList<QAction*> CreatedCommandActions() { return ActionsById().values(); }
