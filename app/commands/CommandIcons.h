#pragma once
// Toolbar icons of our own, drawn as vectors on a 16 x 16 grid so they stay
// sharp at any size and device pixel ratio. A command's row names its
// drawing here and, for the standard file and edit commands, the desktop
// theme's icon, which is preferred where the theme has it.

#include <QIcon>

class QPainter;

using IconDrawing = void (*)(QPainter&);

struct SCommandIcon {
    const char* theme = nullptr;  // name in the desktop's icon theme, or null
    IconDrawing draw = nullptr;   // our own drawing, or null for no icon
};

// The icon of a command, or a null icon when it has no drawing.
QIcon CommandIcon(const SCommandIcon& icon);

namespace icons {
void FileNew(QPainter& p);
void BrowseFolder(QPainter& p);
void FileOpen(QPainter& p);
void FileSave(QPainter& p);
void Unassigned(QPainter& p);
void EditUndo(QPainter& p);
void EditCopy(QPainter& p);
void EditPaste(QPainter& p);
void FilePrint(QPainter& p);
void FilePrintPreview(QPainter& p);
void WindowNew(QPainter& p);
void WindowTileHorizontal(QPainter& p);
void WindowTileVertical(QPainter& p);
void WindowCascade(QPainter& p);
void WindowSplit(QPainter& p);
void SplitHorizontal(QPainter& p);
void SplitVertical(QPainter& p);
void SplitFour(QPainter& p);
void SplitNone(QPainter& p);
void CloseAllNoSave(QPainter& p);
void TipOfTheDay(QPainter& p);
void About(QPainter& p);
void ZoomAuto(QPainter& p);
void ZoomPlus(QPainter& p);
void ZoomMinus(QPainter& p);
void ZoomNormal(QPainter& p);
void Roi(QPainter& p);
void PaletteGrey(QPainter& p);
void PaletteRainbow(QPainter& p);
void FlipVertical(QPainter& p);
void FlipHorizontal(QPainter& p);
void History(QPainter& p);
void Statistics(QPainter& p);
void Histogram(QPainter& p);
void ManualThreshold(QPainter& p);
void Negative(QPainter& p);
void Dynamic(QPainter& p);
void FilterBrowser(QPainter& p);
void Resize(QPainter& p);
void Rotation(QPainter& p);
void Uniform(QPainter& p);
void PerspectiveGradient(QPainter& p);
void PerspectiveCloud(QPainter& p);
}  // namespace icons
