#pragma once
// A processing step and what it needs of the document before it may run.
// The desktop enables a command, and orvex-cli accepts an operation, by
// asking the step itself, so the two can never disagree.
//
// A step is called like a function, StepNegative(doc), and carries its need:
// StepNegative.needs.

#include "ImageDocument.h"

enum class StepNeeds {
    Nothing,      // runs on any document, an empty one included
    Picture,      // a picture, whatever its colour count
    FullPalette,  // an 8-bit picture with a 256-entry colour table
};

// Whether the document holds what a step with this need works on.
bool StepCanRun(const CImageDocument& doc, StepNeeds needs);

template <typename... Args>
struct SStep {
    bool (*run)(CImageDocument&, Args...);
    StepNeeds needs;

    bool operator()(CImageDocument& doc, Args... args) const { return run(doc, args...); }
    bool CanRun(const CImageDocument& doc) const { return StepCanRun(doc, needs); }
};
