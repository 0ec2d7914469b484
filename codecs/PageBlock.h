#pragma once
// The engine block a page's header calls for, worked out in one place for
// the read driver: its depth, the bytes of its rows and of the whole block,
// and the block itself with the rows its reader fills.

#include <cstdint>

#include "PictureReader.h"

// Bits a pixel of the page's block: 8, 24, or the file's own (kind Dib).
int PageBitCount(const SPictureHeader& header);
// Bytes of the page's rows at that depth.
std::uint64_t PageRowBytes(const SPictureHeader& header);
// Bytes of the page's block, as a stack's pages are counted.
std::uint64_t PageBlockBytes(const SPictureHeader& header);
// A zero-filled block for the page of a checked header, with `rows` set to
// what its reader fills; null when memory cannot be had.
HBLOCK MakePageBlock(const SPictureHeader& header, SPictureRows& rows);
