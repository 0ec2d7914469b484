#pragma once
// Processing steps shared by the desktop commands and orvex-cli. Each step
// records its history line, takes the undo copy and calls the engine in the
// order the command defines; the front end adds only what is its own (wait
// cursor, repaint, modified flag). The result is the engine's: the desktop
// ignores it (the engine has shown its message), orvex-cli exits with 1.

#include "Step.h"

// A new uniform picture: "Image uniforme(%d,%d)".
extern const SStep<int, int, int> StepUniform;

// Exchanges the picture and its undo copy; no history line.
extern const SStep<> StepUndo;
