#pragma once
// CImage: one 8-bit picture held as a packed DIB in one owned block.
//
// Block layout: a 40-byte information header, the colour table (4-byte
// blue-green-red-0 entries), then the pixel rows, stored bottom-up (storage
// row 0 is the bottom line on screen) and padded to multiples of 4 bytes.
// Files with other headers are converted to this layout when they are read.
//
// Pixel operations treat every picture as one byte per pixel. GetBits refuses
// a block that is too small to hold stride x height bytes behind its colour
// table, so no operation can read or write past its block, whatever a header
// claims. Operations report failures through ShowMessage ("Rotate : invalid
// handle") and return false or 0, leaving the picture as it was.
//
// The region of interest (ROI) is kept in storage coordinates; callers pass
// rectangles in displayed coordinates (row 0 at the top) to SetRoi.

#include <array>
#include <cstdint>
#include <span>

#include "ByteStream.h"
#include "Mask.h"
#include "MemBlock.h"

struct CRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const CRect&, const CRect&) = default;
};

struct CSize {
    int cx = 0, cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

// The engine's palette object: the colour table as RGB entries, ready for the
// GUI to turn into its own colour table. Empty when the picture has no
// colour table (more than 8 bits per pixel) or no picture.
struct CPaletteTable {
    struct Entry {
        std::uint8_t red = 0, green = 0, blue = 0;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    int count = 0;
    std::array<Entry, 256> entries{};
    bool IsEmpty() const { return count == 0; }
    // 256 entries, entry i being the grey (i, i, i).
    bool IsGreyRamp() const {
        if (count != 256) return false;
        for (int i = 0; i < 256; ++i)
            if (entries[i] != Entry{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)})
                return false;
        return true;
    }
};

// GetMin, GetMax, GetSum, GetMean and GetStdev of one picture, all five
// from one pass over the pixels (see CImage::GetStatistics).
struct CLevelStatistics {
    int minimum = 0;
    int maximum = 0;
    std::uint64_t sum = 0;
    int mean = 0;
    double stdev = 0.0;
    std::uint64_t squares = 0;  // the sum of the squared levels
};

// A picture's pixel rows as stored, at its own depth (1 to 32 bits per
// pixel), for drawing. Storage row 0 is the bottom line. Valid while the
// picture's block is neither replaced nor freed.
struct CStoredRows {
    const std::uint8_t* bits = nullptr;  // null when the block cannot hold the rows
    std::uint64_t stride = 0;            // bytes per row, padding included
    int width = 0, height = 0, bitCount = 0;
    // Direct colours (16 and 32 bits per pixel): where each channel lies in
    // the pixel word, from the picture's bit-field masks or the usual 5-5-5
    // and 8-8-8 layouts.
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;

    const std::uint8_t* Row(int y) const { return bits + static_cast<std::uint64_t>(y) * stride; }
    // The little-endian pixel word at column x of a row of 16 or 32-bit pixels.
    static std::uint32_t Word16(const std::uint8_t* row, int x) {
        const std::uint8_t* p = row + 2 * static_cast<std::uint64_t>(x);
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
    }
    static std::uint32_t Word32(const std::uint8_t* row, int x) {
        const std::uint8_t* p = row + 4 * static_cast<std::uint64_t>(x);
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
};

// One colour channel of a direct-colour pixel word: where its bits lie, and
// their value widened to 0 .. 255, rounded (5 bits: v x 255 / 31).
class CDirectChannel {
public:
    explicit CDirectChannel(std::uint32_t mask = 0);
    int Value(std::uint32_t pixel) const {
        if (largest_ == 0) return 0;
        const std::uint32_t v = (pixel & mask_) >> shift_;
        if (largest_ == 255) return static_cast<int>(v);
        return static_cast<int>((static_cast<std::uint64_t>(v) * 255 + largest_ / 2) / largest_);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    std::uint32_t largest_ = 0;
};

class CImage {
public:
    static constexpr int kInfoHeaderSize = 40;
    static constexpr int kGreyTableBytes = 1024;
    static constexpr int kEngineHeaderBytes = kInfoHeaderSize + kGreyTableBytes;  // 1064

    CImage() = default;
    ~CImage() = default;
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // --- Object and memory -------------------------------------------------
    bool IsValid() const { return block_ != nullptr; }
    // Start of the block, or null (with "Image : Unable to lock handle") when
    // there is none. Owned memory never fails to lock otherwise.
    std::uint8_t* Lock();
    const std::uint8_t* Lock() const;
    void Unlock() const {}

    int GetWidth() const;
    int GetHeight() const;
    CSize GetSize() const { return {GetWidth(), GetHeight()}; }
    static int GetWidthBytes(int width);
    int GetPadding() const;
    std::uint32_t GetImageSize() const;
    std::uint32_t GetArea() const;
    int GetNumColors() const;
    int GetSizePalette() const;
    int GetBitCount() const;
    std::uint32_t GetCompression() const;
    // The pixel rows at one byte per pixel, or null when the block cannot hold
    // stride x height bytes behind its header and colour table.
    std::uint8_t* GetBits(std::uint8_t* block) const;
    const std::uint8_t* GetBits(const std::uint8_t* block) const;
    // The rows at the picture's own depth; no bits when there is no block or
    // it cannot hold stride x height bytes behind its header and table.
    CStoredRows GetStoredRows() const;
    // Offset of the pixel rows from the start of the block (header + table).
    std::uint64_t GetBitsOffset() const;
    // Offset of the colour table (after the header and any bit-field masks).
    std::uint64_t GetTableOffset() const;
    const CPaletteTable* GetPalette() const { return &palette_; }

    bool SetRoi(CRect displayed);
    bool SetDefaultRoi();
    const CRect& GetRoi() const { return roi_; }

    CMemBlock* GetHandle() const { return block_.get(); }
    void SetHandle(HBLOCK block);
    // Gives the block away (a page read into a stack of its own becomes a
    // document's picture), leaving no picture; the undo copy stays.
    HBLOCK ReleaseHandle();
    static HBLOCK CopyBlock(const CMemBlock* block);
    // Puts `copy`, a copy of the current block, in its place and hands the
    // current block out; the region, the colours and the undo copy stay. Lets
    // a reader outside the engine keep the rows it was given while the picture
    // goes on changing.
    HBLOCK ExchangeBlock(HBLOCK copy);
    void SaveBackup();
    // Frees the undo copy (a batch that will never undo needs no copy).
    void DiscardBackup() { backup_.reset(); }
    bool HasBackup() const { return backup_ != nullptr; }
    const CMemBlock* GetBackupHandle() const { return backup_.get(); }
    void Undo();

    static bool WriteHeader(CMemBlock* block, std::uint32_t size, std::int32_t width,
                            std::int32_t height, std::uint16_t planes, std::uint16_t bitCount,
                            std::uint32_t compression, std::uint32_t imageSize,
                            std::int32_t xPelsPerMeter, std::int32_t yPelsPerMeter,
                            std::uint32_t clrUsed, std::uint32_t clrImportant);
    static HBLOCK CreateEmptyBlock(int width, int height, std::uint8_t fill);
    // A zero-filled block for a picture read from a file: 8 bits per pixel
    // with the grey table, or 24 bits per pixel (blue, green, red) with no
    // table. Null, without a message, when the depth is neither, the size is
    // not positive or beyond what a block may hold, or memory cannot be had.
    static HBLOCK CreatePictureBlock(int width, int height, int bitCount);
    bool CreateEmptyImage(int width, int height, std::uint8_t fill);
    bool AfterRead();

    // --- BMP files ----------------------------------------------------------
    bool ReadFileBMP(CByteStream& file);
    bool SaveFileBMP(CByteStream& file);

    // --- Palettes -----------------------------------------------------------
    bool GeneratePalette();
    bool FillPalette();
    bool PaletteGradient(int redFactor, int greenFactor, int blueFactor);
    bool PaletteGradient(const std::uint8_t red[256], const std::uint8_t green[256],
                         const std::uint8_t blue[256]);
    bool PaletteThreshold(int low, int high);
    bool PaletteRainbow();
    bool PaletteHeat();
    bool PaletteMetal();
    bool PaletteBinary();

    // --- Grey levels --------------------------------------------------------
    // Whether the picture is 8-bit with the 256-entry grey ramp as its table.
    bool HasGreyRamp() const;
    // Makes a 256-level grey picture of the colours the pixels show (see
    // ImageGrey.cpp); the picture keeps its size and region of interest.
    bool ConvertToGrey();

    // --- Statistics ---------------------------------------------------------
    int GetMin();
    int GetMax();
    std::uint64_t GetSum();
    int GetMean();
    double GetStdev();
    // The five above, the very same numbers, from one pass over the pixels
    // split over the cores. A failure is reported once, as
    // "GetStatistics : ...", and gives all zeros.
    CLevelStatistics GetStatistics();
    bool GenerateHistogram();
    int GetHistogramValue(int level) const;
    std::uint32_t GetHistogramMax() const;

    // --- Point operations ---------------------------------------------------
    bool Reverse();
    bool SetDynamic(const std::uint8_t table[256]);
    // The same with the table's element count checked: anything but 256
    // entries is refused.
    bool SetDynamic(std::span<const std::uint8_t> table);
    bool Threshold(int low, int high);

    // --- Geometry -----------------------------------------------------------
    bool FlipHorizontal();
    bool FlipVertical();
    bool Rotate(unsigned angle, std::uint8_t fill);
    bool Resize(int newWidth, int newHeight);
    bool AddPaletteBar(int rows);

    // --- Convolution, morphology, perspective ------------------------------
    bool Filter(const CMask& mask);
    bool MorphoDilate(const CMask& element);
    bool MorphoErode(const CMask& element);
    bool Perspective(int mode, int amplitude, int border, int rightAngle, int leftAngle,
                     int background, int edge);

private:
    bool HoldsRows(std::uint64_t stride) const;

    HBLOCK block_;
    HBLOCK backup_;
    CPaletteTable palette_;
    CRect roi_;
    std::array<std::uint32_t, 256> histogram_{};
};
