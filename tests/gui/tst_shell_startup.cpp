// The program's start and end: command line, first frame, splash, framework
// texts, exit, engine messages.

#include "CWaitCursor.h"
#include "tst_shell_support.h"

class TestShellStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { shell_.InitTestCase(); }
    void init() { QVERIFY((app_ = shell_.Start())); }
    void cleanup() { shell_.Stop(); }

    void commandLineSwitchesOnlySuppressSplashAndTip();
    void splashHidesOnKeyPressWithoutConsumingIt();
    void exitAsksAboutModifiedDocumentsAndCancelStays();
    void engineMessagesShowInAnOrvexBox();
    void commandStatesAreRightFromTheFirstFrame();
    void frameworkTextsAreFrench();
    void severalFilesFromTheCommandLineGiveOneSummary();

private:
    CShellApp shell_;
    COrvexApp* app_ = nullptr;
};

void TestShellStartup::commandLineSwitchesOnlySuppressSplashAndTip() {
    QVERIFY(ShowSplashForCommandLine({}));
    QVERIFY(ShowSplashForCommandLine({"picture.bmp"}));
    QVERIFY(ShowSplashForCommandLine({"Embedding"}));
    QVERIFY(!ShowSplashForCommandLine({"/Embedding"}));
    QVERIFY(!ShowSplashForCommandLine({"-automation"}));
    QVERIFY(!ShowSplashForCommandLine({"picture.bmp", "/EMBEDDING"}));
    // A file named on the command line opens nothing.
    QVERIFY(app_->DocManager()->Documents().isEmpty());
}

void TestShellStartup::splashHidesOnKeyPressWithoutConsumingIt() {
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

void TestShellStartup::exitAsksAboutModifiedDocumentsAndCancelStays() {
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

void TestShellStartup::engineMessagesShowInAnOrvexBox() {
    InstallGuiMessageSink();
    QString caption, text;
    int buttons = 0;
    Qt::CursorShape pointer = Qt::WaitCursor;
    Answer<QMessageBox>([&](QMessageBox& box) {
        caption = box.windowTitle();
        text = box.text();
        buttons = int(box.buttons().size());
        pointer = QApplication::overrideCursor()->shape();
        box.button(QMessageBox::Ok)->click();
    });
    {
        // A message in the middle of a long command: the box gets the normal
        // pointer, the work that goes on after it the wait cursor again.
        CWaitCursor wait;
        ShowMessage("Rotate : invalid handle");
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(pointer, Qt::ArrowCursor);
    QCOMPARE(caption, QString("Orvex"));
    QCOMPARE(text, QString("Rotate : invalid handle"));
    QCOMPARE(buttons, 1);
    SetMessageSink([](const std::string& message) { qWarning("%s", message.c_str()); });
}

void TestShellStartup::commandStatesAreRightFromTheFirstFrame() {
    // No menu has been opened and nothing asked for a refresh.
    for (int id : {cmd::FileNew, cmd::FileOpen, cmd::BrowseFolder, cmd::About})
        QVERIFY2(CommandAction(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(!CommandAction(cmd::FileSave)->isEnabled());
    // A new document, then a picture in it: the states follow each change.
    COrvexDoc* doc = app_->DocManager()->NewDocument();
    QVERIFY(CommandAction(cmd::FileSave)->isEnabled());
    QVERIFY(!CommandAction(cmd::Negative)->isEnabled());
    doc->GetImage()->CreateEmptyImage(8, 8, 0);
    doc->UpdateAllViews();
    QVERIFY(CommandAction(cmd::Negative)->isEnabled());
}

void TestShellStartup::frameworkTextsAreFrench() {
    InstallFrameworkTranslations();
    QMessageBox box(QMessageBox::Question, "Orvex", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Oui"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Non"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Annuler"));
}

// Two damaged files named on the command line: one box names both, as for a
// folder's files.
void TestShellStartup::severalFilesFromTheCommandLineGiveOneSummary() {
    shell_.Stop();
    QTemporaryDir folder;
    const QStringList files = {folder.filePath("cut.png"), folder.filePath("cut.gif")};
    for (const auto& [path, head] : {std::pair{files[0], QByteArray("\x89PNG\r\n\x1a\n\0\0")},
                                     std::pair{files[1], QByteArray("GIF89a\x05\0")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(head);
    }
    QStringList boxes;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    answer.start(5);
    auto* app = new COrvexApp;
    QVERIFY(app->InitInstance(QStringList{"-Embedding"} + files));
    answer.stop();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].contains("cut.png") && boxes[0].contains("cut.gif"), qPrintable(boxes[0]));
    QVERIFY(app->DocManager()->Documents().isEmpty());
    delete app;
    QVERIFY((app_ = shell_.Start()));
}

QTEST_MAIN(TestShellStartup)
#include "tst_shell_startup.moc"
