// The view's dialog commands end to end: the manual threshold with its live
// preview and its cancel path, the histogram, rotation, resize, the uniform
// picture, the perspective renderings with the run's options, the palette
// editor, and the preview on the printer chosen in setup. Each dialog is answered from inside its
// own modal loop.

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <functional>

#include "CDialogHistogram.h"
#include "CDialogPalette.h"
#include "CDialogRotation.h"
#include "COrvexApp.h"
#include "COrvexView.h"
#include "CPageResize.h"
#include "CPageUniform.h"
#include "CRunOptions.h"
#include "CSheetOptions.h"
#include "CSheetProcessing.h"
#include "CommandIds.h"
#include "PrintPicture.h"
#include "StepsFilter.h"
#include "tst_view_support.h"

namespace {

QStringList HistoryLines(const COrvexDoc& doc) {
    return doc.GetHistory().split("\r\n", Qt::SkipEmptyParts);
}

void ClickHistogram(CDialogHistogram& dialog, int x) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(x, 50), dialog.mapToGlobal(QPointF(x, 50)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &event);
    }
}

QLineEdit* Field(QWidget& parent, const char* name) { return parent.findChild<QLineEdit*>(name); }

const CPaletteTable::Entry kRed{255, 0, 0};

}  // namespace

class TestViewCommands : public QObject {
    Q_OBJECT
private slots:
    void manualThresholdPreviewsThenThresholds();
    void manualThresholdCancelRestoresGrey();
    void histogramChangesNothing();
    void rotationQuarterTurn();
    void resizeUsesItsOwnPageOnly();
    void resizeToTheSameSizeStillRecords();
    void uniformMakesAnEmptyDocumentAPicture();
    void perspectiveUsesTheRunOptions();
    void optionsKeptForTheRun();
    void paletteEditorInstallsItsTable();
    void paletteEditorOnlyOn256ColourPictures_data();
    void paletteEditorOnlyOn256ColourPictures();
    void previewUsesTheSetUpPrinter();
};

void TestViewCommands::manualThresholdPreviewsThenThresholds() {
    COrvexDoc doc;
    MakePicture(*doc.GetImage(), 256, 4, [](int x, int) { return x; });
    doc.GetImage()->PaletteRainbow();
    const CPaletteTable rainbow = *doc.GetImage()->GetPalette();
    COrvexView view(&doc), second(&doc);
    QSignalSpy colours(&doc, &COrvexDoc::coloursChanged);
    QSignalSpy pictures(&doc, &COrvexDoc::picturesChanged);
    Answer<CDialogHistogram>([&](CDialogHistogram& dialog) {
        // Opening previews 128 .. 254 in red: the upper bound is exclusive.
        const CPaletteTable& table = *doc.GetImage()->GetPalette();
        QCOMPARE(table.entries[128], kRed);
        QCOMPARE(table.entries[254], kRed);
        QVERIFY(table.entries[255] != kRed);
        QVERIFY(table.entries[127] != kRed);
        ClickHistogram(dialog, 10 + 40);
        QCOMPARE(table.entries[40], kRed);
        QVERIFY(table.entries[39] != kRed);
        // Only colours changed: every view repaints, none refits.
        QVERIFY(colours.count() >= 3);
        QCOMPARE(pictures.count(), 0);
        QVERIFY(!doc.IsModified());
        dialog.accept();
    });
    view.OnCommand(cmd::ManualThreshold);
    // The applied threshold includes the upper bound.
    QCOMPARE(LevelAt(*doc.GetImage(), 39, 0), 0);
    QCOMPARE(LevelAt(*doc.GetImage(), 40, 0), 255);
    QCOMPARE(LevelAt(*doc.GetImage(), 255, 0), 255);
    QCOMPARE(HistoryLines(doc).last(), QString("Seuillage(40,255)"));
    QVERIFY(doc.IsModified());
    QVERIFY(doc.GetImage()->HasBackup());
    QCOMPARE(doc.GetImage()->GetPalette()->entries[1],
             (CPaletteTable::Entry{255, 0, 255}));  // binary
    // Undone: the colours the picture had before the dialog, not the preview's.
    view.OnCommand(cmd::EditUndo);
    QCOMPARE(LevelAt(*doc.GetImage(), 39, 0), 39);
    QVERIFY(doc.GetImage()->GetPalette()->entries == rainbow.entries);
}

void TestViewCommands::manualThresholdCancelRestoresGrey() {
    COrvexDoc doc;
    LoadPicture(doc, 30, 20);
    const QString history = doc.GetHistory();
    const QByteArray pixels(
        reinterpret_cast<const char*>(doc.GetImage()->GetBits(doc.GetImage()->Lock())),
        doc.GetImage()->GetImageSize());
    COrvexView view(&doc);
    Answer<CDialogHistogram>([](CDialogHistogram& dialog) { dialog.reject(); });
    view.OnCommand(cmd::ManualThreshold);
    const CPaletteTable& table = *doc.GetImage()->GetPalette();
    for (int i = 0; i < 256; ++i)
        QCOMPARE(table.entries[i],
                 (CPaletteTable::Entry{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)}));
    QVERIFY(doc.IsModified());
    QCOMPARE(doc.GetHistory(), history);
    QVERIFY(!doc.GetImage()->HasBackup());
    QCOMPARE(
        QByteArray(reinterpret_cast<const char*>(doc.GetImage()->GetBits(doc.GetImage()->Lock())),
                   doc.GetImage()->GetImageSize()),
        pixels);
}

void TestViewCommands::histogramChangesNothing() {
    COrvexDoc doc;
    LoadPicture(doc, 30, 20);
    doc.GetImage()->PaletteHeat();
    const CPaletteTable before = *doc.GetImage()->GetPalette();
    COrvexView view(&doc);
    Answer<CDialogHistogram>([](CDialogHistogram& dialog) {
        ClickHistogram(dialog, 60);
        dialog.accept();
    });
    view.OnCommand(cmd::Histogram);
    QCOMPARE(doc.GetImage()->GetPalette()->entries, before.entries);
    QVERIFY(!doc.IsModified());
}

void TestViewCommands::rotationQuarterTurn() {
    COrvexDoc doc;
    LoadPicture(doc, 100, 80);
    COrvexView view(&doc);
    view.OnCommand(cmd::ZoomPlus);
    view.OnCommand(cmd::Roi);
    Answer<CDialogRotation>([](CDialogRotation& dialog) { dialog.accept(); });
    view.OnCommand(cmd::Rotation);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{80, 100}));
    QCOMPARE(view.Zoom(), 1.0f);
    QVERIFY(!view.IsRoiMode());
    QCOMPARE(view.ScrollExtent(), QSize(80, 100));
    QCOMPARE(HistoryLines(doc).last(), QString("Rotation(90)"));
    QVERIFY(doc.IsModified());
    // A cancelled dialog changes nothing.
    doc.SetModifiedFlag(false);
    Answer<CDialogRotation>([](CDialogRotation& dialog) { dialog.reject(); });
    view.OnCommand(cmd::Rotation);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{80, 100}));
    QVERIFY(!doc.IsModified());
}

void TestViewCommands::resizeUsesItsOwnPageOnly() {
    COrvexDoc doc;
    LoadPicture(doc, 50, 40);
    COrvexView view(&doc);
    Answer<CSheetProcessing>([](CSheetProcessing& sheet) {
        QCOMPARE(sheet.ActivePage(), 1);
        Field(*sheet.Resize(), "Largeur")->setText("30");
        Field(*sheet.Resize(), "Hauteur")->setText("20");
        sheet.Tabs()->setCurrentIndex(0);
        Field(*sheet.Uniform(), "Largeur")->setText("99");
        sheet.accept();
    });
    view.OnCommand(cmd::Resize);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{30, 20}));
    QCOMPARE(HistoryLines(doc).last(), QString("Redimensionnement(30,20)"));
    QCOMPARE(view.ScrollExtent(), QSize(30, 20));
}

void TestViewCommands::resizeToTheSameSizeStillRecords() {
    COrvexDoc doc;
    LoadPicture(doc, 256, 256);
    COrvexView view(&doc);
    Answer<CSheetProcessing>([](CSheetProcessing& sheet) { sheet.accept(); });
    view.OnCommand(cmd::Resize);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{256, 256}));
    QCOMPARE(HistoryLines(doc).last(), QString("Redimensionnement(256,256)"));
    QVERIFY(doc.IsModified());
}

void TestViewCommands::uniformMakesAnEmptyDocumentAPicture() {
    COrvexDoc doc;
    COrvexView view(&doc);
    QVERIFY(view.IsCommandEnabled(cmd::Uniform).value());
    Answer<CSheetProcessing>([](CSheetProcessing& sheet) {
        QCOMPARE(sheet.ActivePage(), 0);
        Field(*sheet.Uniform(), "Largeur")->setText("12");
        Field(*sheet.Uniform(), "Hauteur")->setText("7");
        Field(*sheet.Uniform(), "Couleur")->setText("33");
        sheet.accept();
    });
    view.OnCommand(cmd::Uniform);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{12, 7}));
    QCOMPARE(LevelAt(*doc.GetImage(), 11, 6), 33);
    QCOMPARE(HistoryLines(doc).last(), QString("Image uniforme(12,7)"));
    QCOMPARE(view.ScrollExtent(), QSize(12, 7));
    QVERIFY(view.IsCommandEnabled(cmd::Rotation).value());
}

void TestViewCommands::perspectiveUsesTheRunOptions() {
    PerspectiveParams& options = CRunOptions::Get().perspective;
    const PerspectiveParams saved = options;
    options.amplitude = 20;
    options.edge = 7;
    for (const auto& [id, mode, line] :
         {std::tuple{cmd::PerspectiveGradient, PerspectiveMode::Gradient, "Perspective gradient"},
          std::tuple{cmd::PerspectiveCloud, PerspectiveMode::Cloud, "Perpective nuage"}}) {
        COrvexDoc doc, expected;
        LoadPicture(doc, 40, 30);
        LoadPicture(expected, 40, 30);
        StepPerspective(expected.Core(), mode, options);
        COrvexView view(&doc);
        view.OnCommand(cmd::ZoomPlus);
        view.OnCommand(id);
        QCOMPARE(doc.GetImage()->GetSize(), expected.GetImage()->GetSize());
        const auto bytes = [](CImage& image) {
            return QByteArray(reinterpret_cast<const char*>(image.Lock()),
                              static_cast<qsizetype>(image.GetHandle()->Size()));
        };
        QCOMPARE(bytes(*doc.GetImage()), bytes(*expected.GetImage()));
        QCOMPARE(HistoryLines(doc).last(), QString(line));
        QCOMPARE(view.Zoom(), 1.0f);
        const CSize size = doc.GetImage()->GetSize();
        QCOMPARE(view.ScrollExtent(), QSize(size.cx, size.cy));
    }
    options = saved;
}

void TestViewCommands::optionsKeptForTheRun() {
    PerspectiveParams& options = CRunOptions::Get().perspective;
    const PerspectiveParams saved = options;
    COrvexApp app;
    Answer<CSheetOptions>([](CSheetOptions& sheet) {
        QCOMPARE(Field(sheet.Perspective(), "Amplitude")->text(), QString("64"));
        Field(sheet.Perspective(), "Amplitude")->setText("80");
        Field(sheet.Perspective(), "Droit")->setText("45");
        sheet.accept();
    });
    QVERIFY(app.OnCommand(cmd::Options));
    QCOMPARE(options.amplitude, 80);
    QCOMPARE(options.rightAngle, 45);
    // The next opening shows them; a cancelled sheet keeps them.
    Answer<CSheetOptions>([](CSheetOptions& sheet) {
        QCOMPARE(Field(sheet.Perspective(), "Amplitude")->text(), QString("80"));
        Field(sheet.Perspective(), "Amplitude")->setText("5");
        sheet.reject();
    });
    app.OnCommand(cmd::Options);
    QCOMPARE(options.amplitude, 80);
    options = saved;
}

void TestViewCommands::paletteEditorInstallsItsTable() {
    COrvexDoc doc;
    LoadPicture(doc, 20, 20);
    COrvexView view(&doc);
    Answer<CDialogPalette>([](CDialogPalette& dialog) {
        dialog.SelectEntry(0);
        dialog.SetSelectedColour(QColor(255, 255, 255));
        dialog.SelectEntry(255);
        dialog.SetSelectedColour(QColor(0, 0, 0));
        dialog.accept();
    });
    view.OnCommand(cmd::PaletteEdit);
    QCOMPARE(doc.GetImage()->GetPalette()->entries[10], (CPaletteTable::Entry{245, 245, 245}));
    QCOMPARE(HistoryLines(doc).last(), QString("Palette personalisée"));
    QVERIFY(doc.GetImage()->HasBackup());
    // Cancelled (2): nothing changes.
    doc.SetModifiedFlag(false);
    Answer<CDialogPalette>([](CDialogPalette& dialog) {
        dialog.EraseAllNodes();
        dialog.reject();
    });
    view.OnCommand(cmd::PaletteEdit);
    QCOMPARE(doc.GetImage()->GetPalette()->entries[10], (CPaletteTable::Entry{245, 245, 245}));
    QVERIFY(!doc.IsModified());
}

void TestViewCommands::paletteEditorOnlyOn256ColourPictures_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("1 bit") << "pal1.bmp";
    QTest::newRow("4 bits") << "pal4.bmp";
    QTest::newRow("24 bits") << "rgb24.bmp";
}

void TestViewCommands::paletteEditorOnlyOn256ColourPictures() {
    QFETCH(QString, file);
    COrvexDoc doc;
    QVERIFY(doc.OnOpenDocument(QDir(BmpSuiteFolder("g")).filePath(file)));
    COrvexView view(&doc);
    QCOMPARE(view.IsCommandEnabled(cmd::PaletteEdit), std::optional<bool>(false));
    // Run anyway (a stale menu, a shortcut): no dialog, nothing recorded.
    const QStringList history = HistoryLines(doc);
    const QPointer<CModalAnswer> answer =
        Answer<CDialogPalette>([](CDialogPalette& dialog) { dialog.accept(); });
    CEngineMessages engine;
    view.OnCommand(cmd::PaletteEdit);
    QVERIFY(answer && !answer->Answered());
    answer->Withdraw();
    QVERIFY(engine.texts.isEmpty());
    QCOMPARE(HistoryLines(doc), history);
    QVERIFY(!doc.GetImage()->HasBackup());
    QVERIFY(!doc.IsModified());
}

void TestViewCommands::previewUsesTheSetUpPrinter() {
    RunPrinter().setPageOrientation(QPageLayout::Landscape);  // as printer setup leaves it
    COrvexDoc doc;
    LoadPicture(doc, 30, 20);
    COrvexView view(&doc);
    Answer<QPrintPreviewDialog>([](QPrintPreviewDialog& preview) {
        QCOMPARE(preview.printer(), &RunPrinter());
        QCOMPARE(preview.printer()->pageLayout().orientation(), QPageLayout::Landscape);
    });
    view.OnCommand(cmd::FilePrintPreview);
}

QTEST_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
