#pragma once
// One reader and one writer per picture format, behind one small interface,
// registered as one row of the list (PictureFormats.cpp).
//
// A read goes in two steps: the header, which gives the picture's size and
// kind without touching a pixel, so that every size is checked before
// anything is allocated (ReadFormatPicture); then the pixels, decoded
// straight into the rows of the engine block made for them. Grey samples
// deeper than 8 bits are handed over as they are; the read driver finds
// their window and writes the levels. A BMP file's picture is kept at its
// own depth, in a block laid out as the file's DIB.

#include <cstdint>
#include <memory>
#include <string>

#include "PictureCodec.h"
#include "SampleRows.h"

// What a picture opens as in the engine.
enum class PictureKind {
    Grey8,     // 8 bits, grey table
    Palette8,  // 8 bits, the file's own table
    Colour24,  // 24 bits, blue-green-red
    Dib,       // the file's own DIB, at its depth (SDibLayout)
};

// A picture kept as the file stores it (kind Dib): the facts the read driver
// checks it by and makes its block from.
struct SDibLayout {
    int bitCount = 8;             // 1, 4, 8, 16, 24 or 32
    bool runLength = false;       // rows coded in runs, which may leave most of them at 0
    std::uint64_t dataBytes = 0;  // bytes of the file from where the rows start
    // The bit-field masks and colour table the block keeps after its 40-byte
    // information header, before the rows.
    std::uint64_t tableBytes = 0;
};

struct SPictureHeader {
    std::int64_t width = 0, height = 0;
    PictureKind kind = PictureKind::Grey8;
    // Grey samples deeper than 8 bits, signed or floating-point (kind
    // Grey8): their depth and kind, and the sample that is white on their
    // scale (65535 at 16 bits; a PGM file's own maximum).
    int sampleBits = 8;
    SampleKind sampleKind = SampleKind::Unsigned;
    std::uint64_t white = 255;
    // Deep grey whose levels come from its samples inverted (min-is-white):
    // the samples are not kept beside the levels.
    bool invertedSamples = false;
    SDibLayout dib;  // kind Dib only

    // Whether the read driver brings the samples to 8 bits by their window.
    bool Windowed() const { return sampleBits > 8 || sampleKind != SampleKind::Unsigned; }
};

// The rows of the block a reader fills: stored bottom-up, so displayed row
// 0 (the first a file holds) is the last stored one.
struct SPictureRows {
    std::uint8_t* bits = nullptr;
    std::uint64_t stride = 0;
    int width = 0, height = 0;
    std::uint8_t* table = nullptr;  // 256 blue-green-red-0 entries; null at 24 bits
    // The whole block (kind Dib): the reader writes its information header,
    // masks and table too.
    CMemBlock* block = nullptr;
    // For samples the window brings to 8 bits: where the reader hands them
    // (Deep).
    samples::CGreyWindow* window = nullptr;
    // Where the samples are kept as the file holds them, while the window
    // sees them; null when they are not kept.
    CFileSamples* keep = nullptr;

    std::uint8_t* Row(int displayed) const {
        return bits + static_cast<std::uint64_t>(height - 1 - displayed) * stride;
    }
    // Sets table entry `index` (below 256).
    void SetEntry(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
        std::uint8_t* e = table + 4 * index;
        e[0] = blue, e[1] = green, e[2] = red, e[3] = 0;
    }
    // The deep grey samples of displayed row `y` at columns `c`
    // (samples[x] for each of them).
    void Deep(int y, const std::uint16_t* samples, samples::SColumns c) const {
        window->Put(samples, c, Row(y));
        if (keep != nullptr) samples::KeepGrey(samples, c, *keep, keep->Row16(y));
    }
    void Deep(int y, const double* samples, samples::SColumns c) const {
        window->Put(samples, c, Row(y));
        if (keep != nullptr) samples::KeepGrey(samples, c, *keep, keep->Row32(y));
    }
};

// What the read driver refuses a page for, between the reader's steps.
enum class ReadFault {
    NoPixels,      // a side of 0 pixels or fewer
    SideTooLong,   // a side beyond the engine's int
    TooLarge,      // beyond the largest picture file
    RowsPastData,  // rows far larger than the file's data could fill
    NoMemory,      // no block to be had
};

class CPictureReader {
public:
    virtual ~CPictureReader() = default;
    // Size and kind; false with Status() and Problem() set.
    virtual bool ReadHeader(SPictureHeader& header) = 0;
    // Every pixel (and, for palette pictures, the table) into `rows`, which
    // are zero-filled with the grey table; false with Status() and
    // Problem() set. Deep samples are seen once by the window and kept,
    // then levelled from the kept copy; samples that are not kept
    // (invertedSamples) are read twice, each time from the first row: once
    // for the window to see them, once for their levels.
    virtual bool ReadPixels(const SPictureRows& rows) = 0;
    // Tells a fault the read driver found in its own words, with Status()
    // and Problem() set, and says true (the engine's BMP reader, through the
    // message sink); false leaves the words to the driver.
    virtual bool TellFault(ReadFault) { return false; }
    // A reader of one page that reads it for any range from page 1 and
    // refuses any other range as "files hold one page" (BMP, as it always
    // has); the others say which pages they lack.
    virtual bool OnePage() const { return false; }

    // Stacks. Moves on to page `index` (counted from 0, after the page read
    // last) and reads its header; false when there is none (Status() Ok) or
    // when it cannot be read (Status() and Problem() set). Readers of formats
    // of one page have no other page.
    virtual bool GoToPage(int /*index*/, SPictureHeader& /*header*/) { return false; }
    // How many pages the file holds, once the pages wanted are read (a GIF's
    // frames are counted by reading on); false with Status() set when the
    // file breaks down before its end.
    virtual bool CountPages() { return true; }
    // How long the page read last is shown, in hundredths of a second.
    int Delay() const { return delay_; }
    // The pages the read will ask for, told before the header is read.
    void WantPages(SPageRange range) { wanted_ = range; }

    CodecStatus Status() const { return status_; }
    const std::string& Problem() const { return problem_; }
    // What the file holds beyond the picture read (pages, transparency).
    const SPictureLosses& Losses() const { return losses_; }

protected:
    bool Fail(CodecStatus status, std::string problem) {
        status_ = status;
        problem_ = std::move(problem);
        return false;
    }
    SPictureLosses losses_;
    int delay_ = 0;
    SPageRange wanted_;

private:
    CodecStatus status_ = CodecStatus::Ok;
    std::string problem_;
};

// Why a format's writer does not take a picture: in English for orvex-cli
// (the writer's problem) and in French for the desktop, which says no more
// than that it could not where the French is empty. Nothing: it takes it.
struct SFormatRefusal {
    std::string english, french;
    bool Refused() const { return !english.empty(); }
};

// A row of the list: every fact about one format.
struct SPictureFormatRow {
    const char* name;         // in messages: "TIFF"
    const char* extensions;   // "tif tiff": the first is given to written files
    const char* openedOnly;   // extensions of files opened, never written: "pnm"
    const char* mimeTypes;    // "image/tiff"
    const char* filterTitle;  // "Fichiers TIFF", before the extensions in dialogs
    // Whether a file starting with `head` (up to kSignatureBytes) is of
    // this format.
    bool (*matches)(const std::uint8_t* head, std::size_t size);
    std::unique_ptr<CPictureReader> (*newReader)(CCodecInput& input);
    // Null when the format is never written. Sets `problem` unless Ok.
    CodecStatus (*write)(CImage& image, CByteStream& out, std::string& problem);
    // Several pages as one file; null for formats of one page.
    CodecStatus (*writePages)(std::span<const SPicturePage> pages, CByteStream& out,
                              std::string& problem);
    // What every picture read from it loses, whatever the file (JPEG's
    // coding); the reader adds what its file held (pages, transparency).
    SPictureLosses lost;
    // Why the writer does not take this picture; null when it takes any.
    SFormatRefusal (*refuses)(const CImage& image) = nullptr;
    // The format of the same files for the other kind of picture (grey
    // levels, colours): a result goes to whichever of the two suits it.
    const char* pairedWith = nullptr;
    // Keeps any picture as it is: where a result goes that its own format
    // cannot keep.
    bool keepsAny = false;
    // Writes a file's own samples as they are (unsigned ones of 16 bits at
    // most, as 16-bit samples, unscaled); null when the format cannot.
    CodecStatus (*writeSamples)(const CFileSamples& samples, CByteStream& out,
                                std::string& problem) = nullptr;
    // The writer of samples also takes 32-bit floating-point ones.
    bool writesFloatSamples = false;
};

const SPictureFormatRow& FormatRow(PictureFormat format);
