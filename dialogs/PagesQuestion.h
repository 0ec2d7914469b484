#pragma once
// The question a processing command asks on a stack of several pages:
// "Appliquer à toutes les pages ?", answered "Cette page" or "Toutes les
// pages" (or "Annuler", which runs nothing).

#include <optional>

class QWidget;

// True for every page, false for the current one, nullopt when cancelled.
// `allPagesFirst`: the answer given by Return (the document's last one).
std::optional<bool> AskAllPages(QWidget* parent, bool allPagesFirst);
