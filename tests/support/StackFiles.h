#pragma once
// Multi-page files written by the libraries themselves (libtiff, giflib),
// and the pages another program decodes from them, for stack tests.

#include <gif_lib.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"

// One grey page: its size and its levels, row 0 at the top.
struct SGreyPage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> levels;
};

template <typename F>
SGreyPage GreyPage(int width, int height, F level) {
    SGreyPage page{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            page.levels.push_back(static_cast<std::uint8_t>(level(x, y)));
    return page;
}

// A TIFF of one directory a page, written by libtiff; `compression` of
// page i is compressions[i % size].
inline bool WriteTiffPages(const std::string& path, const std::vector<SGreyPage>& pages,
                           const std::vector<int>& compressions = {COMPRESSION_NONE}) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) return false;
    bool ok = true;
    for (std::size_t i = 0; ok && i < pages.size(); ++i) {
        const SGreyPage& page = pages[i];
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(page.width));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(page.height));
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, compressions[i % compressions.size()]);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4u);
        for (int y = 0; ok && y < page.height; ++y)
            ok = TIFFWriteScanline(tiff,
                                   const_cast<std::uint8_t*>(page.levels.data()) + y * page.width,
                                   static_cast<std::uint32_t>(y), 0) >= 0;
        ok = ok && TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return ok;
}

// Page `index` of a TIFF as libtiff decodes it: 8-bit grey levels, row 0 first.
inline SGreyPage LibtiffPage(const std::string& path, int index) {
    SGreyPage page;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (tiff == nullptr) return page;
    std::uint32_t width = 0, height = 0;
    if (TIFFSetDirectory(tiff, static_cast<tdir_t>(index)) &&
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) &&
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height)) {
        page.width = static_cast<int>(width);
        page.height = static_cast<int>(height);
        page.levels.resize(static_cast<std::size_t>(width) * height);
        for (std::uint32_t y = 0; y < height; ++y)
            TIFFReadScanline(tiff, page.levels.data() + y * width, y, 0);
    }
    TIFFClose(tiff);
    return page;
}

// The levels of an 8-bit picture, row 0 at the top.
inline SGreyPage PageLevels(CImage& image) {
    SGreyPage page{image.GetWidth(), image.GetHeight(), {}};
    for (int y = page.height - 1; y >= 0; --y)
        for (int x = 0; x < page.width; ++x) page.levels.push_back(PixelAt(image, x, y));
    return page;
}

inline bool operator==(const SGreyPage& a, const SGreyPage& b) {
    return a.width == b.width && a.height == b.height && a.levels == b.levels;
}

// One frame of a GIF: where it lies, its indices, how it leaves the canvas.
struct SGifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices;
    int disposal = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
    int delay = 0;
};

// A GIF of `frames` on a width x height screen with a 16-entry table
// (entry i: grey 16 i), background index `background`, written by giflib.
inline bool WriteGifFrames(const std::string& path, int width, int height, int background,
                           const std::vector<SGifFrame>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (gif == nullptr) return false;
    ColorMapObject* map = GifMakeMapObject(16, nullptr);
    for (int i = 0; i < 16; ++i) {
        const auto grey = static_cast<GifByteType>(16 * i);
        map->Colors[i] = {grey, grey, grey};
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 4, background, map) == GIF_OK;
    for (const SGifFrame& f : frames) {
        const GraphicsControlBlock control{f.disposal, false, f.delay, f.transparent};
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        ok = ok &&
             EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                 GIF_OK &&
             EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, false, nullptr) == GIF_OK;
        std::vector<GifPixelType> row(static_cast<std::size_t>(f.width));
        for (int y = 0; ok && y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) row[x] = f.indices[y * f.width + x];
            ok = EGifPutLine(gif, row.data(), f.width) == GIF_OK;
        }
    }
    GifFreeMapObject(map);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    return ok;
}
