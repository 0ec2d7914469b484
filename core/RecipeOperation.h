#pragma once
// What one processing step records beside its history lines: the orvex-cli
// operation that repeats it, with the exact arguments it used.

#include <memory>
#include <string>

#include "PaletteFile.h"

struct CRecipeOperation {
    std::string flag{};      // "--rotate"
    std::string argument{};  // "90"; empty for an operation without argument
    // The negative, the tone curve and convolution work inside the region of
    // interest: the recipe sets the region first when it was not the same.
    bool usesRoi = false;
    // The step put a new picture in place (geometry, perspective, a new
    // picture, undo, paste), so the region of interest is the whole picture.
    bool resetsRoi = false;
    // A colour table from the palette editor: written to a palette file
    // beside the recipe, whose name becomes the argument. Held apart: every
    // step records an operation, and few carry a table.
    std::shared_ptr<const CPaletteColors> palette{};
    // The step works on the stack itself (a projection, a page taken out),
    // not on pages: no --page goes before it.
    bool wholeStack = false;
    // Why the step cannot be repeated on another picture; empty when it can.
    std::string notReplayable{};
    // The step leaves the levels and the geometry as they were (colours, a
    // window, a measurement), so the file's own values stay kept.
    bool keepsLevels = false;
};
