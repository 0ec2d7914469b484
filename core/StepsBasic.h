#pragma once
// Processing steps shared by the desktop commands and orvex-cli. Each step
// records its history line, takes the undo copy and calls the engine in the
// order the command defines; the front end adds only what is its own (wait
// cursor, repaint, modified flag). The result is the engine's: the desktop
// ignores it (the engine has shown its message), orvex-cli exits with 1.
//
// Beside its history lines, every step records in the document's recipe the
// orvex-cli operation that repeats it (CImageDocument::RecordOperation).

#include <cstdint>
#include <span>

#include "ImageDocument.h"
#include "Step.h"

// A new uniform picture: "Image uniforme(%d,%d)".
bool StepUniform(CImageDocument& doc, int width, int height, int level);

// Exchanges the picture and its undo copy; no history line.
bool StepUndo(CImageDocument& doc);

// The picture becomes a block pasted from the clipboard: no undo copy, no
// history line. Recorded as a step no other picture can repeat. False, with
// nothing changed, when there is no block.
bool StepPaste(CImageDocument& doc, HBLOCK block);

// Levels handed in by a program (the Python module): rows from the top,
// `width` bytes each, replace those of an 8-bit picture of the same size,
// through the undo copy: "Niveaux remplacés". Recorded as a step no other
// picture can repeat. False, with nothing changed, when the sizes differ.
bool StepSetLevels(CImageDocument& doc, std::span<const std::uint8_t> levels);

// What each step needs of the document.
// clang-format off
template <> struct SStepNeeds<StepUniform> : SNeedsNothing {};
template <> struct SStepNeeds<StepUndo> : SNeedsNothing {};
template <> struct SStepNeeds<StepPaste> : SNeedsNothing {};
template <> struct SStepNeeds<StepSetLevels> : SNeedsFullPalette {};
// clang-format on
