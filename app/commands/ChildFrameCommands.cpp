// The commands of the child frame: the splitter and its panes (see
// CommandRow.h for how to add one).

#include <functional>

#include "CChildFrame.h"
#include "CommandIds.h"
#include "CommandRow.h"

namespace {

bool Always(const CChildFrame&) { return true; }

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
         Always,
         [](CChildFrame& f) { f.Split(); }},
        {cmd::SplitHorizontal,
         {"2 zones &horizontales",
          "Découpe la fenêtre en 2 zones horizontales",
          "2 zones horizontales",
          {},
          {nullptr, icons::SplitHorizontal}},
         Always,
         Split(true, false)},
        {cmd::SplitVertical,
         {"2 zones &verticales",
          "Découpe la fenêtre en 2 zones verticales",
          "2 zones verticales",
          {},
          {nullptr, icons::SplitVertical}},
         Always,
         Split(false, true)},
        {cmd::SplitFour,
         {"&4 zones", "Découpe la fenêtre en 4 zones", "4 zones", {}, {nullptr, icons::SplitFour}},
         Always,
         Split(true, true)},
        {cmd::SplitNone,
         {"Aucun",
          "Supprime le découpage de la fenêtre",
          "Aucun découpage",
          {},
          {nullptr, icons::SplitNone}},
         Always,
         Split(false, false)},
        {cmd::NextPane,
         {"Volet suivant",
          "Passe au volet suivant de la fenêtre",
          "Volet suivant",
          {QKeySequence(Qt::Key_F6)}},
         Always,
         [](CChildFrame& f) { f.ActivateNeighbour(1); }},
        {cmd::PrevPane,
         {"Volet précédent",
          "Revient au volet précédent de la fenêtre",
          "Volet précédent",
          {QKeySequence(Qt::ShiftModifier | Qt::Key_F6)}},
         Always,
         [](CChildFrame& f) { f.ActivateNeighbour(-1); }},
    };
}
