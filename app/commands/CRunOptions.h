#pragma once
// The option values that last for the whole run and are never written to
// disk: the six perspective values. "&Options..." edits them; the view's
// perspective commands read them. One object for the life of the program.

#include "StepsFilter.h"

class CRunOptions {
public:
    // Amplitude 64, border 10, right and left angles 30, background 100, edge 255.
    PerspectiveParams perspective;

    // The program's one set of options.
    static CRunOptions& Get();
};
