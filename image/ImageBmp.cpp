// Reading and writing BMP files.
//
// Reading follows one sequence: signature, header parsed into CBmpLayout,
// every field range-checked, sizes checked for overflow, then one allocation
// of exactly what the picture needs, filled from a stream that cannot run
// past the file's length. Whatever header the file has (core, second-version,
// 40, 108 or 124 bytes), the block always gets the 40-byte information header
// with 4-byte colour entries; top-down rows are turned bottom-up and RLE
// pictures are decoded, so every operation sees one layout. A refused file
// leaves the image as it was.
//
// Writing puts a 14-byte file header in front of the block, with the pixel
// offset right after the colour table.

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "BmpLayout.h"
#include "DibFields.h"
#include "DibGeometry.h"
#include "Image.h"
#include "Message.h"
#include "PictureLimits.h"

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr int kFileHeaderSize = 14;
constexpr int kMaxHeaderSize = 124;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3,
                        kBiAlphaBitFields = 6;

// Reads from a stream while counting, so that no read is attempted past the
// length the stream announced.
class CBoundedReader {
public:
    CBoundedReader(CByteStream& stream, std::uint64_t length) : stream_(stream), length_(length) {}

    std::uint64_t Position() const { return position_; }
    std::uint64_t Remaining() const { return length_ - position_; }

    // False when the bytes are not there or did not arrive.
    bool Read(void* buffer, std::uint64_t count) {
        if (count > Remaining()) return false;
        const std::size_t got = stream_.Read(buffer, static_cast<std::size_t>(count));
        position_ += got;
        shortRead_ = shortRead_ || got != count;
        return got == count;
    }
    bool Skip(std::uint64_t count) {
        std::uint8_t scratch[4096];
        while (count > 0) {
            const std::uint64_t n = std::min<std::uint64_t>(count, sizeof scratch);
            if (!Read(scratch, n)) return false;
            count -= n;
        }
        return true;
    }
    // True when the stream delivered fewer bytes than its length promised.
    bool ShortRead() const { return shortRead_; }

private:
    CByteStream& stream_;
    std::uint64_t length_;
    std::uint64_t position_ = 0;
    bool shortRead_ = false;
};

enum class Refusal {
    None,
    Silent,
    Damaged,
    NoMemory,
    UnsupportedHeader,
    UnsupportedFormat,
    BadSize,
    TooLarge
};

const char* RefusalText(Refusal r) {
    switch (r) {
        case Refusal::NoMemory:
            return "ReadFileBMP : insuffisant memory";
        case Refusal::Damaged:
            return "ReadFileBMP : damaged file";
        case Refusal::UnsupportedHeader:
            return "ReadFileBMP : unsupported header size";
        case Refusal::UnsupportedFormat:
            return "ReadFileBMP : unsupported bit count or compression";
        case Refusal::BadSize:
            return "ReadFileBMP : invalid width or height";
        case Refusal::TooLarge:
            return "ReadFileBMP : picture too large";
        default:
            return "";
    }
}

bool IsKnownHeaderSize(std::uint32_t size) {
    return size == 12 || (size >= 16 && size <= 64 && size % 2 == 0) || size == 108 ||
           size == kMaxHeaderSize;
}

// A run-length coded file may leave most of its picture at 0 with a few
// bytes (an early end-of-picture code, long deltas), so its header cannot be
// held to the file's length the way plain rows are: it is held to the ratio
// of PictureLimits.h.

// Step 1: the file header. False (and no message) unless it starts with "BM".
bool ReadFileHeader(CBoundedReader& in, CBmpLayout& layout) {
    std::uint8_t fileHeader[kFileHeaderSize];
    if (!in.Read(fileHeader, kFileHeaderSize) || dib::Read16(fileHeader) != kBmpSignature)
        return false;
    layout.pixelOffset = dib::Read32(fileHeader + 10);
    return true;
}

// Step 2: the DIB header's bytes, whatever its kind, parsed into `layout`;
// `header` receives them (fields past the header's size read as zero).
Refusal ParseHeader(CBoundedReader& in, std::uint8_t (&header)[kMaxHeaderSize],
                    CBmpLayout& layout) {
    if (!in.Read(header, 4)) return Refusal::Damaged;
    layout.headerSize = dib::Read32(header);
    if (!IsKnownHeaderSize(layout.headerSize)) return Refusal::UnsupportedHeader;
    layout.coreHeader = layout.headerSize == 12;
    if (!in.Read(header + 4, layout.headerSize - 4)) return Refusal::Damaged;
    const std::uint8_t* h = header;
    if (layout.coreHeader) {
        layout.width = dib::Read16(h + dib::kCoreWidth);
        layout.height = dib::Read16(h + dib::kCoreHeight);
        layout.bitCount = dib::Read16(h + dib::kCoreBitCount);
        layout.entryBytes = 3;
        return Refusal::None;
    }
    layout.width = dib::ReadS32(h + dib::kWidth);
    const std::int64_t height = dib::ReadS32(h + dib::kHeight);
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    layout.bitCount = dib::Read16(h + dib::kBitCount);
    layout.compression = dib::Read32(h + dib::kCompression);
    layout.xPelsPerMeter = dib::ReadS32(h + dib::kXPels);
    layout.yPelsPerMeter = dib::ReadS32(h + dib::kYPels);
    layout.colorsUsed = dib::Read32(h + dib::kClrUsed);
    layout.colorsImportant = dib::Read32(h + dib::kClrImportant);
    return Refusal::None;
}

// Step 3: every field within what the reader handles.
Refusal CheckRanges(const CBmpLayout& layout) {
    // Second-version headers that are not Windows ones give compression
    // 3 and 4 other meanings (Huffman, RLE24): refuse those.
    const bool os2Header = !layout.coreHeader && layout.headerSize != 40 && layout.headerSize < 52;
    const bool os2Large = layout.headerSize == 64;
    if ((os2Header || os2Large) && layout.compression > kBiRle4) return Refusal::UnsupportedFormat;
    if (layout.width <= 0 || layout.height <= 0) return Refusal::BadSize;
    const int bits = layout.bitCount;
    const std::uint32_t c = layout.compression;
    const bool ok = (c == kBiRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 16 ||
                                     bits == 24 || bits == 32)) ||
                    (c == kBiRle8 && bits == 8) || (c == kBiRle4 && bits == 4) ||
                    ((c == kBiBitFields || c == kBiAlphaBitFields) && (bits == 16 || bits == 32));
    if (!ok) return Refusal::UnsupportedFormat;
    if (layout.topDown && layout.IsRle()) return Refusal::Damaged;
    return Refusal::None;
}

// Step 4: row and block sizes, computed without overflow, and the number of
// colour-table entries the depth allows.
Refusal ComputeSizes(CBmpLayout& layout) {
    const int bits = layout.bitCount;
    layout.rowBytes = dib::RowStride(layout.width, bits);
    layout.lastRowBytes =
        (static_cast<std::uint64_t>(bits) * static_cast<std::uint64_t>(layout.width) + 7) / 8;
    layout.pixelBytes = layout.rowBytes * static_cast<std::uint64_t>(layout.height);
    // The engine also views every picture at one byte per pixel.
    const std::uint64_t oneBytePerPixel =
        dib::RowStride(layout.width, 8) * static_cast<std::uint64_t>(layout.height);
    const std::uint64_t largest = std::max(layout.pixelBytes, oneBytePerPixel);
    if (largest + kFileHeaderSize + CImage::kEngineHeaderBytes + 16 > limits::kMaxFileBytes)
        return Refusal::TooLarge;

    const std::uint64_t maxEntries = bits <= 8 ? (1ull << bits) : 0;
    const std::uint64_t entries =
        layout.coreHeader ? maxEntries : (layout.colorsUsed != 0 ? layout.colorsUsed : maxEntries);
    // An optional table for direct colours is not needed.
    layout.colorEntries = bits > 8 ? 0 : static_cast<int>(std::min(entries, maxEntries));
    return Refusal::None;
}

// Step 5: bit-field masks and the colour table, as the file stores them.
Refusal ReadMasksAndTable(CBoundedReader& in, const std::uint8_t* header, CBmpLayout& layout,
                          std::vector<std::uint8_t>& table) {
    // Bit-field masks: inside headers of 52 bytes and more, after a 40-byte one.
    if (layout.IsBitFields()) {
        std::uint8_t masks[16] = {};
        if (layout.headerSize >= 52) {
            std::memcpy(masks, header + 40, 12);
        } else {
            const int extra = layout.compression == kBiAlphaBitFields ? 16 : 12;
            if (!in.Read(masks, static_cast<std::uint64_t>(extra))) return Refusal::Damaged;
        }
        for (int k = 0; k < 3; ++k) layout.masks[k] = dib::Read32(masks + 4 * k);
        layout.maskBytes = 12;
    }
    // The colour table ends where the pixel offset says, when it says so
    // sensibly: some writers store fewer entries than the depth allows.
    const std::uint64_t tableStart = in.Position();
    if (layout.pixelOffset >= tableStart && layout.colorEntries > 0) {
        const std::uint64_t room =
            (layout.pixelOffset - tableStart) / static_cast<std::uint64_t>(layout.entryBytes);
        if (room > 0)
            layout.colorEntries =
                static_cast<int>(std::min<std::uint64_t>(layout.colorEntries, room));
    }
    table.resize(static_cast<std::size_t>(layout.colorEntries) *
                 static_cast<std::size_t>(layout.entryBytes));
    return in.Read(table.data(), table.size()) ? Refusal::None : Refusal::Damaged;
}

// Step 6: moves to the pixel data and sets how many bytes of it are read.
// Plain rows may lack the padding of their last row (the file ends where the
// last pixel ends); the missing bytes stay 0.
Refusal LocatePixelData(CBoundedReader& in, std::uint64_t length, CBmpLayout& layout) {
    const std::uint64_t needed =
        layout.IsRle() ? 0 : layout.pixelBytes - (layout.rowBytes - layout.lastRowBytes);
    // Where the offset points when that lies after the table and the data
    // fits there, otherwise right after the table.
    if (layout.pixelOffset > in.Position() && layout.pixelOffset <= length &&
        layout.pixelOffset + needed <= length) {
        if (!in.Skip(layout.pixelOffset - in.Position())) return Refusal::Damaged;
    }
    if (layout.IsRle()) {
        layout.dataBytes = in.Remaining();
        if (!limits::RowsFitData(layout.pixelBytes, layout.dataBytes)) return Refusal::Damaged;
        return Refusal::None;
    }
    if (needed > in.Remaining()) return Refusal::Damaged;
    layout.dataBytes = std::min(layout.pixelBytes, in.Remaining());
    return Refusal::None;
}

// Step 7: one zero-filled block of exactly the converted picture, its
// 40-byte header, masks and colour table written. Entries keep all four
// bytes of the file's table; the 3-byte entries of a core header get a 0.
HBLOCK AllocateBlock(const CBmpLayout& layout, const std::vector<std::uint8_t>& table) {
    const std::uint64_t tableBytes = static_cast<std::uint64_t>(layout.colorEntries) * 4;
    const std::uint64_t bitsOffset =
        CImage::kInfoHeaderSize + static_cast<std::uint64_t>(layout.maskBytes) + tableBytes;
    HBLOCK block = CMemBlock::Allocate(bitsOffset + layout.pixelBytes);
    if (!block) return nullptr;
    std::uint8_t* b = block->Data();
    const std::uint32_t compression = layout.IsBitFields() ? kBiBitFields : kBiRgb;
    const std::uint32_t colorsUsed =
        layout.coreHeader ? 0
                          : std::min<std::uint32_t>(
                                layout.colorsUsed, static_cast<std::uint32_t>(layout.colorEntries));
    CImage::WriteHeader(
        block.get(), CImage::kInfoHeaderSize, static_cast<std::int32_t>(layout.width),
        static_cast<std::int32_t>(layout.height), 1, static_cast<std::uint16_t>(layout.bitCount),
        compression, static_cast<std::uint32_t>(layout.pixelBytes), layout.xPelsPerMeter,
        layout.yPelsPerMeter,
        // A table shorter than the depth allows must say so in the header.
        (layout.colorEntries > 0 &&
         static_cast<std::uint64_t>(layout.colorEntries) < (1ull << layout.bitCount))
            ? static_cast<std::uint32_t>(layout.colorEntries)
            : colorsUsed,
        std::min<std::uint32_t>(layout.colorsImportant,
                                static_cast<std::uint32_t>(layout.colorEntries)));
    for (int k = 0; k < 3 && layout.maskBytes > 0; ++k)
        dib::Write32(b + CImage::kInfoHeaderSize + 4 * k, layout.masks[k]);
    std::uint8_t* outTable = b + CImage::kInfoHeaderSize + layout.maskBytes;
    for (int i = 0; i < layout.colorEntries; ++i)
        std::memcpy(outTable + 4 * i,
                    table.data() +
                        static_cast<std::size_t>(i) * static_cast<std::size_t>(layout.entryBytes),
                    static_cast<std::size_t>(layout.entryBytes));
    return block;
}

// Decodes RLE8 or RLE4 data into bottom-up rows of rowBytes each. Pixels
// that a run or a delta would put outside the picture are dropped. Data may
// end without an end-of-line or end-of-picture code: the pixels it does not
// reach stay 0. A delta or an absolute run cut short by the end is damage.
bool DecodeRle(const std::uint8_t* data, std::size_t size, const CBmpLayout& layout,
               std::uint8_t* rows) {
    const bool four = layout.compression == kBiRle4;
    const std::int64_t width = layout.width, height = layout.height;
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height) {
            std::uint8_t* row = rows + static_cast<std::uint64_t>(y) * layout.rowBytes;
            if (four) {
                std::uint8_t& byte = row[x / 2];
                byte = (x % 2 == 0) ? static_cast<std::uint8_t>((byte & 0x0F) | (index << 4))
                                    : static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F));
            } else {
                row[x] = index;
            }
        }
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < size) {
        const std::uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(four ? static_cast<std::uint8_t>((k % 2 == 0) ? value >> 4 : value & 0x0F)
                         : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return true;
        } else if (value == 2) {  // delta
            if (i + 2 > size) return false;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {  // absolute run of `value` pixels, padded to 16 bits
            const std::size_t bytes = four ? (value + 1u) / 2u : value;
            if (i + bytes > size) return false;
            for (int k = 0; k < value; ++k) {
                const std::uint8_t b = data[i + (four ? static_cast<std::size_t>(k / 2)
                                                      : static_cast<std::size_t>(k))];
                put(four ? static_cast<std::uint8_t>((k % 2 == 0) ? b >> 4 : b & 0x0F) : b);
            }
            i += bytes + (bytes & 1u);
        }
        if (y >= height) return true;  // nothing more can be drawn
    }
    return true;
}

// Step 8: the pixel data into bottom-up rows at the file's depth.
Refusal DecodeRows(CBoundedReader& in, const CBmpLayout& layout, std::uint8_t* rows) {
    if (layout.IsRle()) {
        std::vector<std::uint8_t> data;
        try {
            data.resize(static_cast<std::size_t>(layout.dataBytes));
        } catch (const std::bad_alloc&) {
            return Refusal::NoMemory;
        }
        if (!in.Read(data.data(), layout.dataBytes) ||
            !DecodeRle(data.data(), data.size(), layout, rows))
            return Refusal::Damaged;
        return Refusal::None;
    }
    if (!in.Read(rows, layout.dataBytes)) return Refusal::Damaged;
    if (layout.topDown) {
        std::vector<std::uint8_t> swap(static_cast<std::size_t>(layout.rowBytes));
        for (std::int64_t top = 0, bottom = layout.height - 1; top < bottom; ++top, --bottom) {
            std::uint8_t* a = rows + static_cast<std::uint64_t>(top) * layout.rowBytes;
            std::uint8_t* z = rows + static_cast<std::uint64_t>(bottom) * layout.rowBytes;
            std::memcpy(swap.data(), a, swap.size());
            std::memcpy(a, z, swap.size());
            std::memcpy(z, swap.data(), swap.size());
        }
    }
    return Refusal::None;
}

}  // namespace

bool CImage::ReadFileBMP(CByteStream& file) {
    const std::uint64_t length = file.Length();
    CBoundedReader in(file, length);
    CBmpLayout layout;
    if (!ReadFileHeader(in, layout)) return false;

    auto refuse = [&](Refusal r) {
        ShowMessage(in.ShortRead() ? "ReadFileBMP : Error while reading" : RefusalText(r));
        return false;
    };
    std::uint8_t header[kMaxHeaderSize] = {};
    std::vector<std::uint8_t> table;
    Refusal r = ParseHeader(in, header, layout);
    if (r == Refusal::None) r = CheckRanges(layout);
    if (r == Refusal::None) r = ComputeSizes(layout);
    if (r == Refusal::None) r = ReadMasksAndTable(in, header, layout, table);
    if (r == Refusal::None) r = LocatePixelData(in, length, layout);
    if (r != Refusal::None) return refuse(r);

    HBLOCK block = AllocateBlock(layout, table);
    if (!block) return refuse(Refusal::NoMemory);
    const std::uint64_t bitsOffset = kInfoHeaderSize +
                                     static_cast<std::uint64_t>(layout.maskBytes) +
                                     static_cast<std::uint64_t>(layout.colorEntries) * 4;
    r = DecodeRows(in, layout, block->Data() + bitsOffset);
    if (r != Refusal::None) return refuse(r);

    block_ = std::move(block);
    return AfterRead();
}

bool CImage::SaveFileBMP(CByteStream& file) {
    if (!block_) {
        ShowMessage("SaveFileBMP : invalid handle");
        return false;
    }
    std::uint8_t* b = Lock();
    if (block_->Size() < kInfoHeaderSize || b[0] != kInfoHeaderSize)
        return false;  // core headers are never written

    const std::uint64_t headerBytes = kInfoHeaderSize;
    const std::uint64_t tableBytes = GetBitsOffset() - headerBytes;  // bit-field masks included
    const std::uint32_t compression = GetCompression();
    std::uint64_t imageBytes;
    if (compression == kBiRle8 || compression == kBiRle4) {
        imageBytes = dib::Read32(b + dib::kSizeImage);
    } else {
        imageBytes = dib::RowStride(GetWidth(), GetBitCount()) *
                     static_cast<std::uint64_t>(std::max(GetHeight(), 0));
    }
    const std::uint64_t total = headerBytes + tableBytes + imageBytes;
    if (total > block_->Size() || total + kFileHeaderSize > limits::kMaxFileBytes) {
        ShowMessage("SaveFileBMP : damaged picture");
        return false;
    }
    if (compression != kBiRle8 && compression != kBiRle4)
        dib::Write32(b + dib::kSizeImage, static_cast<std::uint32_t>(imageBytes));

    std::uint8_t fileHeader[kFileHeaderSize] = {};
    dib::Write16(fileHeader, kBmpSignature);
    dib::Write32(fileHeader + 2, static_cast<std::uint32_t>(kFileHeaderSize + total));
    dib::Write32(fileHeader + 10,
                 static_cast<std::uint32_t>(kFileHeaderSize + headerBytes + tableBytes));
    const bool written =
        file.Write(fileHeader, kFileHeaderSize) && file.Write(b, static_cast<std::size_t>(total));
    Unlock();
    return written;
}
