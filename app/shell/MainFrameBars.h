#pragma once
// The main window's menus and toolbars, built from the shared command
// actions: menu 128 (no document window), menu 129 (a document window is
// active), the main window's context menu 132, the main toolbar and the
// image toolbar.

#include <QList>

class QMenu;
class QToolBar;
class QWidget;

// The top-level menus of menu 128, in order.
QList<QMenu*> BuildNoDocumentMenus(QWidget* parent);
// The top-level menus of menu 129, in order.
QList<QMenu*> BuildDocumentMenus(QWidget* parent);
// The main window's context menu 132.
QMenu* BuildMainContextMenu(QWidget* parent);

QToolBar* BuildMainToolBar(QWidget* parent);
// Its window title "Image" is its caption when floating.
QToolBar* BuildImageToolBar(QWidget* parent);

// The command ids of each toolbar, 0 for a separator.
const QList<int>& MainToolBarIds();
const QList<int>& ImageToolBarIds();
