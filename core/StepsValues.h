#pragma once
// The file's own values: the window that makes the 8-bit levels from the
// kept samples, its usual ends, and the statistics of the values. Shared by
// "Fenêtre...", the statistics dialog, "Mesurer" and orvex-cli's --window.

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "ImageDocument.h"
#include "Step.h"
#include "ValueStatistics.h"

// The levels of the current page made again from its kept samples by the
// window `low`..`high` (as the file holds them; integers for integer
// samples, low <= high), with the reader's rounding; undo copy, then the
// history line the reader writes with the new ends: "Image 16 bits :
// fenêtre 1000..3000". The samples stay kept. Recorded as --window
// LOW,HIGH. False, with nothing changed, without kept samples or with ends
// that are not numbers or out of order.
bool StepWindow(CImageDocument& doc, double low, double high);

// "Auto": the window at opening, from the least to the greatest sample
// (floats that are not finite left out); nothing when there is none.
std::optional<std::pair<double, double>> AutoWindow(const CFileSamples& samples);
// "Saturé P %": `percent` of the samples darker than the low end at most and
// as many brighter than the high end: low = numpy.percentile(v, P,
// method='lower'), high = numpy.percentile(v, 100 - P, method='higher'),
// over the finite samples (0 <= percent <= 50).
std::optional<std::pair<double, double>> SaturatedWindow(const CFileSamples& samples,
                                                         double percent);

// How the window's ends are chosen for given samples: --window's argument
// "LOW,HIGH" (numbers, LOW <= HIGH), "auto" (AutoWindow) or "saturate:P"
// (SaturatedWindow, P 0 .. 50); nothing for any other text.
using WindowChoice = std::function<std::optional<std::pair<double, double>>(const CFileSamples&)>;
std::optional<WindowChoice> ParseWindowArgument(const std::string& text);
// StepWindow at the ends `choice` gives for the current page's samples; the
// engine's message sink says why not ("Window : ...").
bool StepChosenWindow(CImageDocument& doc, const WindowChoice& choice);

// The values of the current page: its kept samples, else its levels.
SValueStatistics PageValueStatistics(const SPicturePage& page);

// A window the step can take for these samples: both ends numbers, low <=
// high, integers for integer samples.
bool WindowFits(const CFileSamples& samples, double low, double high);

template <>
struct SStepNeeds<StepWindow> : SNeedsFileValues {};
