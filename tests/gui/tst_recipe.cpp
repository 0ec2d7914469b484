// "Exporter la recette...": a session of commands, exported from the desktop
// program and replayed by orvex-cli on the same original, gives the same file
// and the same history.

#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QTreeWidget>
#include <QtTest>

#include "CDialogAdaptiveThreshold.h"
#include "CDialogDynamic.h"
#include "CDialogFilterBrowser.h"
#include "CDialogHistogram.h"
#include "CDialogPalette.h"
#include "CDialogRotation.h"
#include "COrvexView.h"
#include "CPageResize.h"
#include "CRunOptions.h"
#include "CSheetProcessing.h"
#include "CommandIds.h"
#include "StepsBasic.h"
#include "tst_dialog_support.h"
#include "tst_view_support.h"

namespace {

// Answers the next save dialog with `path`.
void AnswerSaveDialog(const QString& path) {
    Answer<QFileDialog>([path](QFileDialog& dialog) {
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, as "Enregistrer" does
    });
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct SReplay {
    int status;
    QString out, err;
};

SReplay RunCli(const QStringList& args) {
    QProcess process;
    process.start(ORVEX_CLI_PATH, args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void DragRoi(COrvexView& view, QPoint from, QPoint to) {
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view.viewport(), to);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
}

}  // namespace

class TestRecipe : public QObject {
    Q_OBJECT
private slots:
    void sessionExportedAndReplayedGivesTheSameFile();
    void pastedPictureIsExportedWithAWarning();
};

void TestRecipe::sessionExportedAndReplayedGivesTheSameFile() {
    QTemporaryDir folder;
    const QString original = WritePicture(folder, "original.bmp", 120, 90);
    COrvexDoc doc;
    QVERIFY(doc.OnOpenDocument(original));
    COrvexView view(&doc);
    QVERIFY(Shown(view, 400, 300));
    QCOMPARE(doc.IsCommandEnabled(cmd::ExportRecipe), std::optional<bool>(false));

    view.OnCommand(cmd::Roi);
    DragRoi(view, {10, 20}, {50, 60});
    QVERIFY(doc.OnCommand(cmd::Negative));
    QVERIFY(view.OnCommand(cmd::PaletteRainbow));
    QVERIFY(doc.OnCommand(cmd::FlipVertical));
    DragRoi(view, {70, 5}, {30, 80});
    QVERIFY(doc.OnCommand(cmd::Contours));
    Answer<CDialogFilterBrowser>([](CDialogFilterBrowser& dialog) {
        QVERIFY(PickTreeItem(dialog.findChild<QTreeWidget*>(), "Lissage Gaussien 3x3 1"));
        Press(&dialog, "Appliquer");
    });
    QVERIFY(doc.OnCommand(cmd::FilterBrowser));
    view.OnCommand(cmd::Roi);  // off: the whole picture again
    Answer<CDialogDynamic>([](CDialogDynamic& dialog) {
        Press(&dialog, "Puissance X");
        Press(&dialog, "Appliquer");
    });
    QVERIFY(doc.OnCommand(cmd::Dynamic));
    QVERIFY(doc.OnCommand(cmd::Negative));
    QVERIFY(doc.OnCommand(cmd::Dilate));
    QVERIFY(view.OnCommand(cmd::EditUndo));
    QVERIFY(view.OnCommand(cmd::PaletteBar));
    QVERIFY(doc.OnCommand(cmd::Closing));
    QVERIFY(view.OnCommand(cmd::PaletteHeat));
    Answer<CDialogHistogram>([](CDialogHistogram& dialog) { dialog.reject(); });
    QVERIFY(view.OnCommand(cmd::ManualThreshold));  // cancelled: grey again
    Answer<CDialogRotation>([](CDialogRotation& dialog) { dialog.accept(); });
    QVERIFY(view.OnCommand(cmd::Rotation));
    Answer<CSheetProcessing>([](CSheetProcessing& sheet) {
        sheet.Resize()->findChild<QLineEdit*>("Largeur")->setText("70");
        sheet.Resize()->findChild<QLineEdit*>("Hauteur")->setText("50");
        sheet.accept();
    });
    QVERIFY(view.OnCommand(cmd::Resize));
    CRunOptions::Get().perspective = {40, 7, 25, 35, 90, 200};
    QVERIFY(view.OnCommand(cmd::PerspectiveCloud));
    QVERIFY(view.OnCommand(cmd::EditUndo));
    Answer<CDialogPalette>([](CDialogPalette& dialog) { dialog.accept(); });
    QVERIFY(view.OnCommand(cmd::PaletteEdit));
    Answer<CDialogAdaptiveThreshold>([](CDialogAdaptiveThreshold& dialog) {
        TypeInto(dialog.findChild<QLineEdit*>("K"), "0.7");
        Press(&dialog, "Appliquer");
    });
    QVERIFY(doc.OnCommand(cmd::AdaptiveThreshold));
    QVERIFY(view.OnCommand(cmd::EditUndo));
    Answer<CDialogHistogram>([](CDialogHistogram& dialog) { dialog.accept(); });
    QVERIFY(view.OnCommand(cmd::ManualThreshold));
    QCOMPARE(doc.IsCommandEnabled(cmd::ExportRecipe), std::optional<bool>(true));

    const QString recipe = folder.filePath("session.txt");
    AnswerSaveDialog(recipe);
    QVERIFY(doc.OnCommand(cmd::ExportRecipe));
    const QByteArray text = FileBytes(recipe);
    for (const char* line :
         {"--roi 10,20,50,60", "--roi 30,5,70,80", "--roi all", "--threshold-cancel", "--rotate 90",
          "--resize 70,50", "--perspective cloud:40,7,25,35,90,200", "--palette-file session-1.pal",
          "--threshold 128,255", "--filter \"Lissage Gaussien 3x3 1\"", "--dynamic power:2",
          "--adaptive 0.7"})
        QVERIFY2(text.contains(line), text.constData());
    QVERIFY(doc.OnSaveDocument(folder.filePath("by-hand.bmp")));

    const SReplay replay =
        RunCli({original, "--recipe", recipe, "--history", "-o", folder.filePath("replayed.bmp")});
    QVERIFY2(replay.status == 0, qPrintable(replay.err + FileBytes(recipe)));
    QCOMPARE(FileBytes(folder.filePath("replayed.bmp")), FileBytes(folder.filePath("by-hand.bmp")));
    QCOMPARE(replay.out.split('\n', Qt::SkipEmptyParts),
             doc.GetHistory().split("\r\n", Qt::SkipEmptyParts));
}

void TestRecipe::pastedPictureIsExportedWithAWarning() {
    QTemporaryDir folder;
    COrvexDoc doc;
    QVERIFY(doc.OnOpenDocument(WritePicture(folder, "original.bmp", 8, 6)));
    QVERIFY(doc.OnCommand(cmd::Negative));
    CImage clipboard;
    MakePicture(clipboard, 5, 4, [](int x, int y) { return x * y; });
    QVERIFY(StepPaste(doc.Core(), CImage::CopyBlock(clipboard.GetHandle())));

    const QString recipe = folder.filePath("pasted.txt");
    CBoxCatcher boxes;
    AnswerSaveDialog(recipe);
    QVERIFY(doc.OnCommand(cmd::ExportRecipe));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].icon, QMessageBox::Warning);
    QVERIFY(FileBytes(recipe).contains("CANNOT BE REPLAYED"));
    const SReplay replay = RunCli({folder.filePath("original.bmp"), "--recipe", recipe});
    QCOMPARE(replay.status, 2);
    QVERIFY2(replay.err.contains("--paste: a picture pasted from the clipboard cannot be replayed"),
             qPrintable(replay.err));
}

QTEST_MAIN(TestRecipe)
#include "tst_recipe.moc"
