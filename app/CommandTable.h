#pragma once
// One table of every command of the program, keyed by its id: menu label
// (with its "&" mnemonic and the accelerator text shown after a tab),
// status-bar prompt, tooltip, shortcuts and icon. Each command has exactly one
// QAction, shared by menus, toolbars and context menus; triggering it hands
// the id to the router installed by the main frame.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

class QAction;
class QObject;

struct SCommandInfo {
    int id = 0;
    QString label;    // menu text with "&" mnemonic and "\t" accelerator text
    QString prompt;   // status-bar prompt
    QString tooltip;  // tooltip and toolbar text
    QList<QKeySequence> shortcuts;
};

// The description of a command, or null when the id is unknown.
const SCommandInfo* FindCommandInfo(int id);

// The single QAction of a command, created on first use. Triggering it calls
// the router installed with SetCommandRouter.
QAction* CommandAction(int id);

// A second menu entry for a command, under another label (the main window's
// short menu and context menu name some commands differently). It triggers
// the command's own action and follows its enabled and checked state.
QAction* CommandAliasAction(int id, const QString& label, QObject* parent);

// Installs the function that runs a triggered command (the main frame's
// routing: active view, its document, child frame, main frame, application).
void SetCommandRouter(std::function<void(int)> router);

// Every command action created so far.
QList<QAction*> CreatedCommandActions();
