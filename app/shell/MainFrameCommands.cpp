// The commands of the main frame (bars, windows, close all, tip of the day,
// measuring); see CommandRow.h for how to add one. The rows join the command
// table when the program loads.

#include <QMdiArea>
#include <QToolBar>
#include <algorithm>

#include "CCommandSteps.h"
#include "CDialogTip.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexDoc.h"
#include "CResultsWindow.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "CommandTable.h"
#include "MdiArrange.h"
#include "StepsMeasure.h"

namespace {

using SMainFrameCommand = SCommandRowOf<CMainFrame>;

bool Always(const CMainFrame&) { return true; }

bool HasChild(const CMainFrame& frame) { return frame.ActiveChildFrame() != nullptr; }

bool CanMeasure(const CMainFrame& frame) {
    const COrvexDoc* doc = frame.ActiveDocument();
    return doc != nullptr && Needs<StepMeasure>()(*doc);
}

// A row for the active document: its file, or its title before it has one;
// its step counts the measurements of the document, as orvex-cli counts
// those of a command line.
void Measure(CMainFrame& frame) {
    COrvexDoc& doc = *frame.ActiveDocument();
    CMeasureRow row;
    row.file = (doc.GetPathName().isEmpty() ? doc.GetTitle() : doc.GetPathName()).toStdString();
    if (!StepMeasure(doc.Core(), false, row)) return;
    const auto& entries = doc.Core().GetRecipe().GetEntries();
    row.step = static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& e) {
        return e.done && e.operation.flag.rfind("--measure", 0) == 0;
    }));
    frame.Results()->AddRow(row);
}

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
        {cmd::Measure,
         {"&Mesurer\tCtrl+M",
          "Ajoute les mesures de l'image à la fenêtre des résultats",
          "Mesurer",
          {QKeySequence(Qt::ControlModifier | Qt::Key_M)}},
         CanMeasure,
         Measure},
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
