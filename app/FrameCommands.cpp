// The commands of the child frame (splitter, panes) and of the main frame
// (bars, windows, close all, tip of the day); see CommandRow.h for how to add
// one.

#include <QMdiArea>
#include <QToolBar>
#include <algorithm>

#include "CChildFrame.h"
#include "CCommandSteps.h"
#include "CDialogTip.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexDoc.h"
#include "CResultsWindow.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "MdiArrange.h"
#include "StepsMeasure.h"

namespace {

template <class Target>
bool Always(const Target&) {
    return true;
}

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

// The splitter commands set the ideal sizes from the child window's outer
// rectangle, halved.
std::function<void(CChildFrame&)> Split(bool rows, bool columns) {
    return [rows, columns](CChildFrame& frame) {
        const QSize outer = frame.OuterSize();
        frame.SetIdealSizes(rows ? outer.height() / 2 : 0, columns ? outer.width() / 2 : 0);
    };
}

}  // namespace

QList<SChildFrameCommand> ChildFrameCommandRows() {
    return {
        {cmd::WindowSplit,
         {"Fractionner",
          "Fractionne la fenêtre active en plusieurs volets",
          "Fractionner",
          {},
          {nullptr, icons::WindowSplit}},
         Always<CChildFrame>,
         [](CChildFrame& f) { f.Split(); }},
        {cmd::SplitHorizontal,
         {"2 zones &horizontales",
          "Découpe la fenêtre en 2 zones horizontales",
          "2 zones horizontales",
          {},
          {nullptr, icons::SplitHorizontal}},
         Always<CChildFrame>,
         Split(true, false)},
        {cmd::SplitVertical,
         {"2 zones &verticales",
          "Découpe la fenêtre en 2 zones verticales",
          "2 zones verticales",
          {},
          {nullptr, icons::SplitVertical}},
         Always<CChildFrame>,
         Split(false, true)},
        {cmd::SplitFour,
         {"&4 zones", "Découpe la fenêtre en 4 zones", "4 zones", {}, {nullptr, icons::SplitFour}},
         Always<CChildFrame>,
         Split(true, true)},
        {cmd::SplitNone,
         {"Aucun",
          "Supprime le découpage de la fenêtre",
          "Aucun découpage",
          {},
          {nullptr, icons::SplitNone}},
         Always<CChildFrame>,
         Split(false, false)},
        {cmd::NextPane,
         {"Volet suivant",
          "Passe au volet suivant de la fenêtre",
          "Volet suivant",
          {QKeySequence(Qt::Key_F6)}},
         Always<CChildFrame>,
         [](CChildFrame& f) { f.ActivateNeighbour(1); }},
        {cmd::PrevPane,
         {"Volet précédent",
          "Revient au volet précédent de la fenêtre",
          "Volet précédent",
          {QKeySequence(Qt::ShiftModifier | Qt::Key_F6)}},
         Always<CChildFrame>,
         [](CChildFrame& f) { f.ActivateNeighbour(-1); }},
    };
}

QList<SMainFrameCommand> MainFrameCommandRows() {
    return {
        {cmd::TipOfTheDay,
         {"&Conseil du jour...",
          "Affiche un conseil du jour",
          "Conseil du jour",
          {},
          {nullptr, icons::TipOfTheDay}},
         Always<CMainFrame>,
         // Asked for from the menu, the tip shows even when the user has
         // turned the start-up tips off.
         [](CMainFrame&) {
             CDialogTip tip;
             tip.exec();
         }},
        {cmd::ViewToolbar,
         {"&Barre d'outils", "Affiche ou masque la barre d'outils", "Barre d'outils", {}, {}, true},
         Always<CMainFrame>,
         [](CMainFrame& f) { f.MainToolBar()->setVisible(f.MainToolBar()->isHidden()); },
         [](const CMainFrame& f) { return !f.MainToolBar()->isHidden(); }},
        {cmd::ViewResults,
         {"&Résultats", "Affiche ou masque la fenêtre des résultats", "Résultats", {}, {}, true},
         Always<CMainFrame>,
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
         Always<CMainFrame>,
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
