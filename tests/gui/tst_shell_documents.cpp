// The document manager's windows: new, open, folders, recent files, save
// all, close all, second windows, dropped files, tiling, titles.

#include "tst_shell_support.h"

class TestShellDocuments : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { shell_.InitTestCase(); }
    void init() { QVERIFY((app_ = shell_.Start())); }
    void cleanup() { shell_.Stop(); }

    void newDocumentsAreNumberedAndTitleTheMainWindow();
    void closeAllWithoutSavingAsksNothingAndLosesChanges();
    void closeAllWithSavingStopsWhenCancelled();
    void saveAllAsksForEachModifiedDocument();
    void folderOpensEveryBmpOnceAndActivatesOnSecondBrowse();
    void recentFilesAreKeptInTheSettings();
    void newWindowShowsTheSameDocumentTwice();
    void droppedFilesOpen();
    void tilingSharesTheAreaOneWayOrTheOther();
    void maximisedWindowIsNamedOnceInTheTitle();

private:
    CShellApp shell_;
    COrvexApp* app_ = nullptr;
};

void TestShellDocuments::newDocumentsAreNumberedAndTitleTheMainWindow() {
    CDocManager* docs = app_->DocManager();
    COrvexDoc* first = docs->NewDocument();
    COrvexDoc* second = docs->NewDocument();
    QCOMPARE(first->GetTitle(), QString("Image1"));
    QCOMPARE(second->GetTitle(), QString("Image2"));
    QCOMPARE(app_->MainFrame()->windowTitle(), QString("Orvex - Image2"));
    app_->MainFrame()->Activate(app_->MainFrame()->FramesOf(first).first());
    QCOMPARE(app_->MainFrame()->windowTitle(), QString("Orvex - Image1"));
}

void TestShellDocuments::closeAllWithoutSavingAsksNothingAndLosesChanges() {
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

void TestShellDocuments::closeAllWithSavingStopsWhenCancelled() {
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

void TestShellDocuments::saveAllAsksForEachModifiedDocument() {
    CDocManager* docs = app_->DocManager();
    docs->NewDocument()->SetModifiedFlag(true);
    docs->NewDocument();
    docs->NewDocument()->SetModifiedFlag(true);
    int asked = 0;
    AnswerNextBox(QMessageBox::No, &asked);
    AnswerNextBox(QMessageBox::No, &asked);
    QVERIFY(docs->SaveAllModified());
    QCOMPARE(asked, 2);
    asked = 0;
    AnswerNextBox(QMessageBox::Cancel, &asked);
    QVERIFY(!docs->SaveAllModified());
    QCOMPARE(asked, 1);
}

void TestShellDocuments::folderOpensEveryBmpOnceAndActivatesOnSecondBrowse() {
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
    int told = 0;  // notes.txt is counted, each time
    AnswerNextBox(QMessageBox::Ok, &told);
    docs->OpenFolder(folder.path());
    QCOMPARE(docs->Documents().size(), 3);
    QStringList titles;
    for (COrvexDoc* doc : docs->Documents()) titles << doc->GetTitle();
    titles.sort(Qt::CaseInsensitive);
    QCOMPARE(titles, QStringList({"a.bmp", "b.BMP", "c.Bmp"}));
    QCOMPARE(app_->MainFrame()->MdiArea()->subWindowList().size(), 3);

    AnswerNextBox(QMessageBox::Ok, &told);
    docs->OpenFolder(folder.path());
    QCOMPARE(docs->Documents().size(), 3);
    QCOMPARE(app_->MainFrame()->MdiArea()->subWindowList().size(), 3);
    QCOMPARE(told, 2);
}

void TestShellDocuments::recentFilesAreKeptInTheSettings() {
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
    Answer<QMessageBox>([](QMessageBox& box) { box.close(); });
    app_->MainFrame()->RouteCommand(cmd::FileMru1);
    QCOMPARE(docs->RecentFiles().size(), 3);
    QCOMPARE(docs->RecentFiles().first(), folder.filePath("4.bmp"));
}

void TestShellDocuments::newWindowShowsTheSameDocumentTwice() {
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

void TestShellDocuments::droppedFilesOpen() {
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

void TestShellDocuments::tilingSharesTheAreaOneWayOrTheOther() {
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

void TestShellDocuments::maximisedWindowIsNamedOnceInTheTitle() {
    CMainFrame* frame = app_->MainFrame();
    frame->show();
    app_->DocManager()->NewDocument();
    QCOMPARE(frame->windowTitle(), QString("Orvex - Image1"));
    frame->MdiArea()->currentSubWindow()->showMaximized();
    QTRY_VERIFY(frame->MdiArea()->currentSubWindow()->isMaximized());
    QCOMPARE(frame->windowTitle().count("Image1"), 1);
    frame->MdiArea()->currentSubWindow()->showNormal();
    QCOMPARE(frame->windowTitle(), QString("Orvex - Image1"));
}

QTEST_MAIN(TestShellDocuments)
#include "tst_shell_documents.moc"
