#pragma once
// Reading and writing a picture in any format of the list, for the shared
// core: a read goes signature, header, size checks, one block, pixels, and
// the window of samples deeper than 8 bits; a write goes through the
// format's writer into whatever stream the caller gives (the temporary file
// of a complete-or-nothing save, which can seek; standard output; memory).

#include <string>

#include "ByteStream.h"
#include "CodecInput.h"
#include "Image.h"
#include "PictureFormat.h"
#include "PictureLosses.h"

enum class CodecStatus {
    Ok,
    Damaged,      // the file is broken, cut short or beyond the limits
    Unsupported,  // a well-formed file of a kind Orvex does not open or write
};

// What reading a file gave.
struct SCodecRead {
    CodecStatus status = CodecStatus::Ok;
    // Why it was refused, in a few English words; empty when the engine's
    // own BMP reader said it through its message sink.
    std::string problem;
    // What the file held that the picture does not keep, with what the read
    // found: the samples' depth and window, the pages.
    SPictureLosses losses;
    // Whether grey samples deeper than 8 bits were brought to 8 by the
    // window from their minimum to their maximum (deep colour is scaled).
    bool windowed = false;
};

// Reads `input`, a file of `format`, into `image`. On anything but Ok the
// image is unchanged.
SCodecRead ReadFormatPicture(CImage& image, CCodecInput& input, PictureFormat format);

// Writes `image` in `format` into `out`; sets `problem` unless Ok (empty
// when the engine's BMP writer said it).
CodecStatus WriteFormatPicture(CImage& image, CByteStream& out, PictureFormat format,
                               std::string& problem);
