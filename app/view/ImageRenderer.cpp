#include "ImageRenderer.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <vector>

#include "Parallel.h"
#include "ZoomSteps.h"

namespace {

constexpr std::int64_t kBandBytes = 16 << 20;  // largest piece built at once (printing)

// The pixel rows of a picture at its real bit depth, with the channels of
// direct-colour pixels.
struct CSourceRows : CStoredRows {
    CDirectChannel red, green, blue;
};

bool LocateRows(const CImage& image, CSourceRows& rows) {
    static_cast<CStoredRows&>(rows) = image.GetStoredRows();
    if (rows.bits == nullptr) return false;
    rows.red = CDirectChannel(rows.redMask);
    rows.green = CDirectChannel(rows.greenMask);
    rows.blue = CDirectChannel(rows.blueMask);
    return true;
}

QList<QRgb> ColorTable(const CImage& image) {
    QList<QRgb> table(256, qRgb(0, 0, 0));
    const CPaletteTable& palette = *image.GetPalette();
    for (int i = 0; i < palette.count; ++i) {
        const CPaletteTable::Entry& e = palette.entries[static_cast<std::size_t>(i)];
        table[i] = qRgb(e.red, e.green, e.blue);
    }
    return table;
}

// The source column (or row) that destination column (or row) `shown` of a
// destination `target` long shows.
int SourceIndex(int shown, int length, int target) {
    return static_cast<int>(static_cast<std::int64_t>(shown) * length / target);
}

// Destination pixels per band below which a picture is built on one core:
// a thread costs about as much as a hundred thousand pixels.
constexpr int kMinBandPixels = 1 << 17;

// Fills `out` (area-sized) with source pixels chosen by nearest neighbour,
// in bands of rows on all cores when the area is large enough. Consecutive
// destination rows showing the same source row are copied.
template <typename Pixel, typename Fetch>
void Fill(QImage& out, const CSourceRows& src, QSize target, QRect area, Fetch fetch) {
    std::vector<int> columns(static_cast<std::size_t>(area.width()));
    for (int i = 0; i < area.width(); ++i)
        columns[static_cast<std::size_t>(i)] =
            SourceIndex(area.left() + i, src.width, target.width());
    const std::size_t lineBytes = static_cast<std::size_t>(area.width()) * sizeof(Pixel);
    const int minRows = std::max(1, kMinBandPixels / area.width());
    ParallelRows(0, area.height(), minRows, [&](int first, int last) {
        int previous = -1;
        for (int r = first; r < last; ++r) {
            Pixel* line = reinterpret_cast<Pixel*>(out.scanLine(r));
            const int shown = SourceIndex(area.top() + r, src.height, target.height());
            if (shown == previous) {
                std::memcpy(line, out.constScanLine(r - 1), lineBytes);
                continue;
            }
            previous = shown;
            // Rows are stored bottom-up.
            const std::uint8_t* row = src.Row(src.height - 1 - shown);
            for (int i = 0; i < area.width(); ++i)
                line[i] = fetch(row, columns[static_cast<std::size_t>(i)]);
        }
    });
}

// The index of column x of a 1-, 4- or 8-bit row.
template <int kBits>
std::uint8_t IndexAt(const std::uint8_t* row, int x) {
    if constexpr (kBits == 1) return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    if constexpr (kBits == 4)
        return static_cast<std::uint8_t>((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
    return row[x];
}

QImage RenderIndexed(const CImage& image, const CSourceRows& src, QSize target, QRect area) {
    QImage out(area.size(), QImage::Format_Indexed8);
    if (out.isNull()) return out;
    out.setColorTable(ColorTable(image));
    switch (src.bitCount) {
        case 1:
            Fill<std::uint8_t>(out, src, target, area, IndexAt<1>);
            break;
        case 4:
            Fill<std::uint8_t>(out, src, target, area, IndexAt<4>);
            break;
        default:
            Fill<std::uint8_t>(out, src, target, area, IndexAt<8>);
    }
    return out;
}

// For the screen: the colours of the indices straight away, so that painting
// needs no conversion of the whole piece afterwards.
void FillIndexedColours(QImage& out, const CImage& image, const CSourceRows& src, QSize target,
                        QRect area) {
    const QList<QRgb> table = ColorTable(image);
    const QRgb* colours = table.constData();
    switch (src.bitCount) {
        case 1:
            Fill<QRgb>(out, src, target, area, [colours](const std::uint8_t* row, int x) {
                return colours[IndexAt<1>(row, x)];
            });
            break;
        case 4:
            Fill<QRgb>(out, src, target, area, [colours](const std::uint8_t* row, int x) {
                return colours[IndexAt<4>(row, x)];
            });
            break;
        default:
            Fill<QRgb>(out, src, target, area, [colours](const std::uint8_t* row, int x) {
                return colours[IndexAt<8>(row, x)];
            });
    }
}

QRgb DirectColour(const CSourceRows& src, std::uint32_t pixel) {
    return qRgb(src.red.Value(pixel), src.green.Value(pixel), src.blue.Value(pixel));
}

QRgb Direct24(const std::uint8_t* row, int x) {
    const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
    return qRgb(p[2], p[1], p[0]);
}

void FillDirect(QImage& out, const CSourceRows& src, QSize target, QRect area) {
    switch (src.bitCount) {
        case 16:
            Fill<QRgb>(out, src, target, area, [&](const std::uint8_t* row, int x) {
                return DirectColour(src, CStoredRows::Word16(row, x));
            });
            break;
        case 24:
            Fill<QRgb>(out, src, target, area, Direct24);
            break;
        default:
            Fill<QRgb>(out, src, target, area, [&](const std::uint8_t* row, int x) {
                return DirectColour(src, CStoredRows::Word32(row, x));
            });
    }
}

// The colour-table index at column x of a row of a 1-, 4- or 8-bit picture.
int IndexOf(const CSourceRows& src, const std::uint8_t* row, int x) {
    if (src.bitCount == 1) return IndexAt<1>(row, x);
    if (src.bitCount == 4) return IndexAt<4>(row, x);
    return IndexAt<8>(row, x);
}

// The part `area` of the picture stretched to `target`. Indexed pictures
// come as Format_Indexed8, unless `screen` is given: then every picture is
// drawn in colour into it, reused when it already has the area's size (a
// repaint then finds its memory ready instead of having it mapped anew).
QImage Render(const CImage& image, QSize target, QRect area, QImage* screen,
              DisplayStatus& result) {
    result = DisplayStatus::NoPicture;
    area &= QRect(QPoint(0, 0), target);
    if (!image.IsValid() || area.isEmpty()) return {};

    CSourceRows src;
    if (!LocateRows(image, src)) {
        result = DisplayStatus::NoData;
        return {};
    }
    const bool indexed = src.bitCount == 1 || src.bitCount == 4 || src.bitCount == 8;
    const bool direct = src.bitCount == 16 || src.bitCount == 24 || src.bitCount == 32;
    if (!indexed && !direct) {
        result = DisplayStatus::NoData;
        return {};
    }
    if (indexed && screen == nullptr) {
        QImage out = RenderIndexed(image, src, target, area);
        if (!out.isNull()) result = DisplayStatus::Drawn;
        return out;
    }
    QImage fresh;
    QImage& out = screen ? *screen : fresh;
    if (out.size() != area.size() || out.format() != QImage::Format_RGB32)
        out = QImage(area.size(), QImage::Format_RGB32);
    if (out.isNull()) return {};
    if (indexed)
        FillIndexedColours(out, image, src, target, area);
    else
        FillDirect(out, src, target, area);
    result = DisplayStatus::Drawn;
    return out;
}

}  // namespace

QImage RenderPicture(const CImage& image, QSize target, QRect area, DisplayStatus* status) {
    DisplayStatus ignored;
    return Render(image, target, area, nullptr, status ? *status : ignored);
}

std::optional<SShownPixel> PixelShownAt(const CImage& image, float zoom, QSize size, QPoint point) {
    const QSize target(zoom::Scaled(size.width(), zoom), zoom::Scaled(size.height(), zoom));
    CSourceRows src;
    if (!QRect(QPoint(0, 0), target).contains(point) || !image.IsValid() || !LocateRows(image, src))
        return std::nullopt;
    SShownPixel shown;
    shown.x = SourceIndex(point.x(), src.width, target.width());
    shown.y = SourceIndex(point.y(), src.height, target.height());
    const std::uint8_t* row = src.Row(src.height - 1 - shown.y);
    switch (src.bitCount) {
        case 1:
        case 4:
        case 8: {
            shown.level = IndexOf(src, row, shown.x);
            const CPaletteTable& palette = *image.GetPalette();
            const CPaletteTable::Entry e =
                shown.level < palette.count ? palette.entries[static_cast<std::size_t>(shown.level)]
                                            : CPaletteTable::Entry{};
            shown.colour = qRgb(e.red, e.green, e.blue);
            shown.greyPalette = palette.IsGreyRamp();
            break;
        }
        case 16:
            shown.colour = DirectColour(src, CStoredRows::Word16(row, shown.x));
            break;
        case 24:
            shown.colour = Direct24(row, shown.x);
            break;
        case 32:
            shown.colour = DirectColour(src, CStoredRows::Word32(row, shown.x));
            break;
        default:
            return std::nullopt;
    }
    return shown;
}

int DisplayImage(QPainter& painter, const CImage& image, float zoom, QSize size, QRect exposed,
                 DisplayStatus* status) {
    DisplayStatus ignored;
    DisplayStatus& result = status ? *status : ignored;
    result = DisplayStatus::NoPicture;
    const QSize target(zoom::Scaled(size.width(), zoom), zoom::Scaled(size.height(), zoom));
    const QRect area = exposed & QRect(QPoint(0, 0), target);
    if (!image.IsValid() || area.isEmpty()) return 0;

    // Large areas (a printed page) are built in bands to bound the memory.
    const int bandRows = static_cast<int>(
        std::max<std::int64_t>(1, kBandBytes / (4 * static_cast<std::int64_t>(area.width()))));
    // One screen image per thread, kept from one repaint to the next.
    static thread_local QImage screen;
    int drawn = 0;
    for (int top = area.top(); top <= area.bottom(); top += bandRows) {
        const QRect band(area.left(), top, area.width(),
                         std::min(bandRows, area.bottom() + 1 - top));
        const QImage piece = Render(image, target, band, &screen, result);
        if (piece.isNull()) break;
        painter.drawImage(band.topLeft(), piece);
        drawn += band.height();
    }
    return drawn;
}
