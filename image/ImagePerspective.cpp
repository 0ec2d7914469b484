// Pseudo-3D relief: every pixel becomes a bar (gradient mode) or a point
// (cloud mode) standing on an oblique projection of the picture's plane.
//
// Source pixel (x, y) (storage row y) has its base at column x + (h - y) + B
// and storage row trunc(x * s + y * c + B), with s = sin(right angle) and
// c = cos(left angle) in single precision. The degree factor is 3.14159012 /
// 180, not the exact one: reliefs have always been drawn with it. There
// is no depth buffer: bars are drawn from the far corner to the near one and
// later bars cover earlier ones. Source column 0 and storage row 0 are not
// drawn. Every point is clipped to the new picture, whatever the margins,
// angles and amplitude; a negative amplitude is taken as 0 (a flat relief).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "Image.h"
#include "ImagePixelRows.h"
#include "Message.h"
#include "Parallel.h"

namespace {

constexpr double kDegreeFactor = 0.01745327843560113;
constexpr double kInverse255 = 0.00392156862745098;
constexpr int kMinColumnsPerBand = 64;

// Everything the drawing loops need, validated: no object access inside.
struct Relief {
    const std::uint8_t* source;
    std::size_t sourceStride;
    int w, h;
    std::uint8_t* target;
    std::size_t targetStride;
    std::int64_t targetWidth, targetHeight;
    float s, c;
    int border;
    int amplitude;     // >= 0
    int heights[256];  // BarHeight of every level
};

// Height in pixels of grey level v.
int BarHeight(int v, int amplitude) {
    return static_cast<int>(static_cast<double>(v) * amplitude * kInverse255);
}

// Grey level of the k-th pixel of a bar, from 0 at its base.
std::uint8_t Shade(std::int64_t k, int amplitude) {
    if (amplitude <= 0) return 0;
    return static_cast<std::uint8_t>(static_cast<double>(k) / amplitude * 255.0);
}

void Plot(const Relief& r, std::int64_t column, std::int64_t row, std::uint8_t value) {
    if (column < 0 || column >= r.targetWidth || row < 0 || row >= r.targetHeight) return;
    r.target[static_cast<std::size_t>(row) * r.targetStride + static_cast<std::size_t>(column)] =
        value;
}

// Calls draw(base column, base row, bar height) for every drawn source pixel
// whose base column lies in [firstColumn, lastColumn), far to near. A bar
// stays in its base column, so bands of columns can be drawn apart and each
// column still sees its bars in the same order.
template <typename Draw>
void ForEachProjectedPixel(const Relief& r, std::int64_t firstColumn, std::int64_t lastColumn,
                           Draw draw) {
    for (int x = r.w - 1; x >= 1; --x) {
        const float xs = static_cast<float>(x) * r.s;
        // column = x + (h - y) + border, so the band holds a run of rows.
        const std::int64_t offset = static_cast<std::int64_t>(x) + r.h + r.border;
        const auto top =
            static_cast<int>(std::clamp<std::int64_t>(offset - firstColumn, 0, r.h - 1));
        const auto bottom =
            static_cast<int>(std::clamp<std::int64_t>(offset - lastColumn + 1, 1, r.h));
        for (int y = top; y >= bottom; --y) {
            const int v = r.source[static_cast<std::size_t>(y) * r.sourceStride +
                                   static_cast<std::size_t>(x)];
            const std::int64_t column = offset - y;
            const auto row = static_cast<std::int64_t>(static_cast<double>(xs) +
                                                       static_cast<double>(y) * r.c + r.border);
            draw(column, row, r.heights[v]);
        }
    }
}

// Shades of the first bar pixels, worked out once when bars are short
// enough for a table.
constexpr int kShadeTableSize = 4096;

void DrawBars(const Relief& r, std::int64_t firstColumn, std::int64_t lastColumn) {
    std::uint8_t shades[kShadeTableSize];
    const int known = static_cast<int>(std::min<std::int64_t>(
        kShadeTableSize, std::min<std::int64_t>(r.amplitude, r.targetHeight) + 1));
    for (int k = 0; k < known; ++k) shades[k] = Shade(k, r.amplitude);
    ForEachProjectedPixel(
        r, firstColumn, lastColumn, [&](std::int64_t column, std::int64_t row, int height) {
            if (column < 0 || column >= r.targetWidth) return;
            // Only the part of the bar inside the picture is visited.
            const std::int64_t first = std::max<std::int64_t>(0, -row);
            const std::int64_t last = std::min<std::int64_t>(height, r.targetHeight - 1 - row);
            std::uint8_t* pixel = r.target + static_cast<std::size_t>(column);
            for (std::int64_t k = first; k <= last; ++k)
                pixel[static_cast<std::size_t>(row + k) * r.targetStride] =
                    k < known ? shades[k] : Shade(k, r.amplitude);
        });
}

void DrawCloud(const Relief& r, std::int64_t firstColumn, std::int64_t lastColumn) {
    ForEachProjectedPixel(r, firstColumn, lastColumn,
                          [&r](std::int64_t column, std::int64_t row, int height) {
                              Plot(r, column, row + height, Shade(height, r.amplitude));
                          });
}

// The lines one row below the projected bottom and left edges of the picture.
void DrawBaseEdges(const Relief& r, std::uint8_t edge) {
    for (int x = r.w - 1; x >= 1; --x)
        Plot(r, static_cast<std::int64_t>(x) + r.h + r.border,
             static_cast<std::int64_t>(static_cast<float>(x) * r.s) + r.border - 1, edge);
    for (int y = r.h - 1; y >= 1; --y)
        Plot(r, static_cast<std::int64_t>(r.h) - y + r.border,
             static_cast<std::int64_t>(static_cast<float>(y) * r.c) + r.border - 1, edge);
}

}  // namespace

bool CImage::Perspective(int mode, int amplitude, int border, int rightAngle, int leftAngle,
                         int background, int edge) {
    const CPixelRows rows = LockPixelRows(*this, "Perspective");
    if (!rows) return false;
    const int w = static_cast<int>(rows.width), h = static_cast<int>(rows.height);
    const int a = std::max(amplitude, 0);
    const float s = static_cast<float>(std::sin(rightAngle * kDegreeFactor));
    const float c = static_cast<float>(std::cos(leftAngle * kDegreeFactor));
    const std::int64_t newWidth =
        static_cast<std::int64_t>(w) + h + 2 * static_cast<std::int64_t>(border);
    const double newHeight =
        std::trunc(w * static_cast<double>(s) + h * static_cast<double>(c) + a + 2.0 * border);
    if (newWidth < 1 || newHeight < 1) {
        ShowMessage("Perspective : empty result");
        Unlock();
        return false;
    }
    // A result that no BMP file could hold is refused before anything is made.
    const double rowBytes = static_cast<double>((newWidth + 3) & ~std::int64_t{3});
    if (kEngineHeaderBytes + rowBytes * newHeight > static_cast<double>(CMemBlock::kMaxBlockSize)) {
        ShowMessage("Perspective : result too large");
        Unlock();
        return false;
    }
    const int W = static_cast<int>(newWidth), H = static_cast<int>(newHeight);

    HBLOCK target = CreateEmptyBlock(W, H, static_cast<std::uint8_t>(background));
    if (!target) {
        ShowMessage("Perspective : unable to create empty image");
        Unlock();
        return false;
    }
    // The new picture shows through the source's colours.
    std::uint8_t* table = target->Data() + kInfoHeaderSize;
    for (int i = 0; i < palette_.count; ++i) {
        const CPaletteTable::Entry& e = palette_.entries[static_cast<std::size_t>(i)];
        table[4 * i] = e.blue;
        table[4 * i + 1] = e.green;
        table[4 * i + 2] = e.red;
    }

    Relief relief{};
    relief.source = rows.bits;
    relief.sourceStride = static_cast<std::size_t>(rows.stride);
    relief.w = w;
    relief.h = h;
    relief.target = target->Data() + kEngineHeaderBytes;
    relief.targetStride = static_cast<std::size_t>(GetWidthBytes(W));
    relief.targetWidth = W;
    relief.targetHeight = H;
    relief.s = s;
    relief.c = c;
    relief.border = border;
    relief.amplitude = a;
    for (int v = 0; v < 256; ++v) relief.heights[v] = BarHeight(v, a);
    // Bands of columns on separate threads: every bar lies in one column.
    if (mode == 0 || mode == 1)
        ParallelRows(0, W, kMinColumnsPerBand, [&relief, mode](int first, int last) {
            if (mode == 0)
                DrawBars(relief, first, last);
            else
                DrawCloud(relief, first, last);
        });
    if (mode == 0) DrawBaseEdges(relief, static_cast<std::uint8_t>(edge));
    Unlock();
    SetHandle(std::move(target));
    return true;
}
