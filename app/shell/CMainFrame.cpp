#include "CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusTipEvent>
#include <QToolBar>

#include "AppIcon.h"
#include "CChildFrame.h"
#include "COrvexApp.h"
#include "COrvexDoc.h"
#include "COrvexView.h"
#include "CResultsWindow.h"
#include "CSplashWindow.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "MainFrameBars.h"
#include "PictureLossText.h"

namespace {
const QString kAppTitle = "Orvex";
}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(kAppTitle);
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    // Wide enough for both toolbars on one row where the screen allows.
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 900);
    resize(qMin(1240, screen.width() * 9 / 10), qMin(860, screen.height() * 9 / 10));

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnActiveWindowChanged);

    SetCommandRouter([this](int id) { RouteCommand(id); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::UpdateCommandStates);

    mainToolBar_ = BuildMainToolBar(this);
    imageToolBar_ = BuildImageToolBar(this);
    addToolBar(Qt::TopToolBarArea, mainToolBar_);
    // Each toolbar on its own row, so no button hides behind an overflow mark.
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, imageToolBar_);
    statusBar_ = new CStatusBar(this);
    setStatusBar(statusBar_);
    results_ = new CResultsWindow(this);
    results_->RestorePlace();
    connect(results_, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateCommandStates);

    noDocumentMenus_ = BuildNoDocumentMenus(this);
    documentMenus_ = BuildDocumentMenus(this);
    contextMenu_ = BuildMainContextMenu(this);
    // The window menu comes last but for the help menu.
    QMenu* windowMenu = documentMenus_.at(documentMenus_.size() - 2);
    connect(windowMenu, &QMenu::aboutToShow, this,
            [this, windowMenu]() { RefreshWindowList(windowMenu); });
    for (QMenu* menu : findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        menu->installEventFilter(this);
    }
    ShowMenus(false);
    AddShortcutsToWindow();
    UpdateCommandStates();

    CSplashWindow::ShowSplashScreen(this);
}

CMainFrame::~CMainFrame() {
    SetCommandRouter(nullptr);
    disconnect(results_, nullptr, this, nullptr);  // it hides as the window goes
}

void CMainFrame::ShowMenus(bool documentMenus) {
    if (documentMenuShown_ == documentMenus && !menuBar()->actions().isEmpty()) return;
    documentMenuShown_ = documentMenus;
    menuBar()->clear();
    for (QMenu* menu : documentMenus ? documentMenus_ : noDocumentMenus_) menuBar()->addMenu(menu);
}

// The accelerators work in every window, whichever menu is shown.
void CMainFrame::AddShortcutsToWindow() {
    for (int id :
         {cmd::FileNew, cmd::FileOpen, cmd::FileSave, cmd::FilePrint, cmd::EditUndo, cmd::EditCopy,
          cmd::EditPaste, cmd::EditCut, cmd::FilterBrowser, cmd::ZoomAuto, cmd::Histogram,
          cmd::ZoomPlus, cmd::ZoomMinus, cmd::ZoomNormal, cmd::NextPane, cmd::PrevPane})
        addAction(CommandAction(id));
}

QMdiSubWindow* CMainFrame::AddChildFrame(CChildFrame* frame) {
    QMdiSubWindow* window = mdiArea_->addSubWindow(frame);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(AppIcon());
    connect(window, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateTitles);
    connect(frame, &CChildFrame::activeViewChanged, this, &CMainFrame::UpdateCommandStates);
    connect(frame, &CChildFrame::pageShown, this, [this] {
        UpdateTitles();
        UpdateCommandStates();
    });
    connect(frame, &CChildFrame::readoutChanged, statusBar_, &CStatusBar::SetReadout);
    connect(frame, &QObject::destroyed, this, &CMainFrame::OnActiveWindowChanged,
            Qt::QueuedConnection);
    // New windows cascade from the top-left corner, as a stack of cards.
    const int place = int(mdiArea_->subWindowList().size() - 1) % 8;
    window->resize(mdiArea_->viewport()->size() * 3 / 4);
    window->move(place * 24, place * 24);
    window->show();
    mdiArea_->setActiveSubWindow(window);
    OnActiveWindowChanged();
    return window;
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
    QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window ? qobject_cast<CChildFrame*>(window->widget()) : nullptr;
}

COrvexDoc* CMainFrame::ActiveDocument() const {
    CChildFrame* frame = ActiveChildFrame();
    return frame ? frame->GetDocument() : nullptr;
}

QList<CChildFrame*> CMainFrame::ChildFrames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (auto* frame = qobject_cast<CChildFrame*>(window->widget())) frames << frame;
    }
    return frames;
}

QList<CChildFrame*> CMainFrame::FramesOf(const COrvexDoc* doc) const {
    QList<CChildFrame*> frames;
    for (CChildFrame* frame : ChildFrames()) {
        if (frame->GetDocument() == doc) frames << frame;
    }
    return frames;
}

void CMainFrame::Activate(CChildFrame* frame) {
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->widget() != frame) continue;
        if (window->isMinimized()) window->showNormal();
        mdiArea_->setActiveSubWindow(window);
    }
}

void CMainFrame::OnActiveWindowChanged() {
    ShowMenus(!mdiArea_->subWindowList().isEmpty());
    // Each document's opening note is said again when its window comes
    // forward, and no other's stays.
    if (COrvexDoc* active = ActiveDocument(); active != noteOf_) {
        noteOf_ = active;
        StatusBar()->SetPrompt(
            active ? active->OpeningNote() : QString());
    }
    UpdateTitles();
    UpdateCommandStates();
}

void CMainFrame::UpdateTitles() {
    QHash<const COrvexDoc*, int> seen;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        auto* frame = qobject_cast<CChildFrame*>(window->widget());
        if (!frame || !frame->GetDocument()) continue;
        const COrvexDoc* doc = frame->GetDocument();
        const int count = FramesOf(doc).size();
        QString title = doc->GetTitle();
        if (count > 1) title += QString(":%1").arg(++seen[doc]);
        window->setWindowTitle(frame->TitleWithPage(title) + "[*]");
        window->setWindowModified(doc->IsModified());
    }
    // A maximised document window adds " - [its title]" to this title itself.
    const COrvexDoc* active = ActiveDocument();
    const QMdiSubWindow* current = mdiArea_->currentSubWindow();
    const bool maximized = current && current->isMaximized();
    setWindowTitle(active && !maximized ? kAppTitle + " - " + active->GetTitle() : kAppTitle);
}

void CMainFrame::SetApplication(COrvexApp* app) {
    app_ = app;
    UpdateCommandStates();
}

SCommandContext CMainFrame::CommandContext() const {
    SCommandContext context;
    if (CChildFrame* child = ActiveChildFrame()) {
        COrvexView* view = child->GetActiveView();
        // The commands work on the page the active view shows.
        if (view) view->MakePageCurrent();
        context.Set(CommandOwner::ChildFrame, child);
        context.Set(CommandOwner::View, view);
        context.Set(CommandOwner::Document, view ? view->GetDocument() : child->GetDocument());
    }
    context.Set(CommandOwner::MainFrame, const_cast<CMainFrame*>(this));
    context.Set(CommandOwner::Application, app_);
    return context;
}

SCommandContext CMainFrame::OwnContext() const {
    SCommandContext context;
    context.Set(CommandOwner::MainFrame, const_cast<CMainFrame*>(this));
    return context;
}

void CMainFrame::RouteCommand(int id) {
    RunCommandIn(id, CommandContext());
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() { RefreshCommandActions(CommandContext()); }

void CMainFrame::RefreshWindowList(QMenu* menu) {
    qDeleteAll(windowListActions_);
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (windows.isEmpty()) return;
    windowListActions_ << menu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QString title = window->windowTitle().remove("[*]");
        auto* action = menu->addAction(QString("&%1 %2").arg(i + 1).arg(title.replace("&", "&&")));
        // Only the active window carries a mark; the others show no empty box.
        if (window == mdiArea_->currentSubWindow()) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        connect(action, &QAction::triggered, this,
                [this, window]() { mdiArea_->setActiveSubWindow(window); });
        windowListActions_ << action;
    }
}

void CMainFrame::ShowContextMenu(const QPoint& globalPos) {
    UpdateCommandStates();
    contextMenu_->popup(globalPos);
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusBar_->SetPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    bool accepted = true;
    emit closeRequested(&accepted);
    if (accepted)
        event->accept();
    else
        event->ignore();
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint position = event->reason() == QContextMenuEvent::Keyboard
                                ? centralWidget()->mapToGlobal(QPoint(5, 5))
                                : event->globalPos();
    ShowContextMenu(position);
    event->accept();
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        ShowContextMenu(centralWidget()->mapToGlobal(QPoint(5, 5)));
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    activateWindow();
    emit filesDropped(paths);
}

// While any menu is open the message pane covers the whole status bar.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (qobject_cast<QMenu*>(watched)) {
        if (event->type() == QEvent::Show) {
            ++openMenus_;
            statusBar_->SetMenuOpen(true);
        } else if (event->type() == QEvent::Hide && openMenus_ > 0) {
            if (--openMenus_ == 0) statusBar_->SetMenuOpen(false);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
