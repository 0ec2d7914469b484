// The processing commands that open a dialog, end to end: the dialog answered
// as the user would, then the picture, the history, the undo copy and the
// modified flag. A picture filtered through the browser equals orvex-cli's.

#include <QProcess>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "CDialogAdaptiveThreshold.h"
#include "CDialogDynamic.h"
#include "CDialogFilterBrowser.h"
#include "CDialogHistory.h"
#include "CDialogStatistics.h"
#include "COrvexDoc.h"
#include "CommandIds.h"
#include "tst_dialog_support.h"
#include "tst_view_support.h"

namespace {

// Runs command `id` of the document; once its dialog of class Dialog is up,
// `answer` plays the user's part.
template <class Dialog>
bool RunAnswering(COrvexDoc& doc, int id, const std::function<void(Dialog&)>& answer,
                  std::source_location step = std::source_location::current()) {
    const QPointer<CModalAnswer> answering = Answer<Dialog>(answer, step);
    doc.OnCommand(id);
    if (answering && !answering->Answered()) answering->Withdraw();
    return !answering || answering->Answered();
}

void PickFilter(CDialogFilterBrowser& dialog, const QString& key) {
    QVERIFY2(PickTreeItem(dialog.findChild<QTreeWidget*>(), key), qPrintable(key));
}

QStringList HistoryLines(const QString& history) {
    QStringList lines = history.split("\r\n");
    lines.removeLast();
    return lines;
}

std::vector<std::uint8_t> Pixels(CImage& image) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            pixels.push_back(static_cast<std::uint8_t>(LevelAt(image, x, y)));
    return pixels;
}

// Half the picture black, half white: mean 127, deviation about 127.5.
void LoadTwoHalves(COrvexDoc& doc) {
    MakePicture(*doc.GetImage(), 8, 4, [](int x, int) { return x < 4 ? 0 : 255; });
}

}  // namespace

class TestDialogCommands : public QObject {
    Q_OBJECT

private slots:
    void browserFilterEqualsCommandLineTool();
    void browserCustomKernel();
    void cancelledDialogsChangeNothing();
    void dynamicAppliesTheChosenCurve();
    void adaptiveThresholdAtMeanPlusKDeviations();
    void invalidThresholdKeepsHistoryAndUndoCopy();
    void engineFailureAfterTheThresholdStillShows();
    void informationDialogsShowTheDocument();
    void commandsNeed256Colours();

private:
    QTemporaryDir folder_;
};

void TestDialogCommands::browserFilterEqualsCommandLineTool() {
    const QString input = WritePicture(folder_, "input.bmp", 37, 23);
    for (const QString key : {"Lissage Gaussien 3x3 1", "Gradient 7x7 Sobel Contraste Nord/Sud",
                              "Laplacien 5x5 Contours"}) {
        COrvexDoc doc;
        QVERIFY(doc.OnOpenDocument(input));
        QVERIFY(RunAnswering<CDialogFilterBrowser>(doc, cmd::FilterBrowser,
                                                   [&](CDialogFilterBrowser& dialog) {
                                                       PickFilter(dialog, key);
                                                       Press(&dialog, "Appliquer");
                                                   }));
        QVERIFY(doc.IsModified());

        const QString output = folder_.filePath("cli.bmp");
        QProcess cli;
        cli.start(ORVEX_CLI_PATH, {input, "--filter", key, "--history", "-o", output});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        const QStringList cliHistory =
            QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        COrvexDoc expected;
        QVERIFY(expected.OnOpenDocument(output));
        QCOMPARE(Pixels(*doc.GetImage()), Pixels(*expected.GetImage()));
        QStringList history = HistoryLines(doc.GetHistory());
        QCOMPARE(history.mid(history.size() - 2), QStringList({"Filtrage linéaire", "Filtrage"}));
        QCOMPARE(history, cliHistory);
    }
}

void TestDialogCommands::browserCustomKernel() {
    COrvexDoc doc;
    LoadPicture(doc, 9, 7);
    const std::vector<std::uint8_t> before = Pixels(*doc.GetImage());
    // The 3 x 3 kernel with a single 1 at the centre leaves the picture as it was.
    QVERIFY(RunAnswering<CDialogFilterBrowser>(
        doc, cmd::FilterBrowser, [&](CDialogFilterBrowser& dialog) {
            PickFilter(dialog, "Personalisé");
            Press(&dialog, "3x3");
            TypeInto(dialog.findChild<QLineEdit*>("cell187"), "1");
            Press(&dialog, "Appliquer");
        }));
    QCOMPARE(Pixels(*doc.GetImage()), before);
    QVERIFY(doc.GetHistory().endsWith("Filtrage linéaire\r\nFiltrage\r\n"));
}

void TestDialogCommands::cancelledDialogsChangeNothing() {
    COrvexDoc doc;
    LoadPicture(doc, 6, 4);
    const std::vector<std::uint8_t> before = Pixels(*doc.GetImage());
    const QString history = doc.GetHistory();
    const auto pressCancel = [](QDialog& dialog) { Press(&dialog, "Annuler"); };
    QVERIFY(RunAnswering<CDialogFilterBrowser>(doc, cmd::FilterBrowser, pressCancel));
    QVERIFY(RunAnswering<CDialogDynamic>(doc, cmd::Dynamic, [](CDialogDynamic& dialog) {
        Press(&dialog, "Inverse");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }));
    QVERIFY(RunAnswering<CDialogAdaptiveThreshold>(
        doc, cmd::AdaptiveThreshold, [](CDialogAdaptiveThreshold& dialog) {
            TypeInto(dialog.findChild<QLineEdit*>("K"), "0.5");
            dialog.close();
        }));
    QVERIFY(!doc.IsModified());
    QCOMPARE(doc.GetHistory(), history);
    QVERIFY(!doc.GetImage()->HasBackup());
    QCOMPARE(Pixels(*doc.GetImage()), before);
}

void TestDialogCommands::dynamicAppliesTheChosenCurve() {
    COrvexDoc doc;
    LoadPicture(doc, 16, 16);
    const std::vector<std::uint8_t> before = Pixels(*doc.GetImage());
    QVERIFY(RunAnswering<CDialogDynamic>(doc, cmd::Dynamic, [](CDialogDynamic& dialog) {
        Press(&dialog, "Inverse");
        Press(&dialog, "Appliquer");
    }));
    const std::vector<std::uint8_t> after = Pixels(*doc.GetImage());
    for (std::size_t i = 0; i < before.size(); ++i) QCOMPARE(int(after[i]), 255 - before[i]);
    QVERIFY(doc.IsModified());
    QVERIFY(doc.GetHistory().endsWith("Dynamique\r\n"));
}

void TestDialogCommands::adaptiveThresholdAtMeanPlusKDeviations() {
    COrvexDoc doc;
    // Levels 0 .. 255 once each: mean 127, deviation about 73.9.
    MakePicture(*doc.GetImage(), 16, 16, [](int x, int y) { return x + 16 * y; });
    QVERIFY(RunAnswering<CDialogAdaptiveThreshold>(
        doc, cmd::AdaptiveThreshold, [](CDialogAdaptiveThreshold& dialog) {
            TypeInto(dialog.findChild<QLineEdit*>("K"), "-1");
            Press(&dialog, "Appliquer");
        }));
    // t = 127 + trunc(-73.9) = 54.
    CImage& image = *doc.GetImage();
    QCOMPARE(LevelAt(image, 5, 3), 0);    // 53
    QCOMPARE(LevelAt(image, 6, 3), 255);  // 54
    QVERIFY(doc.IsModified());
    QVERIFY(doc.GetHistory().endsWith("Seuillage adaptatif\r\n"));
}

void TestDialogCommands::invalidThresholdKeepsHistoryAndUndoCopy() {
    COrvexDoc doc;
    LoadTwoHalves(doc);
    const std::vector<std::uint8_t> before = Pixels(*doc.GetImage());
    SRecordedMessages messages;
    QVERIFY(RunAnswering<CDialogAdaptiveThreshold>(
        doc, cmd::AdaptiveThreshold, [](CDialogAdaptiveThreshold& dialog) {
            TypeInto(dialog.findChild<QLineEdit*>("K"), "2");
            Press(&dialog, "Appliquer");
        }));
    QCOMPARE(messages.texts, std::vector<std::string>{"Invalid threshold"});
    QCOMPARE(Pixels(*doc.GetImage()), before);
    QVERIFY(!doc.IsModified());
    QVERIFY(doc.GetHistory().endsWith("Seuillage adaptatif\r\n"));
    QVERIFY(doc.GetImage()->HasBackup());
    QVERIFY(!QApplication::overrideCursor());
}

void TestDialogCommands::engineFailureAfterTheThresholdStillShows() {
    // The 12-byte header and 3-byte colour entries of the oldest BMP files, as
    // another program may paste them: the threshold is made, the binary
    // palette (4-byte entries only) refused.
    constexpr int kWidth = 8, kHeight = 4, kTable = 12 + 3 * 256;
    HBLOCK block = CMemBlock::Allocate(kTable + kWidth * kHeight);
    std::uint8_t* bytes = block->Data();
    std::fill_n(bytes, block->Size(), 0);
    bytes[0] = 12, bytes[4] = kWidth, bytes[6] = kHeight, bytes[8] = 1, bytes[10] = 8;
    for (int i = 0; i < 256; ++i) std::fill_n(bytes + 12 + 3 * i, 3, i);
    for (int i = 0; i < kWidth * kHeight; ++i) bytes[kTable + i] = std::uint8_t(8 * i);
    COrvexDoc doc;
    doc.GetImage()->SetHandle(std::move(block));
    const std::vector<std::uint8_t> before = Pixels(*doc.GetImage());
    QSignalSpy pictures(&doc, &COrvexDoc::picturesChanged);
    SRecordedMessages messages;
    QVERIFY(RunAnswering<CDialogAdaptiveThreshold>(
        doc, cmd::AdaptiveThreshold, [](CDialogAdaptiveThreshold& dialog) {
            TypeInto(dialog.findChild<QLineEdit*>("K"), "0");
            Press(&dialog, "Appliquer");
        }));
    QCOMPARE(messages.texts, std::vector<std::string>{"PaletteBinary : 256 colors only"});
    QVERIFY(Pixels(*doc.GetImage()) != before);
    QVERIFY(doc.IsModified());
    QVERIFY(pictures.count() > 0);
}

void TestDialogCommands::informationDialogsShowTheDocument() {
    COrvexDoc doc;
    LoadTwoHalves(doc);
    doc.AddHistory("Inverse");
    QString shown;
    QVERIFY(RunAnswering<CDialogStatistics>(doc, cmd::Statistics, [&](CDialogStatistics& dialog) {
        shown = dialog.findChild<QLineEdit*>("Somme")->text();
        Press(&dialog, "Fermer");
    }));
    QCOMPARE(shown, QString("4080"));
    QVERIFY(RunAnswering<CDialogHistory>(doc, cmd::History, [&](CDialogHistory& dialog) {
        shown = dialog.HistoryText();
        Press(&dialog, "OK");
    }));
    QCOMPARE(shown, QString(doc.GetHistory()).remove(u'\r'));
    QVERIFY(!doc.IsModified());
}

void TestDialogCommands::commandsNeed256Colours() {
    COrvexDoc empty;
    for (int id :
         {cmd::Dynamic, cmd::FilterBrowser, cmd::AdaptiveThreshold, cmd::Statistics, cmd::History})
        QCOMPARE(empty.IsCommandEnabled(id).value_or(true), false);
    COrvexDoc doc;
    LoadPicture(doc, 4, 4);
    for (int id :
         {cmd::Dynamic, cmd::FilterBrowser, cmd::AdaptiveThreshold, cmd::Statistics, cmd::History})
        QCOMPARE(doc.IsCommandEnabled(id).value_or(false), true);
}

QTEST_MAIN(TestDialogCommands)
#include "tst_dialogcommands.moc"
