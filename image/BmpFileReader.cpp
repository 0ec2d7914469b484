// The BMP reader's steps: signature, header parsed into CBmpLayout, every
// field range-checked, sizes computed without overflow and the table and
// rows placed, all before anything is read past the DIB header; then, into
// memory made for exactly that, masks, table and rows, from a stream that
// cannot run past the file's length.

#include "BmpFileReader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "BmpLayout.h"
#include "BmpRunLength.h"
#include "BoundedReader.h"
#include "DibFields.h"
#include "DibGeometry.h"
#include "Image.h"
#include "PictureLimits.h"

using namespace bmp;

namespace {

bool IsKnownHeaderSize(std::uint32_t size) {
    return size == 12 || (size >= 16 && size <= 64 && size % 2 == 0) || size == 108 ||
           size == kMaxHeaderSize;
}

// Step 1: the file header. False (and no message) unless it starts with "BM".
bool ReadFileHeader(CBoundedReader& in, CBmpLayout& layout) {
    std::uint8_t fileHeader[kFileHeaderSize];
    if (!in.Read(fileHeader, kFileHeaderSize) || dib::Read16(fileHeader) != kSignature)
        return false;
    layout.pixelOffset = dib::Read32(fileHeader + 10);
    return true;
}

// Step 2: the DIB header's bytes, whatever its kind, parsed into `layout`;
// `header` receives them (fields past the header's size read as zero).
BmpRefusal ParseHeader(CBoundedReader& in, std::uint8_t (&header)[kMaxHeaderSize],
                       CBmpLayout& layout) {
    if (!in.Read(header, 4)) return BmpRefusal::Damaged;
    layout.headerSize = dib::Read32(header);
    if (!IsKnownHeaderSize(layout.headerSize)) return BmpRefusal::UnsupportedHeader;
    layout.coreHeader = layout.headerSize == 12;
    if (!in.Read(header + 4, layout.headerSize - 4)) return BmpRefusal::Damaged;
    const std::uint8_t* h = header;
    if (layout.coreHeader) {
        layout.width = dib::Read16(h + dib::kCoreWidth);
        layout.height = dib::Read16(h + dib::kCoreHeight);
        layout.bitCount = dib::Read16(h + dib::kCoreBitCount);
        layout.entryBytes = 3;
        return BmpRefusal::None;
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
    return BmpRefusal::None;
}

// Step 3: every field within what the reader handles.
BmpRefusal CheckRanges(const CBmpLayout& layout) {
    // Second-version headers that are not Windows ones give compression
    // 3 and 4 other meanings (Huffman, RLE24): refuse those.
    const bool os2Header = !layout.coreHeader && layout.headerSize != 40 && layout.headerSize < 52;
    const bool os2Large = layout.headerSize == 64;
    if ((os2Header || os2Large) && layout.compression > kBiRle4)
        return BmpRefusal::UnsupportedFormat;
    if (layout.width <= 0 || layout.height <= 0) return BmpRefusal::BadSize;
    const int bits = layout.bitCount;
    const std::uint32_t c = layout.compression;
    const bool ok = (c == kBiRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 16 ||
                                     bits == 24 || bits == 32)) ||
                    (c == kBiRle8 && bits == 8) || (c == kBiRle4 && bits == 4) ||
                    ((c == kBiBitFields || c == kBiAlphaBitFields) && (bits == 16 || bits == 32));
    if (!ok) return BmpRefusal::UnsupportedFormat;
    if (layout.topDown && layout.IsRle()) return BmpRefusal::Damaged;
    return BmpRefusal::None;
}

// Step 4: row sizes at the file's depth (which cannot overflow 64 bits for
// the widths and depths step 3 lets through), and the number of
// colour-table entries the depth allows.
void ComputeSizes(CBmpLayout& layout) {
    const int bits = layout.bitCount;
    layout.rowBytes = dib::RowStride(layout.width, bits);
    layout.pixelBytes = layout.rowBytes * static_cast<std::uint64_t>(layout.height);
    const std::uint64_t maxEntries = bits <= 8 ? (1ull << bits) : 0;
    const std::uint64_t entries =
        layout.coreHeader ? maxEntries : (layout.colorsUsed != 0 ? layout.colorsUsed : maxEntries);
    // An optional table for direct colours is not needed.
    layout.colorEntries = bits > 8 ? 0 : static_cast<int>(std::min(entries, maxEntries));
    layout.maskBytes = layout.IsBitFields() ? 12 : 0;
}

// Bit-field masks stored after a header of fewer than 52 bytes (inside the
// longer ones): 16 bytes with an alpha mask.
std::uint64_t StoredMaskBytes(const CBmpLayout& layout) {
    if (!layout.IsBitFields() || layout.headerSize >= 52) return 0;
    return layout.compression == kBiAlphaBitFields ? 16 : 12;
}

// Step 5: where the table and the rows lie, from the headers alone. The
// colour table ends where the pixel offset says, when it says so sensibly:
// some writers store fewer entries than the depth allows. The rows start at
// the pixel offset when that lies after the table and the plain rows fit
// there, otherwise right after the table.
void PlaceTableAndRows(std::uint64_t length, CBmpLayout& layout) {
    const std::uint64_t tableStart = kFileHeaderSize + layout.headerSize + StoredMaskBytes(layout);
    if (layout.pixelOffset >= tableStart && layout.colorEntries > 0) {
        const std::uint64_t room =
            (layout.pixelOffset - tableStart) / static_cast<std::uint64_t>(layout.entryBytes);
        if (room > 0)
            layout.colorEntries =
                static_cast<int>(std::min<std::uint64_t>(layout.colorEntries, room));
    }
    const std::uint64_t tableEnd =
        tableStart + static_cast<std::uint64_t>(layout.colorEntries) * layout.entryBytes;
    const std::uint64_t needed =
        layout.IsRle()
            ? 0
            : limits::PlainRowsNeeded(static_cast<std::uint64_t>(layout.width),
                                      static_cast<std::uint64_t>(layout.height), layout.bitCount);
    const bool offsetFits = layout.pixelOffset > tableEnd && layout.pixelOffset <= length &&
                            needed <= length - layout.pixelOffset;
    layout.rowsStart = offsetFits ? layout.pixelOffset : tableEnd;
    layout.dataBytes = length > layout.rowsStart ? length - layout.rowsStart : 0;
}

// Step 6: bit-field masks and the colour table, as the file stores them.
BmpRefusal ReadMasksAndTable(CBoundedReader& in, const std::uint8_t* header, CBmpLayout& layout,
                             std::vector<std::uint8_t>& table) {
    if (layout.IsBitFields()) {
        std::uint8_t masks[16] = {};
        if (layout.headerSize >= 52) {
            std::memcpy(masks, header + 40, 12);
        } else if (!in.Read(masks, StoredMaskBytes(layout))) {
            return BmpRefusal::Damaged;
        }
        for (int k = 0; k < 3; ++k) layout.masks[k] = dib::Read32(masks + 4 * k);
    }
    table.resize(static_cast<std::size_t>(layout.colorEntries) *
                 static_cast<std::size_t>(layout.entryBytes));
    return in.Read(table.data(), table.size()) ? BmpRefusal::None : BmpRefusal::Damaged;
}

// Step 7: the block's 40-byte header, masks and colour table. Entries keep
// all four bytes of the file's table; the 3-byte entries of a core header
// get a 0.
void WriteBlockHeader(const CBmpLayout& layout, const std::vector<std::uint8_t>& table,
                      CMemBlock& block) {
    std::uint8_t* b = block.Data();
    const std::uint32_t compression = layout.IsBitFields() ? kBiBitFields : kBiRgb;
    const std::uint32_t colorsUsed =
        layout.coreHeader ? 0
                          : std::min<std::uint32_t>(
                                layout.colorsUsed, static_cast<std::uint32_t>(layout.colorEntries));
    CImage::WriteHeader(
        &block, CImage::kInfoHeaderSize, static_cast<std::int32_t>(layout.width),
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
}

// Step 8: the pixel data into bottom-up rows at the file's depth. Plain rows
// may lack the padding of their last row; the missing bytes stay 0.
BmpRefusal DecodeRows(CBoundedReader& in, const CBmpLayout& layout, std::uint8_t* rows) {
    if (layout.rowsStart > in.Position() && !in.Skip(layout.rowsStart - in.Position()))
        return BmpRefusal::Damaged;
    if (layout.IsRle()) {
        std::vector<std::uint8_t> data;
        try {
            data.resize(static_cast<std::size_t>(in.Remaining()));
        } catch (const std::bad_alloc&) {
            return BmpRefusal::NoMemory;
        }
        if (!in.Read(data.data(), data.size()) ||
            !DecodeRunLength(data.data(), data.size(), layout, rows))
            return BmpRefusal::Damaged;
        return BmpRefusal::None;
    }
    if (!in.Read(rows, std::min(layout.pixelBytes, in.Remaining()))) return BmpRefusal::Damaged;
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
    return BmpRefusal::None;
}

}  // namespace

struct CBmpFileReader::SState {
    explicit SState(CByteStream& file) : in(file, file.Length()) {}
    CBoundedReader in;
    CBmpLayout layout;
    std::uint8_t header[kMaxHeaderSize] = {};
    SBmpPicture picture;
};

CBmpFileReader::CBmpFileReader(CByteStream& file) : state_(std::make_unique<SState>(file)) {}

CBmpFileReader::~CBmpFileReader() = default;

BmpRefusal CBmpFileReader::ReadHeaders() {
    CBmpLayout& layout = state_->layout;
    if (!ReadFileHeader(state_->in, layout)) return BmpRefusal::Silent;
    BmpRefusal r = ParseHeader(state_->in, state_->header, layout);
    if (r == BmpRefusal::None) r = CheckRanges(layout);
    if (r != BmpRefusal::None) return r;
    ComputeSizes(layout);
    PlaceTableAndRows(state_->in.Length(), layout);
    state_->picture = {.width = layout.width,
                       .height = layout.height,
                       .bitCount = layout.bitCount,
                       .runLength = layout.IsRle(),
                       .dataBytes = layout.dataBytes,
                       .tableBytes = static_cast<std::uint64_t>(layout.maskBytes) +
                                     static_cast<std::uint64_t>(layout.colorEntries) * 4};
    return BmpRefusal::None;
}

const SBmpPicture& CBmpFileReader::Picture() const { return state_->picture; }

std::uint64_t CBmpFileReader::BlockBytes() const {
    return CImage::kInfoHeaderSize + state_->picture.tableBytes + state_->layout.pixelBytes;
}

BmpRefusal CBmpFileReader::ReadPixels(CMemBlock& block) {
    const CBmpLayout& layout = state_->layout;
    if (block.Size() < BlockBytes()) return BmpRefusal::NoMemory;
    const std::uint64_t rowsOffset = CImage::kInfoHeaderSize + state_->picture.tableBytes;
    std::vector<std::uint8_t> table;
    BmpRefusal r = ReadMasksAndTable(state_->in, state_->header, state_->layout, table);
    if (r != BmpRefusal::None) return r;
    WriteBlockHeader(layout, table, block);
    return DecodeRows(state_->in, layout, block.Data() + rowsOffset);
}

const char* CBmpFileReader::Message(BmpRefusal refusal) const {
    if (refusal == BmpRefusal::Silent || refusal == BmpRefusal::None) return "";
    if (state_->in.ShortRead()) return "ReadFileBMP : Error while reading";
    switch (refusal) {
        case BmpRefusal::NoMemory:
            return "ReadFileBMP : insuffisant memory";
        case BmpRefusal::Damaged:
            return "ReadFileBMP : damaged file";
        case BmpRefusal::UnsupportedHeader:
            return "ReadFileBMP : unsupported header size";
        case BmpRefusal::UnsupportedFormat:
            return "ReadFileBMP : unsupported bit count or compression";
        case BmpRefusal::BadSize:
            return "ReadFileBMP : invalid width or height";
        case BmpRefusal::TooLarge:
            return "ReadFileBMP : picture too large";
        default:
            return "";
    }
}
