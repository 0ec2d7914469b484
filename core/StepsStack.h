#pragma once
// The steps of the "Pile" menu that change the stack itself, shared by the
// desktop and orvex-cli (see StepsBasic.h for the contract). Pages are named
// by their numbers in the file they came from. None takes an undo copy.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ImageDocument.h"
#include "StackProjection.h"
#include "Step.h"

// The stack becomes one page, its projection: "Projection maximum",
// "Projection minimum" or "Projection moyenne".
bool StepProject(CImageDocument& doc, ProjectionKind kind);
// The same of the pages of another stack: `doc` becomes their projection.
bool StepProjectPages(CImageDocument& doc, ProjectionKind kind,
                      std::span<const SPicturePage> pages);
// The stack becomes page `number` alone: "Extraction de la page %d".
bool StepExtractPage(CImageDocument& doc, int number);
// Page `number` leaves the stack, which keeps one page at least:
// "Suppression de la page %d".
bool StepDeletePage(CImageDocument& doc, int number);
// Pictures of one size and depth become the document's stack, page 1 to N
// in the order given, each keeping its own table: "Pile de %d images".
bool StepAssemble(CImageDocument& doc, std::vector<SPicturePage> pictures);

// The word of --project for each kind, and back.
const char* ProjectionName(ProjectionKind kind);
std::optional<ProjectionKind> FindProjectionName(const std::string& name);

// clang-format off
template <> struct SStepNeeds<StepProject> : SNeedsPicture {};
template <> struct SStepNeeds<StepExtractPage> : SNeedsPicture {};
template <> struct SStepNeeds<StepDeletePage> : SNeedsPicture {};
template <> struct SStepNeeds<StepAssemble> : SNeedsNothing {};
// clang-format on
