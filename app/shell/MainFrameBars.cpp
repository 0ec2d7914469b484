#include "MainFrameBars.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

#include "CommandIds.h"
#include "CommandTable.h"

namespace {

constexpr int kSeparator = 0;

// Adds the commands to a menu or toolbar; 0 stands for a separator.
void AddCommands(QWidget* container, const QList<int>& ids) {
    for (int id : ids) {
        if (id == kSeparator) {
            auto* separator = new QAction(container);
            separator->setSeparator(true);
            container->addAction(separator);
        } else {
            container->addAction(CommandAction(id));
        }
    }
}

QMenu* Menu(const QString& title, const QList<int>& ids, QWidget* parent) {
    auto* menu = new QMenu(title, parent);
    AddCommands(menu, ids);
    return menu;
}

void AddRecentFiles(QMenu* menu) {
    for (int i = 0; i < 4; ++i) menu->addAction(CommandAction(cmd::FileMru1 + i));
}

QMenu* NoDocumentFileMenu(QWidget* parent) {
    auto* menu = Menu("&Fichier", {cmd::FileNew, cmd::FileOpen}, parent);
    menu->addAction(CommandAliasAction(cmd::BrowseFolder, "&Browser...", menu));
    menu->addAction(CommandAction(cmd::FilePrintSetup));
    menu->addSeparator();
    AddRecentFiles(menu);
    menu->addSeparator();
    menu->addAction(CommandAction(cmd::AppExit));
    return menu;
}

QMenu* DocumentFileMenu(QWidget* parent) {
    auto* menu = Menu("&Fichier",
                      {cmd::FileNew, cmd::FileOpen, cmd::FileClose, cmd::FileSave, cmd::FileSaveAs,
                       cmd::SaveAll, cmd::ExportRecipe, kSeparator, cmd::BrowseFolder, kSeparator,
                       cmd::FilePrint, cmd::FilePrintPreview, cmd::FilePrintSetup, kSeparator},
                      parent);
    AddRecentFiles(menu);
    menu->addSeparator();
    menu->addAction(CommandAction(cmd::AppExit));
    return menu;
}

QMenu* ViewMenu(QWidget* parent) {
    return Menu("&Affichage", {cmd::ViewToolbar, cmd::ViewStatusBar, cmd::ViewResults}, parent);
}

QMenu* WindowMenu(QWidget* parent) {
    auto* menu =
        Menu("Fe&nêtre",
             {cmd::WindowNew, cmd::WindowCascade, cmd::WindowTileHorizontal,
              cmd::WindowTileVertical, cmd::WindowArrangeIcons, kSeparator, cmd::WindowSplit},
             parent);
    menu->addMenu(
        Menu("&Découpage",
             {cmd::SplitHorizontal, cmd::SplitVertical, cmd::SplitFour, kSeparator, cmd::SplitNone},
             menu));
    menu->addSeparator();
    menu->addMenu(Menu("Fermer &tout ", {cmd::CloseAllSave, cmd::CloseAllNoSave}, menu));
    return menu;
}

}  // namespace

QList<QMenu*> BuildNoDocumentMenus(QWidget* parent) {
    auto* help = new QMenu("Ai&de", parent);
    help->addAction(CommandAliasAction(cmd::TipOfTheDay, "Conseil du jour...", help));
    help->addSeparator();
    help->addAction(CommandAction(cmd::About));
    return {NoDocumentFileMenu(parent), ViewMenu(parent), help};
}

QList<QMenu*> BuildDocumentMenus(QWidget* parent) {
    auto* processing =
        Menu("&Traitement",
             {cmd::ManualThreshold, cmd::AdaptiveThreshold, kSeparator, cmd::Negative, cmd::Dynamic,
              kSeparator, cmd::Contours, cmd::FilterBrowser, kSeparator},
             parent);
    processing->addMenu(Menu(
        "Morpholo&gie",
        {cmd::StructuringElement, kSeparator, cmd::Dilate, cmd::Erode, cmd::Opening, cmd::Closing},
        processing));
    return {
        DocumentFileMenu(parent),
        Menu("&Edition", {cmd::EditUndo, kSeparator, cmd::EditCut, cmd::EditCopy, cmd::EditPaste},
             parent),
        ViewMenu(parent),
        Menu("&Image",
             {cmd::Roi, kSeparator, cmd::ZoomNormal, cmd::ZoomAuto, cmd::ZoomMinus, cmd::ZoomPlus,
              kSeparator, cmd::FlipHorizontal, cmd::FlipVertical, cmd::Rotation, cmd::Resize,
              kSeparator, cmd::ConvertToGrey, cmd::SampleWindow, kSeparator, cmd::Uniform},
             parent),
        Menu("Pa&lette",
             {cmd::PaletteGrey, kSeparator, cmd::PaletteRainbow, cmd::PaletteHeat,
              cmd::PaletteBinary, cmd::PaletteMetal, kSeparator, cmd::PaletteBar, cmd::PaletteEdit},
             parent),
        processing,
        Menu("Anal&yse", {cmd::Statistics, cmd::Measure, cmd::Histogram, cmd::History}, parent),
        Menu("Pile",
             {cmd::NextPage, cmd::PrevPage, kSeparator, cmd::ExtractPage, cmd::DeletePage,
              kSeparator, cmd::AssembleStack, cmd::Projection},
             parent),
        Menu("&Perspective", {cmd::PerspectiveGradient, cmd::PerspectiveCloud}, parent),
        Menu("&Outils", {cmd::Options}, parent),
        WindowMenu(parent),
        Menu("Ai&de", {cmd::TipOfTheDay, kSeparator, cmd::About}, parent),
    };
}

QMenu* BuildMainContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    auto* file = Menu("Fichier", {cmd::FileNew, cmd::FileOpen}, menu);
    file->addAction(CommandAliasAction(cmd::BrowseFolder, "&Browser...", file));
    for (int id : {cmd::FileClose, cmd::FileSave, cmd::FileSaveAs, cmd::SaveAll})
        file->addAction(CommandAction(id));
    menu->addMenu(file);

    auto* window = Menu("Fenêtre", {cmd::WindowNew, cmd::WindowCascade}, menu);
    window->addAction(CommandAliasAction(cmd::WindowTileHorizontal, "&Mosaïque", window));
    window->addAction(CommandAction(cmd::WindowArrangeIcons));
    auto* closeAll = new QMenu("Fermer tout ", window);
    closeAll->addAction(CommandAliasAction(cmd::CloseAllSave, "Sauvegarde", closeAll));
    closeAll->addAction(CommandAliasAction(cmd::CloseAllNoSave, "Sans sauvegarde", closeAll));
    window->addMenu(closeAll);
    menu->addMenu(window);
    menu->addAction(CommandAction(cmd::AppExit));
    return menu;
}

const QList<int>& MainToolBarIds() {
    static const QList<int> ids = {cmd::FileNew,
                                   cmd::BrowseFolder,
                                   cmd::FileOpen,
                                   cmd::FileSave,
                                   cmd::Unassigned,
                                   kSeparator,
                                   cmd::EditUndo,
                                   cmd::EditCopy,
                                   cmd::EditPaste,
                                   kSeparator,
                                   cmd::FilePrint,
                                   cmd::FilePrintPreview,
                                   kSeparator,
                                   cmd::WindowNew,
                                   cmd::WindowTileHorizontal,
                                   cmd::WindowTileVertical,
                                   cmd::WindowCascade,
                                   kSeparator,
                                   cmd::WindowSplit,
                                   cmd::SplitHorizontal,
                                   cmd::SplitVertical,
                                   cmd::SplitFour,
                                   cmd::SplitNone,
                                   kSeparator,
                                   cmd::CloseAllNoSave,
                                   kSeparator,
                                   cmd::TipOfTheDay,
                                   cmd::About};
    return ids;
}

const QList<int>& ImageToolBarIds() {
    static const QList<int> ids = {cmd::ZoomAuto,        cmd::ZoomPlus,
                                   cmd::ZoomMinus,       cmd::ZoomNormal,
                                   kSeparator,           cmd::Roi,
                                   kSeparator,           cmd::PaletteGrey,
                                   cmd::PaletteRainbow,  kSeparator,
                                   cmd::FlipVertical,    cmd::FlipHorizontal,
                                   kSeparator,           cmd::History,
                                   cmd::Statistics,      kSeparator,
                                   cmd::Histogram,       cmd::ManualThreshold,
                                   kSeparator,           cmd::Negative,
                                   cmd::Dynamic,         cmd::FilterBrowser,
                                   kSeparator,           cmd::Resize,
                                   cmd::Rotation,        cmd::Uniform,
                                   kSeparator,           cmd::PerspectiveGradient,
                                   cmd::PerspectiveCloud};
    return ids;
}

namespace {

QToolBar* ToolBar(const QString& title, const QString& name, const QList<int>& ids,
                  QWidget* parent) {
    auto* bar = new QToolBar(title, parent);
    bar->setObjectName(name);
    bar->setIconSize(QSize(16, 16));
    AddCommands(bar, ids);
    return bar;
}

}  // namespace

QToolBar* BuildMainToolBar(QWidget* parent) {
    return ToolBar("Barre d'outils", "MainToolBar", MainToolBarIds(), parent);
}

QToolBar* BuildImageToolBar(QWidget* parent) {
    return ToolBar("Image", "ImageToolBar", ImageToolBarIds(), parent);
}
