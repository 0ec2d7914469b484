#pragma once
// What a processing step needs of the document before it may run. Each
// step's header declares it beside the step:
//
//   bool StepNegative(CImageDocument& doc);
//   template <> struct SStepNeeds<StepNegative> : SNeedsFullPalette {};
//
// The desktop enables a command, and orvex-cli accepts an operation, by
// reading that declaration (kStepNeeds<StepNegative>), so the two can never
// disagree. A step without a declaration cannot be asked: it does not compile.

#include "ImageDocument.h"

enum class StepNeeds {
    Nothing,      // runs on any document, an empty one included
    Picture,      // a picture, whatever its colour count
    FullPalette,  // an 8-bit picture with a 256-entry colour table
    FileValues,   // the file's own samples, kept beside the levels
};

template <auto Step>
struct SStepNeeds;

struct SNeedsNothing {
    static constexpr StepNeeds value = StepNeeds::Nothing;
};
struct SNeedsPicture {
    static constexpr StepNeeds value = StepNeeds::Picture;
};
struct SNeedsFullPalette {
    static constexpr StepNeeds value = StepNeeds::FullPalette;
};
struct SNeedsFileValues {
    static constexpr StepNeeds value = StepNeeds::FileValues;
};

template <auto Step>
inline constexpr StepNeeds kStepNeeds = SStepNeeds<Step>::value;

// Whether the document holds what a step with this need works on.
bool StepCanRun(const CImageDocument& doc, StepNeeds needs);
// What a document lacks for a step with this need, after "needs ": "an 8-bit
// picture with 256 colours".
const char* StepNeedWords(StepNeeds needs);
