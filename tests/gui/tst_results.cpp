// "&Mesurer" and the "Résultats" window under a French locale: the copied
// text carries the locale's decimal comma, the saved table is the very file
// orvex-cli writes when it replays the session's exported recipe, and
// quitting with rows not saved asks first.

#include <QClipboard>
#include <QFileDialog>
#include <QProcess>
#include <QTableWidget>
#include <clocale>

#include "CDialogHistogram.h"
#include "CResultsWindow.h"
#include "tst_shell_support.h"

namespace {

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray RunCli(const QStringList& args) {
    QProcess process;
    process.start(ORVEX_CLI_PATH, args);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

}  // namespace

class TestResults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Found from this file's place before the shell moves the current folder.
        deepFile_ = QDir(QFileInfo(QStringLiteral(__FILE__)).absolutePath())
                        .absoluteFilePath("../data/formats/tiff-grey16.tif");
        shell_.InitTestCase();
        std::setlocale(LC_ALL, "fr_FR.UTF-8");  // where installed: printf would write commas
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }
    void init() { QVERIFY((app_ = shell_.Start())); }
    void cleanup() {
        app_->MainFrame()->Results()->Clear();  // no question about unsaved rows
        shell_.Stop();
    }

    void measuredTwiceCopiedSavedAndReplayed();
    void histogramCopiesItsCounts();
    void deepFileShowsEveryColumn();

private:
    CShellApp shell_;
    COrvexApp* app_ = nullptr;
    QString deepFile_;
};

void TestResults::measuredTwiceCopiedSavedAndReplayed() {
    QTemporaryDir folder;
    const QString picture = folder.filePath("grey, 1.bmp");
    WriteGreyBmp(picture, 13, 7);
    QVERIFY(app_->DocManager()->OpenDocument(picture));
    CMainFrame* frame = app_->MainFrame();
    CResultsWindow* results = frame->Results();
    QVERIFY(results->isHidden());
    frame->RouteCommand(cmd::Measure);
    frame->RouteCommand(cmd::Negative);
    frame->RouteCommand(cmd::Measure);
    QVERIFY(results->isVisible());

    // What orvex-cli prints for the same steps, with the reals written the French way.
    const QStringList steps = {"--measure", "--negative", "--measure"};
    QStringList lines =
        QString::fromUtf8(RunCli(QStringList{picture} + steps +
                                 QStringList{"--table", "-", "--table-format", "tsv"}))
            .split('\n');
    const QStringList columns = lines[0].split('\t');
    for (QString& line : lines) {
        QStringList fields = line.split('\t');
        for (const char* real : {"sd", "value_min", "value_max", "value_mean", "value_sd"})
            if (const int at = columns.indexOf(real); at < fields.size())
                fields[at].replace('.', ',');
        line = fields.join('\t');
    }
    results->Copy();
    QCOMPARE(QApplication::clipboard()->text(), lines.join('\n'));
    QVERIFY(lines.join('\n').contains(','));

    int asked = 0;
    AnswerNextBox(QMessageBox::Cancel, &asked);
    QVERIFY(!frame->close());
    QCOMPARE(asked, 1);

    Answer<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(folder.filePath("recipe.txt"));
        static_cast<QDialog&>(dialog).accept();
    });
    frame->RouteCommand(cmd::ExportRecipe);
    QVERIFY(results->SaveTo(folder.filePath("desktop.csv")));
    RunCli({picture, "--recipe", folder.filePath("recipe.txt"), "--table",
            folder.filePath("cli.csv")});
    QCOMPARE(FileBytes(folder.filePath("desktop.csv")), FileBytes(folder.filePath("cli.csv")));
    QVERIFY(!results->HasUnsavedRows());
}

void TestResults::histogramCopiesItsCounts() {
    CImage image;
    QVERIFY(image.CreateEmptyImage(5, 3, 9));
    QVERIFY(image.GenerateHistogram());
    CDialogHistogram dialog(image, CDialogHistogram::Mode::Display);
    dialog.Copy();
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    QCOMPARE(lines.size(), 258);  // header, 256 levels, the final line end
    QCOMPARE(lines[0], QString("level\tcount"));
    QCOMPARE(lines[1 + 9], QString("9\t15"));
    QCOMPARE(lines[1 + 10], QString("10\t0"));
}

// A 16-bit file's row in a 1280 x 800 main window, at first opening: every
// column in sight, its reals with six digits, the exact one as a tooltip.
void TestResults::deepFileShowsEveryColumn() {
    CMainFrame* frame = app_->MainFrame();
    frame->resize(1280, 800);
    QVERIFY(app_->DocManager()->OpenDocument(deepFile_));
    frame->RouteCommand(cmd::Measure);
    CResultsWindow* results = frame->Results();
    QTRY_VERIFY(results->isVisible());
    auto* table = results->findChild<QTableWidget*>();
    QVERIFY(table != nullptr);
    const auto columnsWidth = [table] {
        int width = 0;
        for (int c = 0; c < table->columnCount(); ++c)
            if (!table->isColumnHidden(c)) width += table->columnWidth(c);
        return width;
    };
    QTRY_VERIFY2(
        columnsWidth() <= table->viewport()->width(),
        qPrintable(QString("%1 > %2").arg(columnsWidth()).arg(table->viewport()->width())));

    const QStringList copied = results->CopyText().split('\n');
    const QStringList names = copied[0].split('\t'), exact = copied[1].split('\t');
    const int mean = names.indexOf("value_mean");
    QTableWidgetItem* cell = table->item(0, mean);
    QCOMPARE(cell->toolTip(), exact[mean]);
    QVERIFY(cell->text().size() < exact[mean].size());
    QCOMPARE(QLocale().toDouble(cell->text()),
             QLocale().toDouble(QLocale().toString(QLocale().toDouble(exact[mean]), 'g', 6)));
}

QTEST_MAIN(TestResults)
#include "tst_results.moc"
