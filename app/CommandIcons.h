#pragma once
// Toolbar icons of our own, drawn as vectors on a 16 x 16 grid so they stay
// sharp at any size and device pixel ratio. Standard file and edit commands
// prefer the desktop's icon theme and fall back on ours.

#include <QIcon>

// The icon of a command, or a null icon when it has none.
QIcon CommandIcon(int id);

// Whether a drawing of our own exists for the command.
bool HasOwnIcon(int id);
