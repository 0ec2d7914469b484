#pragma once
// A picture file read or written in one call: read in whatever format its
// first bytes tell, written as BMP, the engine's own format.

#include <string>

#include "PictureFile.h"

inline FileStatus ReadPictureAt(CImage& image, const std::string& path) {
    SPictureFileInfo info;
    return ReadPictureFile(image, path, info);
}

inline FileStatus SaveBmpAt(CImage& image, const std::string& path) {
    std::string problem;
    return SavePictureFile(image, path, PictureFormat::Bmp, problem);
}
