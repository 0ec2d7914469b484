#pragma once
// "&Mesurer" and orvex-cli's --measure: one table row of the picture's
// measurements, the engine's own numbers as "&Statistiques..." shows them,
// and the exact figures of the picture's values (the file's own samples
// while they are kept, else the levels).
// The picture does not change: no undo copy, no history line; the step is
// recorded so that a recipe measures where the session did.

#include <vector>

#include "ImageDocument.h"
#include "MeasureTable.h"
#include "Step.h"

// Fills the numbers of `row` and its step, the count of the document's
// measurements with this one (the caller names its file); with `histogram`,
// the 256 counts too (--measure-histogram).
bool StepMeasure(CImageDocument& doc, bool histogram, CMeasureRow& row);
// The same for a stack: one row for the current page, or with `allPages` a
// row for each page, all of them one measurement (one step, recorded once).
bool StepMeasurePages(CImageDocument& doc, bool histogram, bool allPages,
                      std::vector<CMeasureRow>& rows);

template <>
struct SStepNeeds<StepMeasure> : SNeedsFullPalette {};
