// The desktop program's shell: menus, command routing and enabling, the
// document manager's windows, close all, recent files and the settings.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "AppSettings.h"
#include "CChildFrame.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexApp.h"
#include "COrvexDoc.h"
#include "CSplashWindow.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "MainFrameBars.h"
#include "Message.h"

namespace {

QStringList MenuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* action : bar->actions()) titles << action->text();
    return titles;
}

// Writes a small 8-bit grey BMP file.
void WriteGreyBmp(const QString& path, int width, int height) {
    const int stride = (width + 3) / 4 * 4;
    const quint32 offset = 14 + 40 + 256 * 4;
    const quint32 size = offset + stride * height;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << size << quint32(0) << offset;
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(8) << quint32(0)
        << quint32(stride * height) << qint32(2835) << qint32(2835) << quint32(256) << quint32(0);
    for (int i = 0; i < 256; ++i) out << quint8(i) << quint8(i) << quint8(i) << quint8(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x) out << quint8((x * 16 + y) & 0xFF);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Answers the next message box with the given button, counting the questions.
void AnswerNextBox(QMessageBox::StandardButton button, int* asked) {
    QTimer::singleShot(0, [button, asked]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        ++*asked;
        box->button(button)->click();
    });
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commandLineSwitchesOnlySuppressSplashAndTip();
    void menuBarSwitchesBetweenNoDocumentAndDocumentMenus();
    void commandsWithoutHandlerAreDisabled();
    void contextMenuCloseAllItemsFollowTheActiveWindow();
    void toolbarsHoldTheirButtonsInOrder();
    void newDocumentsAreNumberedAndTitleTheMainWindow();
    void closeAllWithoutSavingAsksNothingAndLosesChanges();
    void closeAllWithSavingStopsWhenCancelled();
    void saveAllAsksForEachModifiedDocument();
    void folderOpensEveryBmpOnceAndActivatesOnSecondBrowse();
    void recentFilesAreKeptInTheSettings();
    void newWindowShowsTheSameDocumentTwice();
    void splashHidesOnKeyPressWithoutConsumingIt();
    void exitAsksAboutModifiedDocumentsAndCancelStays();
    void droppedFilesOpen();
    void acceleratorsReachTheirCommands();
    void tilingSharesTheAreaOneWayOrTheOther();
    void engineMessagesShowInAnOrvexBox();

private:
    QTemporaryDir configDir_;
    COrvexApp* app_ = nullptr;
};

void TestShell::initTestCase() {
    ConfigureSettings();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir_.path());
    // The tips file is looked for in the current folder; none here.
    QDir::setCurrent(configDir_.path());
}

void TestShell::init() {
    QSettings().clear();
    QSettings().setValue("Tip/StartUp", 1);
    app_ = new COrvexApp;
    QVERIFY(app_->InitInstance({"-Embedding"}));
}

void TestShell::cleanup() {
    app_->DocManager()->CloseAll(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    delete app_;
    app_ = nullptr;
}

void TestShell::commandLineSwitchesOnlySuppressSplashAndTip() {
    QVERIFY(ShowSplashForCommandLine({}));
    QVERIFY(ShowSplashForCommandLine({"picture.bmp"}));
    QVERIFY(ShowSplashForCommandLine({"Embedding"}));
    QVERIFY(!ShowSplashForCommandLine({"/Embedding"}));
    QVERIFY(!ShowSplashForCommandLine({"-automation"}));
    QVERIFY(!ShowSplashForCommandLine({"picture.bmp", "/EMBEDDING"}));
    // A file named on the command line opens nothing.
    QVERIFY(app_->DocManager()->Documents().isEmpty());
}

void TestShell::menuBarSwitchesBetweenNoDocumentAndDocumentMenus() {
    CMainFrame* frame = app_->MainFrame();
    QCOMPARE(MenuTitles(frame->menuBar()), QStringList({"&Fichier", "&Affichage", "Ai&de"}));
    COrvexDoc* doc = app_->DocManager()->NewDocument();
    QVERIFY(doc);
    QCOMPARE(MenuTitles(frame->menuBar()),
             QStringList({"&Fichier", "&Edition", "&Affichage", "&Image", "Pa&lette", "&Traitement",
                          "Anal&yse", "&Perspective", "&Outils", "Fe&nêtre", "Ai&de"}));
    app_->DocManager()->CloseAll(false);
    QTRY_COMPARE(MenuTitles(frame->menuBar()).size(), 3);
}

void TestShell::commandsWithoutHandlerAreDisabled() {
    CMainFrame* frame = app_->MainFrame();
    frame->UpdateCommandStates();
    QVERIFY(!CommandAction(cmd::Unassigned)->isEnabled());
    QVERIFY(!CommandAction(cmd::SaveAll)->isEnabled());
    QVERIFY(CommandAction(cmd::Options)->isEnabled());  // always, with or without a picture
    QVERIFY(CommandAction(cmd::FileNew)->isEnabled());
    app_->DocManager()->NewDocument();
    QVERIFY(!CommandAction(cmd::EditCut)->isEnabled());
    QVERIFY(!CommandAction(cmd::StructuringElement)->isEnabled());
    QVERIFY(CommandAction(cmd::SaveAll)->isEnabled());
    QVERIFY(CommandAction(cmd::CloseAllNoSave)->isEnabled());
    CommandAction(cmd::FileNew)->trigger();
    QCOMPARE(app_->DocManager()->Documents().size(), 2);
    // A disabled command does nothing even when asked for directly.
    const int documents = app_->DocManager()->Documents().size();
    frame->RouteCommand(cmd::EditCut);
    QCOMPARE(app_->DocManager()->Documents().size(), documents);
}

void TestShell::contextMenuCloseAllItemsFollowTheActiveWindow() {
    CMainFrame* frame = app_->MainFrame();
    QMenu* closeAll = nullptr;
    for (QMenu* menu : frame->ContextMenu()->findChildren<QMenu*>()) {
        if (menu->title() == "Fermer tout ") closeAll = menu;
    }
    QVERIFY(closeAll);
    QCOMPARE(closeAll->actions().size(), 2);
    frame->UpdateCommandStates();
    for (QAction* item : closeAll->actions()) QVERIFY(!item->isEnabled());
    app_->DocManager()->NewDocument();
    for (QAction* item : closeAll->actions()) QVERIFY(item->isEnabled());
    QCOMPARE(closeAll->actions()[0]->text(), QString("Sauvegarde"));
}

void TestShell::toolbarsHoldTheirButtonsInOrder() {
    CMainFrame* frame = app_->MainFrame();
    QCOMPARE(frame->ImageToolBar()->windowTitle(), QString("Image"));
    QList<int> shown;
    for (QAction* action : frame->ImageToolBar()->actions())
        shown << (action->isSeparator() ? 0 : action->data().toInt());
    QCOMPARE(shown, ImageToolBarIds());
    for (int id : MainToolBarIds() + ImageToolBarIds()) {
        if (id == 0) continue;
        QVERIFY2(!CommandAction(id)->icon().isNull(), qPrintable(QString::number(id)));
    }
    QCOMPARE(CommandAction(cmd::Negative)->toolTip(), QString("Inverse"));
    QCOMPARE(CommandAction(cmd::Negative)->statusTip(), QString("Inverse la dynamique de l'image"));
    // "&Barre d'outils" hides the main toolbar only.
    frame->show();
    frame->RouteCommand(cmd::ViewToolbar);
    QVERIFY(frame->MainToolBar()->isHidden());
    QVERIFY(!frame->ImageToolBar()->isHidden());
    QVERIFY(!CommandAction(cmd::ViewToolbar)->isChecked());
}

void TestShell::newDocumentsAreNumberedAndTitleTheMainWindow() {
    CDocManager* docs = app_->DocManager();
    COrvexDoc* first = docs->NewDocument();
    COrvexDoc* second = docs->NewDocument();
    QCOMPARE(first->GetTitle(), QString("Image1"));
    QCOMPARE(second->GetTitle(), QString("Image2"));
    QCOMPARE(app_->MainFrame()->windowTitle(), QString("Orvex - Image2"));
    app_->MainFrame()->Activate(app_->MainFrame()->FramesOf(first).first());
    QCOMPARE(app_->MainFrame()->windowTitle(), QString("Orvex - Image1"));
}

void TestShell::closeAllWithoutSavingAsksNothingAndLosesChanges() {
    CDocManager* docs = app_->DocManager();
    for (int i = 0; i < 3; ++i) docs->NewDocument()->SetModifiedFlag(true);
    bool questionAsked = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&]() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            questionAsked = true;
            modal->close();
        }
    });
    watcher.start(5);
    app_->MainFrame()->RouteCommand(cmd::CloseAllNoSave);
    QTRY_VERIFY(docs->Documents().isEmpty());
    QVERIFY(app_->MainFrame()->MdiArea()->subWindowList().isEmpty());
    QVERIFY(!questionAsked);
}

void TestShell::closeAllWithSavingStopsWhenCancelled() {
    CDocManager* docs = app_->DocManager();
    docs->NewDocument()->SetModifiedFlag(true);
    docs->NewDocument()->SetModifiedFlag(true);
    int asked = 0;
    AnswerNextBox(QMessageBox::Cancel, &asked);
    app_->MainFrame()->RouteCommand(cmd::CloseAllSave);
    QCOMPARE(asked, 1);
    QCoreApplication::processEvents();
    QCOMPARE(app_->MainFrame()->MdiArea()->subWindowList().size(), 2);
    QCOMPARE(docs->Documents().size(), 2);
}

void TestShell::saveAllAsksForEachModifiedDocument() {
    CDocManager* docs = app_->DocManager();
    docs->NewDocument()->SetModifiedFlag(true);
    docs->NewDocument();
    docs->NewDocument()->SetModifiedFlag(true);
    int asked = 0;
    AnswerNextBox(QMessageBox::No, &asked);
    QTimer::singleShot(50, [&]() { AnswerNextBox(QMessageBox::No, &asked); });
    QVERIFY(docs->SaveAllModified());
    QCOMPARE(asked, 2);
    asked = 0;
    AnswerNextBox(QMessageBox::Cancel, &asked);
    QVERIFY(!docs->SaveAllModified());
    QCOMPARE(asked, 1);
}

void TestShell::folderOpensEveryBmpOnceAndActivatesOnSecondBrowse() {
    QTemporaryDir folder;
    WriteGreyBmp(folder.filePath("a.bmp"), 8, 4);
    WriteGreyBmp(folder.filePath("b.BMP"), 5, 3);
    WriteGreyBmp(folder.filePath("c.Bmp"), 3, 3);
    QFile text(folder.filePath("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    QDir(folder.path()).mkdir("sub");
    WriteGreyBmp(folder.filePath("sub/d.bmp"), 3, 3);

    CDocManager* docs = app_->DocManager();
    docs->OpenFolder(folder.path());
    QCOMPARE(docs->Documents().size(), 3);
    QStringList titles;
    for (COrvexDoc* doc : docs->Documents()) titles << doc->GetTitle();
    titles.sort(Qt::CaseInsensitive);
    QCOMPARE(titles, QStringList({"a.bmp", "b.BMP", "c.Bmp"}));
    QCOMPARE(app_->MainFrame()->MdiArea()->subWindowList().size(), 3);

    docs->OpenFolder(folder.path());
    QCOMPARE(docs->Documents().size(), 3);
    QCOMPARE(app_->MainFrame()->MdiArea()->subWindowList().size(), 3);
}

void TestShell::recentFilesAreKeptInTheSettings() {
    QTemporaryDir folder;
    CDocManager* docs = app_->DocManager();
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"}) {
        WriteGreyBmp(folder.filePath(name), 4, 4);
        QVERIFY(docs->OpenDocument(folder.filePath(name)));
    }
    QSettings settings;
    QCOMPARE(settings.value("Recent File List/File1").toString(), folder.filePath("5.bmp"));
    QCOMPARE(settings.value("Recent File List/File4").toString(), folder.filePath("2.bmp"));
    QVERIFY(!settings.contains("Recent File List/File5"));
    QCOMPARE(CommandAction(cmd::FileMru1)->text(),
             "&1 " + QDir::toNativeSeparators(folder.filePath("5.bmp")));

    // An entry whose file has gone leaves the list when chosen.
    docs->CloseAll(false);
    QTRY_VERIFY(docs->Documents().isEmpty());
    QFile::remove(folder.filePath("5.bmp"));
    QTimer::singleShot(0, []() {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    app_->MainFrame()->RouteCommand(cmd::FileMru1);
    QCOMPARE(docs->RecentFiles().size(), 3);
    QCOMPARE(docs->RecentFiles().first(), folder.filePath("4.bmp"));
}

void TestShell::newWindowShowsTheSameDocumentTwice() {
    CDocManager* docs = app_->DocManager();
    COrvexDoc* doc = docs->NewDocument();
    doc->SetModifiedFlag(true);
    app_->MainFrame()->RouteCommand(cmd::WindowNew);
    QCOMPARE(app_->MainFrame()->FramesOf(doc).size(), 2);
    QCOMPARE(docs->Documents().size(), 1);
    QStringList titles;
    for (QMdiSubWindow* window : app_->MainFrame()->MdiArea()->subWindowList())
        titles << window->windowTitle();
    QCOMPARE(titles, QStringList({"Image1:1[*]", "Image1:2[*]"}));
    // Closing one of two windows asks nothing and keeps the document.
    app_->MainFrame()->MdiArea()->subWindowList().first()->close();
    QCoreApplication::processEvents();
    QCOMPARE(docs->Documents().size(), 1);
}

void TestShell::splashHidesOnKeyPressWithoutConsumingIt() {
    CSplashWindow::EnableSplashScreen(true);
    QLineEdit target;
    target.show();
    CSplashWindow::ShowSplashScreen(&target);
    QVERIFY(CSplashWindow::Current());
    QCOMPARE(CSplashWindow::Current()->size(), QSize(576, 390));
    CSplashWindow::ShowSplashScreen(&target);  // at most one
    QCOMPARE(target.findChildren<CSplashWindow*>().size(), 1);
    QTest::keyClick(&target, Qt::Key_X);
    QVERIFY(!CSplashWindow::Current());
    QCOMPARE(target.text(), QString("x"));
    CSplashWindow::EnableSplashScreen(false);
}

void TestShell::exitAsksAboutModifiedDocumentsAndCancelStays() {
    CDocManager* docs = app_->DocManager();
    docs->NewDocument()->SetModifiedFlag(true);
    docs->NewDocument();
    CMainFrame* frame = app_->MainFrame();
    frame->show();
    int asked = 0;
    AnswerNextBox(QMessageBox::Cancel, &asked);
    frame->RouteCommand(cmd::AppExit);
    QCOMPARE(asked, 1);
    QVERIFY(frame->isVisible());
    QCOMPARE(docs->Documents().size(), 2);

    AnswerNextBox(QMessageBox::No, &asked);
    frame->RouteCommand(cmd::AppExit);
    QCOMPARE(asked, 2);
    QVERIFY(!frame->isVisible());
    QTRY_VERIFY(docs->Documents().isEmpty());
}

void TestShell::droppedFilesOpen() {
    QTemporaryDir folder;
    WriteGreyBmp(folder.filePath("dropped.bmp"), 6, 6);
    CMainFrame* frame = app_->MainFrame();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder.filePath("dropped.bmp"))});
    frame->show();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QSignalSpy dropped(frame, &CMainFrame::filesDropped);
    QApplication::sendEvent(frame, &drop);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(app_->DocManager()->Documents().size(), 1);
    QCOMPARE(app_->DocManager()->Documents().first()->GetTitle(), QString("dropped.bmp"));
}

void TestShell::acceleratorsReachTheirCommands() {
    CMainFrame* frame = app_->MainFrame();
    frame->show();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    app_->DocManager()->NewDocument();
    frame->UpdateCommandStates();
    const QList<std::pair<int, QKeyCombination>> keys = {
        {cmd::ZoomPlus, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus},
        {cmd::ZoomMinus, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus},
        {cmd::ZoomNormal, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_1},
        {cmd::EditUndo, Qt::AltModifier | Qt::Key_Backspace},
        {cmd::EditCopy, Qt::ControlModifier | Qt::Key_Insert},
        {cmd::ZoomAuto, Qt::ControlModifier | Qt::Key_F}};
    for (const auto& [id, key] : keys) {
        QAction* action = CommandAction(id);
        action->setEnabled(true);
        QSignalSpy spy(action, &QAction::triggered);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : frame,
                        key.key(), key.keyboardModifiers());
        QVERIFY2(spy.count() == 1, qPrintable(QString::number(id)));
    }
}

void TestShell::tilingSharesTheAreaOneWayOrTheOther() {
    CMainFrame* frame = app_->MainFrame();
    frame->show();
    app_->DocManager()->NewDocument();
    app_->DocManager()->NewDocument();
    app_->DocManager()->NewDocument();
    const QList<QMdiSubWindow*> windows = frame->MdiArea()->subWindowList();
    windows.last()->showMinimized();
    const QSize area = frame->MdiArea()->viewport()->size();

    frame->RouteCommand(cmd::WindowTileHorizontal);
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    QCOMPARE(windows[1]->geometry().top(), area.height() / 2);
    QCOMPARE(windows[1]->geometry().bottom(), area.height() - 1);

    frame->RouteCommand(cmd::WindowTileVertical);
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    QCOMPARE(windows[1]->geometry().right(), area.width() - 1);

    // The minimised window keeps out of the tiling and lines up at the bottom.
    QVERIFY(windows.last()->isMinimized());
    frame->RouteCommand(cmd::WindowArrangeIcons);
    QCOMPARE(windows.last()->geometry().bottom(), area.height() - 1);
    QCOMPARE(windows.last()->geometry().left(), 0);
}

void TestShell::engineMessagesShowInAnOrvexBox() {
    InstallGuiMessageSink();
    QString caption, text;
    int buttons = 0;
    QTimer::singleShot(0, [&]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        caption = box->windowTitle();
        text = box->text();
        buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    ShowMessage("Rotate : invalid handle");
    QCOMPARE(caption, QString("Orvex"));
    QCOMPARE(text, QString("Rotate : invalid handle"));
    QCOMPARE(buttons, 1);
    SetMessageSink([](const std::string& message) { qWarning("%s", message.c_str()); });
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
