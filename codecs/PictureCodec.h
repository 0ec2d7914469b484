#pragma once
// One reader and one writer per picture format, behind one small interface,
// registered in one list (PictureCodecs.cpp).
//
// A read goes in two steps: the header, which gives the picture's size and
// kind without touching a pixel, so that every size is checked before
// anything is allocated (ReadCodecPicture); then the pixels, decoded straight
// into the rows of the engine block made for them.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

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

// What a picture opens as in the engine.
enum class PictureKind {
    Grey8,     // 8 bits, grey table
    Palette8,  // 8 bits, the file's own table
    Colour24,  // 24 bits, blue-green-red
};

struct SPictureHeader {
    std::int64_t width = 0, height = 0;
    PictureKind kind = PictureKind::Grey8;
};

// The rows of the block a reader fills: stored bottom-up, so displayed row
// 0 (the first a file holds) is the last stored one.
struct SPictureRows {
    std::uint8_t* bits = nullptr;
    std::uint64_t stride = 0;
    int width = 0, height = 0;
    std::uint8_t* table = nullptr;  // 256 blue-green-red-0 entries; null at 24 bits

    std::uint8_t* Row(int displayed) const {
        return bits + static_cast<std::uint64_t>(height - 1 - displayed) * stride;
    }
    // Sets table entry `index` (below 256).
    void SetEntry(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
        std::uint8_t* e = table + 4 * index;
        e[0] = blue, e[1] = green, e[2] = red, e[3] = 0;
    }
};

class CPictureReader {
public:
    virtual ~CPictureReader() = default;
    // Size and kind; false with Status() and Problem() set.
    virtual bool ReadHeader(SPictureHeader& header) = 0;
    // Every pixel (and, for palette pictures, the table) into `rows`, which
    // are zero-filled with the grey table; false with Status() and
    // Problem() set.
    virtual bool ReadPixels(const SPictureRows& rows) = 0;

    CodecStatus Status() const { return status_; }
    const std::string& Problem() const { return problem_; }
    // History lines the read adds after the size line.
    const std::vector<std::string>& Notes() const { return notes_; }
    // What the file holds beyond the picture read.
    const SPictureLosses& Losses() const { return losses_; }

protected:
    bool Fail(CodecStatus status, std::string problem) {
        status_ = status;
        problem_ = std::move(problem);
        return false;
    }
    std::vector<std::string> notes_;
    SPictureLosses losses_;

private:
    CodecStatus status_ = CodecStatus::Ok;
    std::string problem_;
};

struct SPictureCodec {
    PictureFormat format;
    // Whether a file starting with `head` (up to 8 bytes) is of this format.
    bool (*matches)(const std::uint8_t* head, std::size_t size);
    // Null for BMP, which the engine reads itself.
    std::unique_ptr<CPictureReader> (*newReader)(CCodecInput& input);
    // Null for BMP (the engine's writer) and for JPEG (never written). Sets
    // `problem` unless Ok.
    CodecStatus (*write)(const CImage& image, CByteStream& out, std::string& problem);
};

// Every format, BMP first.
std::span<const SPictureCodec> PictureCodecs();
const SPictureCodec& CodecOf(PictureFormat format);

// What reading a file through its codec gave.
struct SCodecRead {
    CodecStatus status = CodecStatus::Ok;
    std::string problem;
    std::vector<std::string> notes;
    SPictureLosses losses;
};

// Reads `input` with `codec`'s reader into `image`: header, size checks with
// the limits of BMP files, one block, pixels. On anything but Ok the image
// is unchanged.
SCodecRead ReadCodecPicture(CImage& image, CCodecInput& input, const SPictureCodec& codec);
