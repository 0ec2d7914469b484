#pragma once
// One command of the program is one row: its id, what the user sees (label,
// prompt, tooltip, shortcuts, check mark, icon), which target owns it, when it
// is enabled and what it does. The rows live beside their handlers, one file
// per owner:
//
//   ViewCommands.cpp               the active view      (zoom, palettes, undo, ...)
//   DocumentCommands.cpp           the view's document  (processing commands)
//   ChildFrameCommands.cpp         the child frame      (splitter, panes)
//   shell/MainFrameCommands.cpp    the main frame       (bars, windows, ...)
//   shell/ApplicationCommands.cpp  the application      (new, open, options, ...)
//
// The shell's two files hand their rows to the table themselves
// (AddCommandRows in CommandTable.h), as this room knows nothing above it.
//
// Adding a command: write its handler in the owner's file and fill in its row
// there (the id comes from CommandIds.h; menus and toolbars list the ids).
// Nothing else: the shared QAction, its menu and toolbar entries, both context
// menus, the enabling and the routing all come from the row. A row without a
// handler is a command still to come: it shows, disabled.
//
// The rule: an empty one means always; Needs<StepX>() reads what the core step
// declares (StepNeeds), so the desktop and orvex-cli agree; any lambda on the
// owner will do (`[](const COrvexView& v) { return v.Zoom() == 1.0f; }`).
//
// A handler that runs a dialog makes it on the stack, reads its results and
// either returns (cancel, or a refused value: nothing changed, the modified
// flag untouched) or goes on with the command's steps through CCommandSteps,
// called in the command's own order. Dialogs that answer 2 on cancel are
// tested for exactly 1.
//
//   void Dynamic(COrvexDoc& doc) {
//       CDialogDynamic dialog;
//       if (dialog.exec() == 0) return;
//       CCommandSteps steps(doc);
//       steps.Wait();
//       StepDynamic(steps.Core(), dialog.Table());  // history, undo copy, engine
//       steps.Repaint();
//       steps.Modified();
//   }
//   ...
//   {cmd::Dynamic,
//    {"&Dynamique...", "Change la dynamique de l'image ", "Dynamique", {},
//     {nullptr, icons::Dynamic}},
//    Needs<StepDynamic>(),
//    Dynamic},
//
// A live preview that only rewrites the colour table tells the views with
// COrvexDoc::UpdateColours() (or steps.RepaintColours()): one repaint, no
// refit, no region of interest touched. The perspective values of the run are
// CRunOptions::Get().perspective, for the perspective commands and
// "&Options..." alike.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

#include "CommandIcons.h"
#include "CommandTarget.h"

class CChildFrame;
class COrvexDoc;
class COrvexView;

// What the user sees of a command.
struct SCommandLook {
    QString label;    // menu text with its "&" mnemonic and "\t" accelerator text
    QString prompt;   // status-bar prompt
    QString tooltip;  // tooltip and toolbar text
    QList<QKeySequence> shortcuts = {};
    SCommandIcon icon = {};
    bool checkable = false;
};

// A row of the commands owned by one kind of target. An empty rule means
// "always enabled"; a row without handler is a command still to come, and
// stays disabled.
template <class Target>
struct SCommandRowOf {
    int id = 0;
    SCommandLook look;
    std::function<bool(const Target&)> enabled;
    std::function<void(Target&)> run;
    std::function<bool(const Target&)> checked;  // the mark of a checkable command
};

using SViewCommand = SCommandRowOf<COrvexView>;
using SDocumentCommand = SCommandRowOf<COrvexDoc>;
using SChildFrameCommand = SCommandRowOf<CChildFrame>;

// The rows of each owner of this room, in their files.
QList<SViewCommand> ViewCommandRows();
QList<SDocumentCommand> DocumentCommandRows();
QList<SChildFrameCommand> ChildFrameCommandRows();
// Commands shown in menus or toolbars that nothing handles.
QList<std::pair<int, SCommandLook>> UnhandledCommandRows();
