#pragma once
// One table of every command of the program, keyed by its id: menu label
// (with its "&" mnemonic), status-bar prompt, tooltip, shortcuts and icon.
// Each command has exactly one QAction, shared by menus, toolbars and
// context menus; triggering it routes the command through the main frame.

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

class QAction;
class QObject;

struct SCommandInfo {
    int id = 0;
    QString label;                  // menu text with "&" mnemonic, without accelerator text
    QString prompt;                 // status-bar prompt (first half of the command's text)
    QString tooltip;                // tooltip (second half of the command's text)
    QList<QKeySequence> shortcuts;  // first one is shown in menus
    QString accelText;              // accelerator text shown in the menu
    bool checkable = false;
};

// The description of a command, or null when the id is unknown.
const SCommandInfo* FindCommandInfo(int id);

// The single QAction of a command, created on first use. Triggering it calls
// the handler installed with SetCommandRouter.
QAction* CommandAction(int id);

// Installs the function that runs a triggered command (the main frame's
// routing: active view, its document, child frame, main frame, application).
void SetCommandRouter(std::function<void(int)> router);

// Every action created so far, keyed by id, for refreshing their state.
QList<QAction*> CreatedCommandActions();
