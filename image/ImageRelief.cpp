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
#include <cstring>
#include <utility>

#include "DibGeometry.h"
#include "Image.h"
#include "ImagePixelRows.h"
#include "Message.h"
#include "Parallel.h"

namespace {

constexpr double kDegreeFactor = 0.01745327843560113;
constexpr double kInverse255 = 0.00392156862745098;
constexpr int kMinColumnsPerBand = 64;
constexpr int kColumnTile = 256;

// Everything the drawing loops need, validated: no object access inside.
struct Relief {
    const std::uint8_t* source;
    std::size_t sourceStride;
    int w, h;
    // Pixel (column, row) of the new picture is canvas[column * columnStep +
    // row * rowStep]: the new picture itself, or a copy of it stored column by
    // column, where every bar is a run of consecutive bytes.
    std::uint8_t* canvas;
    std::size_t columnStep, rowStep;
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
    r.canvas[static_cast<std::size_t>(column) * r.columnStep +
             static_cast<std::size_t>(row) * r.rowStep] = value;
}

// Calls draw(base column, base row, bar height) for every drawn source pixel
// whose base column lies in [firstColumn, lastColumn). A bar stays in its base
// column, and the pixels of one column (x - y constant) come far to near, x
// falling, whether the picture is walked column by column or row by row: so
// the source is read row by row and bands of columns can be drawn apart.
template <typename Draw>
void ForEachProjectedPixel(const Relief& r, std::int64_t firstColumn, std::int64_t lastColumn,
                           Draw draw) {
    for (int y = r.h - 1; y >= 1; --y) {
        const std::uint8_t* levels = r.source + static_cast<std::size_t>(y) * r.sourceStride;
        const double yc = static_cast<double>(y) * r.c;
        // column = x + offset, so the band holds a run of columns.
        const std::int64_t offset = static_cast<std::int64_t>(r.h - y) + r.border;
        const auto right =
            static_cast<int>(std::clamp<std::int64_t>(lastColumn - 1 - offset, 0, r.w - 1));
        const auto left = static_cast<int>(std::clamp<std::int64_t>(firstColumn - offset, 1, r.w));
        for (int x = right; x >= left; --x) {
            const float xs = static_cast<float>(x) * r.s;
            const auto row = static_cast<std::int64_t>(static_cast<double>(xs) + yc + r.border);
            draw(offset + x, row, r.heights[levels[x]]);
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
            if (last < first) return;
            std::uint8_t* pixel = r.canvas + static_cast<std::size_t>(column) * r.columnStep;
            if (r.rowStep == 1 && last < known) {
                std::memcpy(pixel + (row + first), shades + first,
                            static_cast<std::size_t>(last - first + 1));
                return;
            }
            for (std::int64_t k = first; k <= last; ++k)
                pixel[static_cast<std::size_t>(row + k) * r.rowStep] =
                    k < known ? shades[k] : Shade(k, r.amplitude);
        });
}

void DrawCloud(const Relief& r, std::int64_t firstColumn, std::int64_t lastColumn) {
    ForEachProjectedPixel(r, firstColumn, lastColumn,
                          [&r](std::int64_t column, std::int64_t row, int height) {
                              Plot(r, column, row + height, Shade(height, r.amplitude));
                          });
}

// Rows first .. last - 1 of the new picture from its copy stored column by
// column, in tiles that stay in the cache.
void CopyColumnsToRows(const Relief& r, const std::uint8_t* columns, std::uint8_t* rows,
                       std::size_t stride, int first, int last) {
    constexpr int kTile = 64;
    const auto height = static_cast<std::size_t>(r.targetHeight);
    const auto width = static_cast<int>(r.targetWidth);
    for (int y0 = first; y0 < last; y0 += kTile) {
        const int y1 = std::min(y0 + kTile, last);
        for (int x0 = 0; x0 < width; x0 += kTile) {
            const int x1 = std::min(x0 + kTile, width);
            for (int y = y0; y < y1; ++y) {
                std::uint8_t* row = rows + static_cast<std::size_t>(y) * stride;
                for (int x = x0; x < x1; ++x)
                    row[x] =
                        columns[static_cast<std::size_t>(x) * height + static_cast<std::size_t>(y)];
            }
        }
    }
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

// The projected picture: w + h + 2 B columns and trunc(w s + h c + A + 2 B)
// rows, the latter kept in double precision until it is checked.
struct ProjectedSize {
    std::int64_t width = 0;
    double height = 0;
};

ProjectedSize ProjectedSizeOf(int w, int h, float s, float c, int amplitude, int border) {
    return {static_cast<std::int64_t>(w) + h + 2 * static_cast<std::int64_t>(border),
            std::trunc(w * static_cast<double>(s) + h * static_cast<double>(c) + amplitude +
                       2.0 * border)};
}

// An empty result, or one that no BMP file could hold, is refused before
// anything is made.
bool CheckProjectedSize(const ProjectedSize& size) {
    if (size.width < 1 || size.height < 1) {
        ShowMessage("Perspective : empty result");
        return false;
    }
    const double rowBytes = static_cast<double>(dib::RowStride(size.width, 8));
    if (CImage::kEngineHeaderBytes + rowBytes * size.height >
        static_cast<double>(CMemBlock::kMaxBlockSize)) {
        ShowMessage("Perspective : result too large");
        return false;
    }
    return true;
}

// The new picture at the background level, showing through the source's
// colours.
HBLOCK NewReliefBlock(int width, int height, std::uint8_t background, const CImage& source) {
    HBLOCK target = CImage::CreateEmptyBlock(width, height, background);
    if (!target) {
        ShowMessage("Perspective : unable to create empty image");
        return nullptr;
    }
    dib::CopyColorTable(source, *target);
    return target;
}

// Everything the drawing needs, drawing straight into the rows of `target`.
Relief PlanRelief(const CPixelRows& rows, CMemBlock& target, int width, int height, float s,
                  float c, int border, int amplitude) {
    Relief relief{};
    relief.source = rows.bits;
    relief.sourceStride = static_cast<std::size_t>(rows.stride);
    relief.w = static_cast<int>(rows.width);
    relief.h = static_cast<int>(rows.height);
    relief.canvas = dib::EngineRows(target);
    relief.columnStep = 1;
    relief.rowStep = static_cast<std::size_t>(CImage::GetWidthBytes(width));
    relief.targetWidth = width;
    relief.targetHeight = height;
    relief.s = s;
    relief.c = c;
    relief.border = border;
    relief.amplitude = amplitude;
    for (int v = 0; v < 256; ++v) relief.heights[v] = BarHeight(v, amplitude);
    return relief;
}

// Bars (mode 0) or points (mode 1), drawn column by column into a copy when
// one can be had (else straight into the picture), in bands of columns on
// separate threads: every bar lies in one column.
void DrawProjection(const Relief& onRows, int mode, std::uint8_t background) {
    if (mode != 0 && mode != 1) return;
    const int W = static_cast<int>(onRows.targetWidth), H = static_cast<int>(onRows.targetHeight);
    const HBLOCK columns = CMemBlock::Allocate(static_cast<std::uint64_t>(W) * H);
    Relief relief = onRows;
    if (columns) {
        relief.canvas = columns->Data();
        relief.columnStep = static_cast<std::size_t>(H);
        relief.rowStep = 1;
    }
    ParallelRows(0, W, kMinColumnsPerBand, [&](int first, int last) {
        if (columns)
            std::memset(relief.canvas + static_cast<std::size_t>(first) * H, background,
                        static_cast<std::size_t>(last - first) * H);
        // Narrow runs of columns keep the bars being drawn in the cache.
        for (int tile = first; tile < last; tile += kColumnTile) {
            const int end = std::min(tile + kColumnTile, last);
            if (mode == 0)
                DrawBars(relief, tile, end);
            else
                DrawCloud(relief, tile, end);
        }
    });
    if (columns)
        ParallelRows(0, H, kMinColumnsPerBand, [&](int first, int last) {
            CopyColumnsToRows(relief, columns->Data(), onRows.canvas, onRows.rowStep, first, last);
        });
}

}  // namespace

bool CImage::Perspective(int mode, int amplitude, int border, int rightAngle, int leftAngle,
                         int background, int edge) {
    HBLOCK target;
    {  // the source rows stay locked until the relief is drawn
        const CLockedPixelRows rows(*this, "Perspective");
        if (!rows) return false;
        const int a = std::max(amplitude, 0);
        const float s = static_cast<float>(std::sin(rightAngle * kDegreeFactor));
        const float c = static_cast<float>(std::cos(leftAngle * kDegreeFactor));
        const ProjectedSize size = ProjectedSizeOf(static_cast<int>(rows.width),
                                                   static_cast<int>(rows.height), s, c, a, border);
        if (!CheckProjectedSize(size)) return false;
        const int W = static_cast<int>(size.width), H = static_cast<int>(size.height);
        target = NewReliefBlock(W, H, static_cast<std::uint8_t>(background), *this);
        if (!target) return false;
        const Relief relief = PlanRelief(rows, *target, W, H, s, c, border, a);
        DrawProjection(relief, mode, static_cast<std::uint8_t>(background));
        if (mode == 0) DrawBaseEdges(relief, static_cast<std::uint8_t>(edge));
    }
    SetHandle(std::move(target));
    return true;
}
