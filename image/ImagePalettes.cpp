// Palette generators: each rewrites the 256 entries of the colour table in
// the picture's own block (so the change is saved, copied and undone with the
// picture) and rebuilds the palette object. Pixel values are never touched.
//
// A generator needs a 256-entry colour table of 4-byte entries lying inside
// the block; any other picture (fewer colours, more than 8 bits per pixel) is
// refused with "<generator> : 256 colors only" and keeps its table.

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "DibGeometry.h"
#include "Image.h"
#include "ImageLock.h"
#include "Message.h"

namespace {

struct CRgb {
    int red = 0, green = 0, blue = 0;
};
using CRamp = std::array<CRgb, 256>;

// Writes `ramp` as the picture's colour table (blue, green, red, 0), each
// channel stored as its low 8 bits, then rebuilds the palette object.
bool WriteColorTable(CImage& image, const std::string& operation, const CRamp& ramp) {
    if (!image.IsValid()) {
        ShowMessage(operation + " : invalid handle");
        return false;
    }
    const dib::CColorTableLayout layout = dib::ColorTableOf(image);
    if (image.GetNumColors() != 256 || layout.entries != 256 || layout.entryBytes != 4) {
        ShowMessage(operation + " : 256 colors only");
        return false;
    }
    {
        const CImageLock lock(image);
        if (!lock) return false;
        std::uint8_t* table = lock.Block() + layout.offset;
        for (int i = 0; i < 256; ++i) {
            table[4 * i] = static_cast<std::uint8_t>(ramp[i].blue);
            table[4 * i + 1] = static_cast<std::uint8_t>(ramp[i].green);
            table[4 * i + 2] = static_cast<std::uint8_t>(ramp[i].red);
            table[4 * i + 3] = 0;
        }
    }
    image.FillPalette();
    return true;
}

CRamp HeatRamp() {
    CRamp ramp;
    for (int i = 0; i < 255; ++i) {
        const int green = i < 128 ? 0 : 2 * i - 255;
        const int blue = i < 192 ? 0 : 4 * i - 765;
        ramp[i] = {i, green, blue};
    }
    ramp[255] = ramp[254];
    return ramp;
}

}  // namespace

bool CImage::PaletteGradient(int redFactor, int greenFactor, int blueFactor) {
    CRamp ramp;
    // Products wrap modulo 256; unsigned arithmetic keeps that defined for
    // any factor.
    for (unsigned i = 0; i < 256; ++i)
        ramp[i] = {static_cast<int>(static_cast<unsigned>(redFactor) * i & 0xFF),
                   static_cast<int>(static_cast<unsigned>(greenFactor) * i & 0xFF),
                   static_cast<int>(static_cast<unsigned>(blueFactor) * i & 0xFF)};
    return WriteColorTable(*this, "PaletteGradient", ramp);
}

bool CImage::PaletteGradient(const std::uint8_t red[256], const std::uint8_t green[256],
                             const std::uint8_t blue[256]) {
    if (red == nullptr || green == nullptr || blue == nullptr) {
        ShowMessage("PaletteGradient : invalid color tables");
        return false;
    }
    CRamp ramp;
    for (int i = 0; i < 256; ++i) ramp[i] = {red[i], green[i], blue[i]};
    return WriteColorTable(*this, "PaletteGradient", ramp);
}

bool CImage::PaletteThreshold(int low, int high) {
    // Levels low .. high - 1 are painted red; the rest keep the grey ramp.
    low = std::clamp(low, 0, 256);
    high = std::clamp(high, 0, 256);
    CRamp ramp;
    for (int i = 0; i < 256; ++i)
        ramp[i] = (i >= low && i < high) ? CRgb{255, 0, 0} : CRgb{i, i, i};
    return WriteColorTable(*this, "PaletteThreshold", ramp);
}

bool CImage::PaletteRainbow() {
    // Blue through cyan, green and yellow to red, in four ramps of 64 levels.
    CRamp ramp;
    for (int i = 0; i < 255; ++i) {
        if (i < 64)
            ramp[i] = {0, 4 * i, 255};
        else if (i < 128)
            ramp[i] = {0, 255, 510 - 4 * i};
        else if (i < 192)
            ramp[i] = {4 * i - 510, 255, 0};
        else
            ramp[i] = {255, 1020 - 4 * i, 0};
    }
    ramp[255] = ramp[254];  // (255, 4, 0), not pure red
    return WriteColorTable(*this, "PaletteRainbow", ramp);
}

bool CImage::PaletteHeat() { return WriteColorTable(*this, "PaletteHeat", HeatRamp()); }

bool CImage::PaletteMetal() {
    // The heat ramp with red and blue exchanged; it reports as PaletteHeat.
    CRamp ramp = HeatRamp();
    for (CRgb& c : ramp) std::swap(c.red, c.blue);
    return WriteColorTable(*this, "PaletteHeat", ramp);
}

bool CImage::PaletteBinary() {
    // Neighbouring levels always differ: black, magenta, green, blue, yellow,
    // cyan, white, red, and again.
    static constexpr CRgb kCycle[8] = {{0, 0, 0},     {255, 0, 255}, {0, 255, 0},     {0, 0, 255},
                                       {255, 255, 0}, {0, 255, 255}, {255, 255, 255}, {255, 0, 0}};
    CRamp ramp;
    for (int i = 0; i < 256; ++i) ramp[i] = kCycle[i % 8];
    return WriteColorTable(*this, "PaletteBinary", ramp);
}
