#pragma once
// Reading and writing a picture in any format of the list, for the shared
// core: a read goes signature, header, size checks, one block, pixels, and
// the window of samples deeper than 8 bits; a write goes through the
// format's writer into whatever stream the caller gives (the temporary file
// of a complete-or-nothing save, which can seek; standard output; memory).

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ByteStream.h"
#include "CodecInput.h"
#include "FileSamples.h"
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
    // Set when the pages asked for differ in size or depth: only the first
    // of them was read, and this says so in a few English words.
    std::string stackNote;
};

// The ends of the window that brought a page's samples to 8-bit levels, as
// the file holds them.
struct SSampleWindow {
    double low = 0, high = 0;
    bool operator==(const SSampleWindow&) const = default;
};

// One page of a stack: a picture of its own (block, undo copy, region of
// interest), the page's number in the file it came from, and how long a GIF
// frame is shown.
struct SPicturePage {
    std::unique_ptr<CImage> image = std::make_unique<CImage>();
    int number = 1;
    int delay = 0;  // hundredths of a second; 0 for a TIFF page
    // The file's own samples when they are deeper than 8-bit unsigned grey,
    // and the window its levels were made by from them; null for any other
    // picture, and once a step changed the levels otherwise than by a window.
    std::shared_ptr<const CFileSamples> samples;
    SSampleWindow window;
    // The two as they were when the picture's undo copy was taken, so that
    // undo brings them back with the levels.
    std::shared_ptr<const CFileSamples> undoSamples;
    SSampleWindow undoWindow;
};

// The pages a read brings, counted from 1; `last` 0 reads to the end.
struct SPageRange {
    int first = 1, last = 1;
};

// A stack is held to this: its pages' blocks together at most
// kMaxStackBytes (a 1,000-page 512 x 512 stack takes 257 MB; 8 GiB holds
// 32,000 such pages or 1,000 of 2,900 x 2,900), and at most kMaxPages pages.
namespace limits {
constexpr std::uint64_t kMaxStackBytes = std::uint64_t{8} << 30;
constexpr int kMaxPages = 100000;
}  // namespace limits

// Reads `input`, a file of `format`, into `image`. On anything but Ok the
// image is unchanged.
SCodecRead ReadFormatPicture(CImage& image, CCodecInput& input, PictureFormat format);

// Reads the pages of `range` of a file of `format`, each checked as a
// one-page read is; all must have the size and depth of the first (see
// stackNote). A page past the file's last one is refused, and so is the
// whole stack when any of its pages is damaged: the problem names the page
// and how many read well before it. On anything but Ok `pages` is empty.
// losses.pages counts the file's pages.
SCodecRead ReadFormatPages(std::vector<SPicturePage>& pages, CCodecInput& input,
                           PictureFormat format, SPageRange range);

// Writes `image` in `format` into `out`; sets `problem` unless Ok (empty
// when the engine's BMP writer said it).
CodecStatus WriteFormatPicture(CImage& image, CByteStream& out, PictureFormat format,
                               std::string& problem);
// Writes a file's own samples as they are in `format`: unsigned ones of 16
// bits at most as 16-bit samples, unscaled (a 12-bit picture keeps 0..4095),
// floats where the format holds them; Unsupported with `problem` where it
// does not (FormatHoldsSamples).
CodecStatus WriteFormatSamples(const CFileSamples& samples, CByteStream& out,
                               PictureFormat format, std::string& problem);
// Why `format` cannot hold these samples as they are, in English; empty when
// it can.
std::string FormatSamplesRefusal(PictureFormat format, const CFileSamples& samples);
// Writes every page as one file: a stack of one page as WriteFormatPicture
// does; several only in a format that holds pages (FormatHoldsPages).
CodecStatus WriteFormatPages(std::span<const SPicturePage> pages, CByteStream& out,
                             PictureFormat format, std::string& problem);
