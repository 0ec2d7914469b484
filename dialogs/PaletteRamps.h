#pragma once
// The palette editor's ramps: between two consecutive nodes a < b each
// channel runs linearly, with the editor's own arithmetic, which the saved
// palettes of earlier sessions depend on:
//   s = (T[b] - T[a]) / (b - a)        single-precision float
//   g = T[a] - trunc(a * s)            integer
//   T[x] = trunc(x * s + g)            for a <= x < b, low 8 bits kept
// The last node keeps its value; a falling ramp can rewrite its first node
// one lower (nodes 10 = 200 and 13 = 199 give 199, 199, 198, 199).

#include <array>
#include <vector>

#include "PaletteFile.h"

// Fills the entries between the nodes of `colors`, red, then green, then
// blue; returns the nodes in ascending order. Fewer than two nodes change
// nothing.
std::vector<int> ComputeRamps(const std::array<bool, 256>& isNode, CPaletteColors& colors);
