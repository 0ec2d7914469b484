#pragma once
// The words for samples deeper than Orvex keeps and for the window that
// brought them to 8 bits, the same in the history, the desktop program's
// notes and orvex-cli's, whatever the locale.

#include <string>

#include "PictureLosses.h"

// "12 bits", "16 bits signés", "32 bits flottants".
std::string SampleDepthWords(const SPictureLosses& losses);
// One value of the file in its shortest form: "3412", "-1200", "-0.25"
// (floats as the file's floats; "nan", "inf").
std::string SampleValueText(double value, SampleKind kind);
// "37..4011", "-1200..3400", "-0.25..1.75": each end in its shortest form,
// floating-point ends as the file's floats.
std::string WindowValues(const SPictureLosses& losses);
std::string WindowValues(SampleKind kind, double low, double high);
// orvex-cli's words: "16-bit unsigned", "16-bit signed", "32-bit float".
std::string SampleDepthEnglish(SampleKind kind, int bits);
