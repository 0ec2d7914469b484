#pragma once
// The words for samples deeper than Orvex keeps and for the window that
// brought them to 8 bits, the same in the history, the desktop program's
// notes and orvex-cli's, whatever the locale.

#include <string>

#include "PictureLosses.h"

// "12 bits", "16 bits signés", "32 bits flottants".
std::string SampleDepthWords(const SPictureLosses& losses);
// "37..4011", "-1200..3400", "-0.25..1.75": each end in its shortest form,
// floating-point ends as the file's floats.
std::string WindowValues(const SPictureLosses& losses);
