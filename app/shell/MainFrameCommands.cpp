// The commands of the main frame (bars, windows, close all, tip of the day); see CommandRow.h for
// how to add one. The rows join the command table when the program loads.

#include <QMdiArea>
#include <QToolBar>

#include "CDialogTip.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "CResultsWindow.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "CommandTable.h"
#include "MdiArrange.h"

namespace {

using SMainFrameCommand = SCommandRowOf<CMainFrame>;

bool Always(const CMainFrame&) { return true; }

bool HasChild(const CMainFrame& frame) { return frame.ActiveChildFrame() != nullptr; }

QList<SMainFrameCommand> MainFrameCommandRows() {
    return {
        {cmd::TipOfTheDay,
         {"&Conseil du jour...",
          "Affiche un conseil du jour",
          "Conseil du jour",
          {},
          {nullptr, icons::TipOfTheDay}},
         Always,
         // Asked for from the menu, the tip shows even when the user has
         // turned the start-up tips off.
         [](CMainFrame&) {
             CDialogTip tip;
             tip.exec();
         }},
        {cmd::ViewToolbar,
         {"&Barre d'outils", "Affiche ou masque la barre d'outils", "Barre d'outils", {}, {}, true},
         Always,
         [](CMainFrame& f) { f.MainToolBar()->setVisible(f.MainToolBar()->isHidden()); },
         [](const CMainFrame& f) { return !f.MainToolBar()->isHidden(); }},
        {cmd::ViewResults,
         {"&Résultats", "Affiche ou masque la fenêtre des résultats", "Résultats", {}, {}, true},
         Always,
         [](CMainFrame& f) { f.Results()->setVisible(f.Results()->isHidden()); },
         [](const CMainFrame& f) { return !f.Results()->isHidden(); }},
        {cmd::ViewStatusBar,
         {"Barre d'é&tat", "Affiche ou masque la barre d'état", "Barre d'état", {}, {}, true},
         Always,
         [](CMainFrame& f) { f.StatusBar()->setVisible(f.StatusBar()->isHidden()); },
         [](const CMainFrame& f) { return !f.StatusBar()->isHidden(); }},
        {cmd::CloseAllSave,
         {"&Avec sauvegarde", "Enregistre les documents modifiés puis ferme toutes les fenêtres",
          "Fermer tout avec sauvegarde"},
         HasChild,
         [](CMainFrame& f) {
             if (CDocManager* docs = f.DocManager()) docs->CloseAll(true);
         }},
        {cmd::CloseAllNoSave,
         {"&Sans sauvegarde",
          "Ferme toutes les fenêtres sans enregistrer",
          "Fermer tout sans sauvegarde",
          {},
          {nullptr, icons::CloseAllNoSave}},
         HasChild,
         [](CMainFrame& f) {
             if (CDocManager* docs = f.DocManager()) docs->CloseAll(false);
         }},
        {cmd::WindowNew,
         {"&Nouvelle fenêtre",
          "Ouvre une autre fenêtre pour le document actif",
          "Nouvelle fenêtre",
          {},
          {nullptr, icons::WindowNew}},
         HasChild,
         [](CMainFrame& f) {
             if (CDocManager* docs = f.DocManager()) docs->NewWindow(f.ActiveDocument());
         }},
        {cmd::WindowCascade,
         {"&Cascade",
          "Réorganise les fenêtres en cascade",
          "Cascade",
          {},
          {nullptr, icons::WindowCascade}},
         HasChild,
         [](CMainFrame& f) { f.MdiArea()->cascadeSubWindows(); }},
        {cmd::WindowTileHorizontal,
         {"Mosaïque &horizontale",
          "Réorganise les fenêtres en mosaïque horizontale",
          "Mosaïque horizontale",
          {},
          {nullptr, icons::WindowTileHorizontal}},
         HasChild,
         [](CMainFrame& f) { TileSubWindows(f.MdiArea(), Qt::Horizontal); }},
        {cmd::WindowTileVertical,
         {"Mosaïque &verticale",
          "Réorganise les fenêtres en mosaïque verticale",
          "Mosaïque verticale",
          {},
          {nullptr, icons::WindowTileVertical}},
         HasChild,
         [](CMainFrame& f) { TileSubWindows(f.MdiArea(), Qt::Vertical); }},
        {cmd::WindowArrangeIcons,
         {"&Réorganiser les icônes", "Réorganise les icônes au bas de la fenêtre",
          "Réorganiser les icônes"},
         HasChild,
         [](CMainFrame& f) { ArrangeIcons(f.MdiArea()); }},
    };
}

QList<SCommandRow> MainFrameRows() {
    return RowsOf(CommandOwner::MainFrame, MainFrameCommandRows());
}

[[maybe_unused]] const bool added = (AddCommandRows(MainFrameRows), true);

}  // namespace
