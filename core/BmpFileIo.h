#pragma once
// BMP files on disk: opening, reading and the atomic save.

#include <string>

#include "Image.h"

enum class FileStatus {
    Ok,
    CannotOpen,     // the file could not be opened or created (errno tells why)
    ReadError,      // the system failed while reading
    WriteError,     // the system failed while writing; the old file is intact
    Refused,        // the engine refused the picture (it has said why, if it speaks)
    UnknownFormat,  // the file's first bytes are no picture format Orvex reads
    Damaged,        // a reader found the file broken or beyond its limits
};

// Reads path into image. On anything but Ok the image is unchanged.
FileStatus ReadBmpFile(CImage& image, const std::string& path);

// Writes image to path complete or not at all (see AtomicFileWrite.h): a
// failed or refused save never destroys the file that was there, and a save
// through a symbolic link replaces the file it points to.
FileStatus SaveBmpFile(CImage& image, const std::string& path);
