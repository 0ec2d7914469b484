#pragma once
// The catalogue of predefined convolution kernels offered by the filter
// browser and by orvex-cli --filter: flat and Gaussian smoothing, Laplacians,
// Prewitt and Sobel gradients. Fixed data, no state.
//
// A key is the path of the kernel's leaf in the browser's tree: every label
// from the top level down, each followed by one space ("Lissage Gaussien 3x3
// 1 "). Lookups compare the whole text exactly, final space included.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "Mask.h"

struct CKernelEntry {
    const char* key;
    int size;  // 3, 5 or 7
    // size x size coefficients, row by row, row 0 at the top as the grid shows it.
    std::array<std::int8_t, 49> coefficients;
    const char* description;
};

// All 80 entries, in the browser's order.
std::span<const CKernelEntry> GetKernelCatalogue();

// The entry whose key is exactly `key`, or null.
const CKernelEntry* FindKernel(std::string_view key);

// The entry's kernel loaded with Set3x3, Set5x5 or Set7x7.
CMask MakeKernelMask(const CKernelEntry& entry);

// A mask of side `size` (3, 5 or 7; anything else is taken as 3) from its
// coefficients row by row.
CMask MakeMask(int size, const std::int8_t* coefficients);
