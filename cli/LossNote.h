#pragma once
// The note orvex-cli prints when a result replaces its own input file and
// that file held more than the result keeps.

#include <string>

#include "PictureLosses.h"

// "only page 1 of 3 is written" (`firstPage`: the one read), several joined
// by "; "; empty when the
// result keeps everything the file held.
std::string LossNote(const SPictureLosses& losses, int firstPage = 1);
