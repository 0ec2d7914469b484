// The document: history, modified flag, open and save with their reports,
// the enabling rule and the steps of its processing commands.

#include <QtTest>

#include "COrvexDoc.h"
#include "COrvexView.h"
#include "CommandIds.h"
#include "tst_unprivileged_support.h"
#include "tst_view_support.h"

namespace {

const QList<int> kDocumentCommands = {
    cmd::Negative,  cmd::FlipHorizontal, cmd::FlipVertical,      cmd::Dynamic,
    cmd::Dilate,    cmd::Erode,          cmd::Opening,           cmd::Closing,
    cmd::History,   cmd::FilterBrowser,  cmd::AdaptiveThreshold, cmd::Contours,
    cmd::Statistics};

QStringList HistoryLines(const COrvexDoc& doc) {
    QString history = doc.GetHistory();
    if (!history.endsWith("\r\n")) return {"<not ended by CR LF>"};
    history.chop(2);
    return history.split("\r\n");
}

}  // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void init() { folder_ = std::make_unique<QTemporaryDir>(); }

    void newDocumentIsEmpty();
    void openRecordsSizeAndClearsModified();
    void openFailuresAreReportedAndLoseNothing();
    void saveWritesAndClearsModified();
    void saveRefusedKeepsModified();
    void saveOverAFileTheUserMayNotWriteIsRefused();
    void saveInAClosedFolderRewritesAWritableFile();
    void commandsNeed256Colours();
    void negativeUndoneTwice();
    void commandsRecordTheirLinesAndRepaint();
    void dilateTwiceUndoesOnlyTheSecond();

private:
    std::unique_ptr<QTemporaryDir> folder_;
};

void TestDocument::newDocumentIsEmpty() {
    COrvexDoc doc;
    QVERIFY(doc.OnNewDocument());
    QCOMPARE(doc.GetHistory(), QString("IMAGE BITMAP - HISTORIQUE\r\n"));
    QVERIFY(!doc.IsModified());
    QVERIFY(!doc.GetImage()->IsValid());
}

void TestDocument::openRecordsSizeAndClearsModified() {
    const QString path = WritePicture(*folder_, "photo.bmp", 640, 480);
    COrvexDoc doc;
    QSignalSpy titles(&doc, &COrvexDoc::titleChanged);
    doc.SetModifiedFlag();
    QVERIFY(doc.OnOpenDocument(path));
    QCOMPARE(doc.GetHistory(), QString("IMAGE BITMAP - HISTORIQUE\r\nImage : 640 x 480\r\n"));
    QVERIFY(!doc.IsModified());
    QCOMPARE(doc.GetPathName(), path);
    QCOMPARE(doc.GetTitle(), QString("photo.bmp"));
    QCOMPARE(titles.count(), 1);
    COrvexView view(&doc);
    QCOMPARE(view.IsCommandEnabled(cmd::EditUndo), std::optional<bool>(false));
}

void TestDocument::openFailuresAreReportedAndLoseNothing() {
    COrvexDoc doc;
    LoadPicture(doc, 8, 8);
    const std::vector<std::uint8_t> before(
        doc.GetImage()->GetHandle()->Data(),
        doc.GetImage()->GetHandle()->Data() + doc.GetImage()->GetHandle()->Size());
    CEngineMessages engine;
    CBoxCatcher catcher;

    QVERIFY(!doc.OnOpenDocument(folder_->filePath("absent.bmp")));
    QFile text(folder_->filePath("notes.bmp"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("just some text, no picture");
    text.close();
    QVERIFY(!doc.OnOpenDocument(text.fileName()));
    QCOMPARE(catcher.boxes.size(), 2);
    QCOMPARE(catcher.boxes[0].title, QString("Orvex"));
    QCOMPARE(catcher.boxes[0].text, QString("Impossible de trouver absent.bmp."));
    QVERIFY(catcher.boxes[1].text.contains("notes.bmp"));

    // A file the engine refuses: the engine says why, the document adds nothing.
    QVERIFY(!doc.OnOpenDocument(QDir(BmpSuiteFolder("b")).filePath("badbitcount.bmp")));
    QCOMPARE(engine.texts, QStringList{"ReadFileBMP : unsupported bit count or compression"});
    QCOMPARE(catcher.boxes.size(), 2);

    QCOMPARE(HistoryLines(doc), QStringList{"IMAGE BITMAP - HISTORIQUE"});
    const CMemBlock* after = doc.GetImage()->GetHandle();
    QVERIFY(std::equal(before.begin(), before.end(), after->Data(), after->Data() + after->Size()));
}

void TestDocument::saveWritesAndClearsModified() {
    COrvexDoc doc;
    LoadPicture(doc, 33, 7);
    doc.SetModifiedFlag();
    QSignalSpy modified(&doc, &COrvexDoc::modifiedChanged);
    const QString path = folder_->filePath("out.bmp");
    QVERIFY(doc.OnSaveDocument(path));
    QVERIFY(!doc.IsModified());
    QCOMPARE(modified.count(), 1);
    COrvexDoc reopened;
    QVERIFY(reopened.OnOpenDocument(path));
    QCOMPARE(reopened.GetImage()->GetSize(), (CSize{33, 7}));
    QCOMPARE(LevelAt(*reopened.GetImage(), 5, 2), 11);

    // A folder that does not exist: reported with the file's name.
    CBoxCatcher catcher;
    doc.SetModifiedFlag();
    QVERIFY(!doc.OnSaveDocument(folder_->filePath("missing/out.bmp")));
    QCOMPARE(catcher.boxes.size(), 1);
    QVERIFY(catcher.boxes[0].text.contains("out.bmp"));
    QVERIFY(doc.IsModified());
}

void TestDocument::saveRefusedKeepsModified() {
    COrvexDoc doc;
    doc.SetModifiedFlag();
    const QString path = folder_->filePath("empty.bmp");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("previous contents");
    old.close();
    CEngineMessages engine;
    CBoxCatcher catcher;
    QVERIFY(!doc.OnSaveDocument(path));
    QCOMPARE(engine.texts, QStringList{"SaveFileBMP : invalid handle"});
    QCOMPARE(catcher.boxes.size(), 1);
    QCOMPARE(catcher.boxes[0].title, QString("Orvex Processing"));
    QCOMPARE(catcher.boxes[0].text,
             QString("Couldn't save Bitmap Image : this file is not a valid one"));
    QCOMPARE(catcher.boxes[0].icon, QMessageBox::Information);
    QVERIFY(doc.IsModified());
    // The file that was there is left as it was.
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("previous contents"));
}

void TestDocument::saveOverAFileTheUserMayNotWriteIsRefused() {
    RUN_AS_NOBODY_WHEN_ROOT();
    const QString path = folder_->filePath("locked.bmp");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("previous contents");
    old.close();
    QVERIFY(old.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    COrvexDoc doc;
    LoadPicture(doc, 12, 5);
    doc.SetModifiedFlag();
    CBoxCatcher catcher;
    QVERIFY(!doc.OnSaveDocument(path));
    QCOMPARE(catcher.boxes.size(), 1);
    QCOMPARE(catcher.boxes[0].text, QString("L'accès à locked.bmp a été refusé."));
    QVERIFY(doc.IsModified());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("previous contents"));
}

void TestDocument::saveInAClosedFolderRewritesAWritableFile() {
    RUN_AS_NOBODY_WHEN_ROOT();
    QDir(folder_->path()).mkdir("closed");
    const QString closed = folder_->filePath("closed");
    const QString path = closed + "/kept.bmp";
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("previous contents");
    old.close();
    const auto openFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QVERIFY(QFile::setPermissions(closed, QFile::ReadOwner | QFile::ExeOwner));
    COrvexDoc doc;
    LoadPicture(doc, 12, 5);
    doc.SetModifiedFlag();
    CBoxCatcher catcher;
    const bool saved = doc.OnSaveDocument(path);
    QFile::setPermissions(closed, openFolder);
    QVERIFY(saved);
    QCOMPARE(catcher.boxes.size(), 0);
    QVERIFY(!doc.IsModified());
    COrvexDoc reopened;
    QVERIFY(reopened.OnOpenDocument(path));
    QCOMPARE(reopened.GetImage()->GetSize(), (CSize{12, 5}));
    QCOMPARE(QDir(closed).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.bmp"});
}

void TestDocument::commandsNeed256Colours() {
    COrvexDoc empty;
    COrvexDoc colour;
    QVERIFY(colour.OnOpenDocument(QDir(BmpSuiteFolder("g")).filePath("rgb24.bmp")));
    COrvexDoc grey;
    LoadPicture(grey, 4, 4);
    for (int id : kDocumentCommands) {
        QCOMPARE(empty.IsCommandEnabled(id), std::optional<bool>(false));
        QCOMPARE(colour.IsCommandEnabled(id), std::optional<bool>(false));
        QCOMPARE(grey.IsCommandEnabled(id), std::optional<bool>(true));
    }
    QCOMPARE(grey.IsCommandEnabled(cmd::StructuringElement), std::nullopt);
    QCOMPARE(grey.IsCommandEnabled(cmd::ZoomPlus), std::nullopt);
    // A disabled command run anyway changes nothing.
    QVERIFY(colour.OnCommand(cmd::Negative));
    QVERIFY(!colour.IsModified());
    QCOMPARE(HistoryLines(colour).size(), 2);
}

void TestDocument::negativeUndoneTwice() {
    COrvexDoc doc;
    LoadPicture(doc, 10, 6);
    COrvexView view(&doc);
    QVERIFY(doc.OnCommand(cmd::Negative));
    QCOMPARE(LevelAt(*doc.GetImage(), 4, 1), 255 - 7);
    QVERIFY(view.OnCommand(cmd::EditUndo));
    QCOMPARE(LevelAt(*doc.GetImage(), 4, 1), 7);
    QCOMPARE(HistoryLines(doc).last(), QString("Inverse"));
    QVERIFY(doc.IsModified());
    // The second undo brings the negative back.
    QCOMPARE(view.IsCommandEnabled(cmd::EditUndo), std::optional<bool>(true));
    QVERIFY(view.OnCommand(cmd::EditUndo));
    QCOMPARE(LevelAt(*doc.GetImage(), 4, 1), 255 - 7);
    QCOMPARE(HistoryLines(doc).size(), 2);
}

void TestDocument::commandsRecordTheirLinesAndRepaint() {
    const QList<QPair<int, QString>> lines = {
        {cmd::Negative, "Inverse"},
        {cmd::FlipHorizontal, "Retournement horizontal"},
        {cmd::FlipVertical, "Retournement vertical"},
        {cmd::Dilate, "Dilatation morphologique"},
        {cmd::Erode, "Erosion morphologique"},
        {cmd::Opening, "Ouverture morphologique"},
        {cmd::Closing, "Fermeture morphologique"},
        {cmd::Contours, "Contours"},
    };
    for (const auto& [id, line] : lines) {
        COrvexDoc doc;
        LoadPicture(doc, 9, 5);
        QSignalSpy repaints(&doc, &COrvexDoc::picturesChanged);
        QVERIFY(doc.OnCommand(id));
        QCOMPARE(HistoryLines(doc).last(), line);
        QCOMPARE(HistoryLines(doc).size(), 2);
        QCOMPARE(repaints.count(), 1);
        QVERIFY(doc.IsModified());
        QVERIFY(doc.GetImage()->HasBackup());
    }
}

void TestDocument::dilateTwiceUndoesOnlyTheSecond() {
    COrvexDoc doc;
    MakePicture(*doc.GetImage(), 9, 9, [](int x, int y) { return x == 4 && y == 4 ? 255 : 0; });
    COrvexView view(&doc);
    doc.OnCommand(cmd::Dilate);
    QCOMPARE(LevelAt(*doc.GetImage(), 3, 3), 255);
    QCOMPARE(LevelAt(*doc.GetImage(), 2, 2), 0);
    doc.OnCommand(cmd::Dilate);
    QCOMPARE(LevelAt(*doc.GetImage(), 2, 2), 255);
    view.OnCommand(cmd::EditUndo);
    QCOMPARE(LevelAt(*doc.GetImage(), 3, 3), 255);
    QCOMPARE(LevelAt(*doc.GetImage(), 2, 2), 0);
}

QTEST_MAIN(TestDocument)
#include "tst_doc.moc"
