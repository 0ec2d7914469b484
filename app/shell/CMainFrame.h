#pragma once
// The program's main window: menus 128 and 129 (switched as document windows
// come and go), the main and image toolbars, the status bar, the MDI area of
// document windows and the routing of every command: the active view, its
// document, the child frame, the main frame, then the application.

#include <QList>
#include <QMainWindow>

#include "CommandTarget.h"

class CChildFrame;
class CDocManager;
class COrvexApp;
class COrvexDoc;
class COrvexView;
class CResultsWindow;
class CStatusBar;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow, public CCommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The last target of the routing; command states follow at once.
    void SetApplication(COrvexApp* app);
    void SetDocManager(CDocManager* manager) { docManager_ = manager; }
    CDocManager* DocManager() const { return docManager_; }

    // Shows a new document window around the frame and activates it.
    QMdiSubWindow* AddChildFrame(CChildFrame* frame);
    CChildFrame* ActiveChildFrame() const;
    COrvexDoc* ActiveDocument() const;
    QList<CChildFrame*> ChildFrames() const;
    QList<CChildFrame*> FramesOf(const COrvexDoc* doc) const;
    QMdiArea* MdiArea() const { return mdiArea_; }
    void Activate(CChildFrame* frame);

    // The targets a command can reach now: the active view, its document,
    // the active child frame, this frame and the application.
    SCommandContext CommandContext() const;
    // Runs a command through the routing, if it is enabled.
    void RouteCommand(int id);
    // Refreshes the enabled and checked state of every command action.
    void UpdateCommandStates();
    // Window titles follow the documents' titles and modified flags.
    void UpdateTitles();

    bool IsDocumentMenuShown() const { return documentMenuShown_; }
    CStatusBar* StatusBar() const { return statusBar_; }
    CResultsWindow* Results() const { return results_; }
    QToolBar* MainToolBar() const { return mainToolBar_; }
    QToolBar* ImageToolBar() const { return imageToolBar_; }
    QMenu* ContextMenu() const { return contextMenu_; }
    // Opens the context menu 132 at a global position.
    void ShowContextMenu(const QPoint& globalPos);

signals:
    // Asked to open files dropped on the window.
    void filesDropped(const QStringList& paths);
    // Asked before closing the program: set accepted to false to stay.
    void closeRequested(bool* accepted);

protected:
    CommandOwner OwnerKind() const override { return CommandOwner::MainFrame; }
    SCommandContext OwnContext() const override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnActiveWindowChanged();
    void ShowMenus(bool documentMenus);
    void AddShortcutsToWindow();
    void RefreshWindowList(QMenu* menu);

    QMdiArea* mdiArea_;
    CStatusBar* statusBar_;
    CResultsWindow* results_;
    QToolBar* mainToolBar_;
    QToolBar* imageToolBar_;
    QList<QMenu*> noDocumentMenus_;
    QList<QMenu*> documentMenus_;
    QMenu* contextMenu_;
    QList<QAction*> windowListActions_;
    COrvexApp* app_ = nullptr;
    CDocManager* docManager_ = nullptr;
    bool documentMenuShown_ = false;
    int openMenus_ = 0;
};
