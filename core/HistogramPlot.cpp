#include "HistogramPlot.h"

#include <algorithm>

#include "BitmapFont.h"
#include "ImageLock.h"
#include "Utf8Text.h"

namespace {

constexpr int kTick = 3;  // length of a tick mark
constexpr int kGap = 3;   // between a tick and its word, between parts

std::string Number(std::uint64_t value) { return std::to_string(value); }

void Text(SHistogramFigure& f, int x, int y, std::string text, int anchor) {
    f.texts.push_back({x, y, std::move(text), anchor});
}

void Rect(SHistogramFigure& f, int x, int y, int width, int height, std::uint8_t level = 0) {
    if (width > 0 && height > 0) f.rects.push_back({x, y, width, height, level});
}

// The bars of `counts` over the columns [left, left + width), standing on
// `bottom`, the highest `height` tall.
void Bars(SHistogramFigure& f, const std::uint32_t counts[256], int left, int width, int bottom,
          int height) {
    const std::uint64_t highest =
        std::max<std::uint32_t>(*std::max_element(counts, counts + 256), 1);
    const auto barHeight = [&](std::uint64_t count) {
        // Rounded up, so that a level present at all shows at least one row.
        return static_cast<int>((count * static_cast<std::uint64_t>(height) + highest - 1) /
                                highest);
    };
    if (width >= 256) {
        const int bar = width / 256;
        for (int level = 0; level < 256; ++level) {
            const int h = barHeight(counts[level]);
            Rect(f, left + level * bar, bottom - h, bar, h);
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        const int first = x * 256 / width, last = std::max(first + 1, (x + 1) * 256 / width);
        const std::uint32_t count = *std::max_element(counts + first, counts + last);
        const int h = barHeight(count);
        Rect(f, left + x, bottom - h, 1, h);
    }
}

// The histogram of `source`; false when it could not be made.
bool Counts(CImage& source, std::uint32_t (&counts)[256]) {
    if (!source.GenerateHistogram()) return false;
    for (int level = 0; level < 256; ++level)
        counts[level] = static_cast<std::uint32_t>(source.GetHistogramValue(level));
    return true;
}

}  // namespace

SHistogramFigure LayHistogramFigure(const std::uint32_t counts[256], CSize size,
                                    const std::string& title) {
    SHistogramFigure f;
    f.width = size.cx;
    f.height = size.cy;
    const std::uint32_t highest = *std::max_element(counts, counts + 256);
    const std::string top = Number(highest);
    const int left = TextWidth(top) + kGap + kTick + 1, right = 8;
    const int above = kGlyphHeight + 2 * kGap, below = kTick + kGap + kGlyphHeight + kGap;
    const int room = size.cx - left - right;
    if (room < 64 || size.cy - above - below < 32) {
        Bars(f, counts, 0, size.cx, size.cy, size.cy);
        return f;
    }
    // Bars of one width whenever there is room for one pixel a level.
    const int width = room >= 256 ? room / 256 * 256 : room;
    const int bottom = size.cy - below, height = bottom - above;
    Bars(f, counts, left, width, bottom, height);

    // The axes, ticks and their words; the title above.
    Rect(f, left - 1, above, 1, height + 1);
    Rect(f, left - 1, bottom, width + 1, 1);
    for (const int level : {0, 64, 128, 192, 255}) {
        const int x = left + static_cast<int>(static_cast<std::int64_t>(level) * width / 256) +
                      (width >= 256 ? width / 256 / 2 : 0);
        Rect(f, x, bottom + 1, 1, kTick);
        Text(f, x, bottom + 1 + kTick + kGap, Number(level), 0);
    }
    for (const std::uint32_t count : {0u, highest / 2, highest}) {
        const int y = bottom - static_cast<int>(static_cast<std::uint64_t>(count) * height /
                                                std::max<std::uint32_t>(highest, 1));
        Rect(f, left - 1 - kTick, y, kTick, 1);
        Text(f, left - 1 - kTick - kGap, y - kGlyphHeight / 2, Number(count), 1);
    }
    Text(f, left + width / 2, kGap, title, 0);
    return f;
}

bool DrawHistogramPlot(CImage& source, CSize size, const std::string& title, CImage& plot) {
    std::uint32_t counts[256];
    if (!Counts(source, counts)) return false;
    const SHistogramFigure figure = LayHistogramFigure(counts, size, title);
    if (!plot.CreateEmptyImage(size.cx, size.cy, 255)) return false;
    const CImageLock lock(plot);
    std::uint8_t* bits = lock ? plot.GetBits(lock.Block()) : nullptr;
    if (bits == nullptr) return false;
    // Rows are stored bottom-up; the figure counts from the top.
    const auto stride = static_cast<std::uint64_t>(CImage::GetWidthBytes(size.cx));
    const auto set = [&](int x, int y, std::uint8_t level) {
        if (x >= 0 && x < size.cx && y >= 0 && y < size.cy)
            bits[static_cast<std::uint64_t>(size.cy - 1 - y) * stride + x] = level;
    };
    for (const SFigureRect& r : figure.rects)
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) set(x, y, r.level);
    for (const SFigureText& t : figure.texts) {
        const int width = TextWidth(t.text);
        const int x = t.anchor < 0 ? t.x : t.anchor == 0 ? t.x - width / 2 : t.x - width;
        DrawText(t.text, x, t.y, [&](int px, int py) { set(px, py, 0); });
    }
    return true;
}

std::string HistogramFigureSvg(const SHistogramFigure& figure) {
    const auto escaped = [](const std::string& text) {
        std::string out;
        for (const char c : ValidUtf8(text)) {
            if (c == '&')
                out += "&amp;";
            else if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else if (c == '"')
                out += "&quot;";
            else if (static_cast<unsigned char>(c) < 0x20)
                out += ' ';  // not allowed in XML
            else
                out += c;
        }
        return out;
    };
    const std::string w = Number(figure.width), h = Number(figure.height);
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
        "\">\n"
        "<rect width=\"" +
        w + "\" height=\"" + h + "\" fill=\"white\"/>\n";
    for (const SFigureRect& r : figure.rects)
        svg += "<rect x=\"" + Number(r.x) + "\" y=\"" + Number(r.y) + "\" width=\"" +
               Number(r.width) + "\" height=\"" + Number(r.height) + "\" fill=\"rgb(" +
               Number(r.level) + "," + Number(r.level) + "," + Number(r.level) + ")\"/>\n";
    for (const SFigureText& t : figure.texts) {
        const char* anchor = t.anchor < 0 ? "start" : t.anchor == 0 ? "middle" : "end";
        // The baseline: the top of the bitmap font's letters plus their height.
        svg += "<text x=\"" + Number(t.x) + "\" y=\"" + Number(t.y + kGlyphHeight) +
               "\" font-family=\"sans-serif\" font-size=\"9\" text-anchor=\"" + anchor + "\">" +
               escaped(t.text) + "</text>\n";
    }
    return svg + "</svg>\n";
}

bool HistogramPlotSvg(CImage& source, CSize size, const std::string& title, std::string& svg) {
    std::uint32_t counts[256];
    if (!Counts(source, counts)) return false;
    svg = HistogramFigureSvg(LayHistogramFigure(counts, size, title));
    return true;
}
