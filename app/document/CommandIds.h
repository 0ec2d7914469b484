#pragma once
// The numeric ids of every command of the program. Menus, toolbars,
// accelerators and context menus all refer to commands by these ids.

namespace cmd {

// File
constexpr int FileNew = 57600, FileOpen = 57601, FileClose = 57602, FileSave = 57603,
              FileSaveAs = 57604, FilePrintSetup = 57606, FilePrint = 57607,
              FilePrintDirect = 57608, FilePrintPreview = 57609, FileMru1 = 57616, AppExit = 57665,
              SaveAll = 32865, BrowseFolder = 32788, ExportRecipe = 32900;
// Edit
constexpr int EditUndo = 57643, EditCut = 57635, EditCopy = 57634, EditPaste = 57637;
// View (toolbar and status bar)
constexpr int ViewToolbar = 59392, ViewStatusBar = 59393;
// Image: region of interest and zoom
constexpr int Roi = 32814, ZoomNormal = 32816, ZoomAuto = 32774, ZoomMinus = 32775,
              ZoomPlus = 32815;
// Image: geometry
constexpr int FlipHorizontal = 32778, FlipVertical = 32780, Rotation = 32789, Resize = 32790,
              Uniform = 32791;
// Image: colours
constexpr int ConvertToGrey = 32901;
// Image: the window over the file's own values
constexpr int SampleWindow = 32904;
// Palette
constexpr int PaletteGrey = 32809, PaletteRainbow = 32810, PaletteHeat = 32811,
              PaletteBinary = 32812, PaletteMetal = 32847, PaletteBar = 32885, PaletteEdit = 32886;
// Processing
constexpr int ManualThreshold = 32797, AdaptiveThreshold = 32875, Negative = 32800, Dynamic = 32853,
              Contours = 32808, FilterBrowser = 32866, StructuringElement = 32852, Dilate = 32848,
              Erode = 32849, Opening = 32850, Closing = 32851;
// Analysis
constexpr int Statistics = 32781, Histogram = 32792, History = 32855, Measure = 32902,
              ViewResults = 32903;
// Stack
constexpr int NextPage = 32950, PrevPage = 32951, ExtractPage = 32952, DeletePage = 32953,
              AssembleStack = 32954, Projection = 32955;
// Perspective
constexpr int PerspectiveGradient = 32793, PerspectiveCloud = 32794;
// Tools, help
constexpr int Options = 32796, TipOfTheDay = 32799, About = 57664;
// Window
constexpr int WindowNew = 57648, WindowCascade = 57650, WindowTileHorizontal = 57651,
              WindowTileVertical = 57652, WindowArrangeIcons = 57649, WindowSplit = 57653,
              SplitHorizontal = 32881, SplitVertical = 32882, SplitFour = 32880, SplitNone = 32883,
              CloseAllSave = 32864, CloseAllNoSave = 32862;
// Panes of the active window (F6, Shift+F6), and the main toolbar's button
// that no command serves
constexpr int NextPane = 57680, PrevPane = 57681, Unassigned = 32786;

}  // namespace cmd
