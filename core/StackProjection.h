#pragma once
// One picture made of every page of a stack: for each pixel (each colour
// byte of a colour picture) the brightest value through the pages, the
// darkest, or the mean rounded half up. The result takes the first page's
// size, depth and table.

#include <span>

#include "Image.h"
#include "PictureCodec.h"

enum class ProjectionKind { Maximum, Minimum, Mean };

// False, with a message, unless the pages are 8- or 24-bit pictures of one
// size and depth (or when memory runs out).
bool ProjectPages(std::span<const SPicturePage> pages, ProjectionKind kind, CImage& into);
