// The commands shown in menus or toolbars that nothing handles: always
// disabled.

#include "CommandIds.h"
#include "CommandRow.h"

namespace {
constexpr auto Ctrl = Qt::ControlModifier;
}  // namespace

QList<std::pair<int, SCommandLook>> UnhandledCommandRows() {
    return {
        {cmd::Unassigned, {"", "", "", {}, {nullptr, icons::Unassigned}}},
        {cmd::EditCut,
         {"&Couper\tCtrl+X",
          "Coupe la sélection et la place dans le Presse-papiers",
          "Couper",
          {QKeySequence(Ctrl | Qt::Key_X), QKeySequence(Qt::ShiftModifier | Qt::Key_Delete)}}},
        {cmd::StructuringElement,
         {"Elément structurant...", "Définit l'élément structurant", "Elément structurant"}},
    };
}
