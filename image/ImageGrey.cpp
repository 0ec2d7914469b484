// Conversion to 256 levels of grey. Each pixel becomes the luminance of the
// colour it shows, (299 R + 587 G + 114 B + 500) / 1000 in integers (so a
// grey colour keeps its level), and the colour table becomes the grey ramp.
//
// Every depth the engine holds is converted: an 8-bit picture with a full
// 256-entry table in place, through a 256-entry lookup; 1-, 4- and 8-bit
// pictures with a shorter table through their table, into a new 8-bit block
// (indexes the table lacks show black, so they become 0); 16-, 24- and
// 32-bit pictures from their channels, into a new 8-bit block. The picture
// keeps its size and its region of interest.

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "DibFields.h"
#include "DibGeometry.h"
#include "GreyKernels.h"
#include "ImagePixelRows.h"
#include "Message.h"
#include "Parallel.h"
#include "PointKernels.h"

namespace {

const char* const kOperation = "ConvertToGrey";

using CLevels = std::array<std::uint8_t, 256>;

using greykernels::Luminance;

// Pixels per band below which the conversion stays on one core: a thread costs
// about as much as converting a few hundred kilobytes.
constexpr std::int64_t kMinBandPixels = std::int64_t{1} << 18;

// The level each index of the colour table shows; black past its end.
CLevels TableLevels(const CPaletteTable& palette) {
    CLevels levels{};
    for (int i = 0; i < palette.count; ++i) {
        const CPaletteTable::Entry& e = palette.entries[static_cast<std::size_t>(i)];
        levels[static_cast<std::size_t>(i)] = Luminance(e.red, e.green, e.blue);
    }
    return levels;
}

// --- Row kernels: one stored row in, one row of levels out ------------------

void IndexedRow(const std::uint8_t* row, int width, int bitCount, const CLevels& levels,
                std::uint8_t* out) {
    switch (bitCount) {
        case 1:
            for (int x = 0; x < width; ++x) out[x] = levels[(row[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = levels[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4];
            break;
        default:
            for (int x = 0; x < width; ++x) out[x] = levels[row[x]];
    }
}

template <typename Word>
void DirectRow(const std::uint8_t* row, int width, const CStoredRows& rows, Word word,
               std::uint8_t* out) {
    const CDirectChannel red(rows.redMask), green(rows.greenMask), blue(rows.blueMask);
    for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = word(row, x);
        out[x] = Luminance(red.Value(pixel), green.Value(pixel), blue.Value(pixel));
    }
}

// A new 8-bit block of the picture's levels, or null when memory runs out.
HBLOCK GreyBlock(const CImage& image, const CStoredRows& rows) {
    HBLOCK block = dib::MakeEngineBlock(rows.width, rows.height, 8, BlockFill::Overwritten);
    if (!block) return nullptr;
    // The resolution stays the picture's.
    const std::uint8_t* header = image.Lock();
    std::memcpy(block->Data() + dib::kXPels, header + dib::kXPels, 8);
    const CLevels levels = TableLevels(*image.GetPalette());
    const std::uint64_t outStride = dib::RowStride(rows.width, 8);
    std::uint8_t* const outRows = dib::EngineRows(*block);
    const auto minRows = static_cast<int>(
        std::max<std::int64_t>(1, kMinBandPixels / std::max<std::int64_t>(rows.width, 1)));
    ParallelRows(0, rows.height, minRows, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* row = rows.Row(y);
            std::uint8_t* out = outRows + static_cast<std::uint64_t>(y) * outStride;
            switch (rows.bitCount) {
                case 16:
                    DirectRow(row, rows.width, rows, CStoredRows::Word16, out);
                    break;
                case 24:
                    greykernels::BgrRow(row, rows.width, out);
                    break;
                case 32:
                    DirectRow(row, rows.width, rows, CStoredRows::Word32, out);
                    break;
                default:
                    IndexedRow(row, rows.width, rows.bitCount, levels, out);
            }
        }
    });
    return block;
}

bool IsSupportedDepth(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

}  // namespace

bool CImage::HasGreyRamp() const {
    return GetBitCount() == 8 && GetNumColors() == 256 && palette_.IsGreyRamp();
}

bool CImage::ConvertToGrey() {
    if (!IsValid()) {
        ShowMessage(std::string(kOperation) + " : invalid handle");
        return false;
    }
    if (!IsSupportedDepth(GetBitCount())) {
        ShowMessage(std::string(kOperation) + " : unsupported pixel format");
        return false;
    }
    const dib::CColorTableLayout table = dib::ColorTableOf(*this);
    if (GetBitCount() == 8 && table.entries == 256 && table.entryBytes == 4) {
        const CLevels levels = TableLevels(palette_);
        {
            const CLockedPixelRows rows(*this, kOperation);
            if (!rows) return false;
            for (std::int64_t y = 0; y < rows.height; ++y)
                pointkernels::MapRow(rows.Row(y), rows.width, levels.data());
        }
        return PaletteGradient(1, 1, 1);
    }
    const CStoredRows rows = GetStoredRows();
    if (rows.bits == nullptr) {
        ShowMessage(std::string(kOperation) + " : unable to find data");
        return false;
    }
    HBLOCK grey = GreyBlock(*this, rows);
    if (!grey) {
        ShowMessage(std::string(kOperation) + " : insuffisant memory");
        return false;
    }
    const CRect roi = roi_;
    SetHandle(std::move(grey));
    roi_ = roi;
    return true;
}
