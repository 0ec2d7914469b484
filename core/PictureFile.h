#pragma once
// Picture files in every format Orvex reads and writes, each through its
// row of the list of formats. The format of a file that is read comes from
// its first bytes. The history lines a read adds are written here.

#include <string>
#include <vector>

#include "ByteStream.h"
#include "Image.h"
#include "PictureCodec.h"
#include "PictureFormat.h"
#include "PictureLosses.h"

enum class FileStatus {
    Ok,
    CannotOpen,     // the file could not be opened or created (errno tells why)
    ReadError,      // the system failed while reading
    WriteError,     // the system failed while writing; the old file is intact
    Refused,        // the engine refused the picture (it has said why, if it speaks)
    UnknownFormat,  // the file's first bytes are no picture format Orvex reads
    Damaged,        // a reader found the file broken or beyond its limits
};

// What a read tells beside the picture.
struct SPictureFileInfo {
    PictureFormat format = PictureFormat::Bmp;
    // History lines that follow "Image : %d x %d", such as
    // "Image 16 bits : fenêtre MIN..MAX" or "Page 1 / N".
    std::vector<std::string> historyNotes;
    // What the file held that the picture does not keep (nothing for BMP).
    SPictureLosses losses;
    // Said once when the pages asked for differ in size or depth, so that
    // only the first of them was read.
    std::string stackNote;
    // Why a file of another format than BMP was refused (Damaged, Refused),
    // in a few English words for orvex-cli's standard error. A BMP file's
    // refusal has been told through the engine's message sink, as always.
    std::string problem;
};

// Reads the file at `path` into `image`. On anything but Ok the image is
// unchanged. UnknownFormat: the first bytes are no format Orvex reads.
FileStatus ReadPictureFile(CImage& image, const std::string& path, SPictureFileInfo& info);
// The same from a stream (standard input, memory).
FileStatus ReadPicture(CImage& image, CByteStream& stream, SPictureFileInfo& info);

// The pages of `range` of the file at `path`, or of a stream; on anything
// but Ok `pages` is empty.
FileStatus ReadPictureFile(std::vector<SPicturePage>& pages, const std::string& path,
                           SPictureFileInfo& info, SPageRange range);
FileStatus ReadPicture(std::vector<SPicturePage>& pages, CByteStream& stream,
                       SPictureFileInfo& info, SPageRange range);

// Writes `image` to `path` in `format` complete or not at all (see
// AtomicFileWrite.h): a failed or refused save never destroys the file that
// was there, and a save through a symbolic link replaces the file it points
// to. Refused with `problem` set when the format cannot hold the
// picture (a PGM of a picture whose table is not the grey ramp, JPEG).
FileStatus SavePictureFile(CImage& image, const std::string& path, PictureFormat format,
                           std::string& problem);
// The same into a stream (standard output, memory).
FileStatus WritePicture(CImage& image, CByteStream& out, PictureFormat format,
                        std::string& problem);
// A file's own samples as they are (WriteFormatSamples), complete or not at
// all; Refused with `problem` where the format cannot hold them.
FileStatus SaveSamplesFile(const CFileSamples& samples, const std::string& path,
                           PictureFormat format, std::string& problem);
FileStatus WriteSamples(const CFileSamples& samples, CByteStream& out, PictureFormat format,
                        std::string& problem);
// Every page as one file, complete or not at all; several pages only in a
// format that holds pages, otherwise Refused with `problem`.
FileStatus SavePictureFile(std::span<const SPicturePage> pages, const std::string& path,
                           PictureFormat format, std::string& problem);
FileStatus WritePicture(std::span<const SPicturePage> pages, CByteStream& out, PictureFormat format,
                        std::string& problem);
