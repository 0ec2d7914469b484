// Picture files beside BMP in the desktop program: the format "Enregistrer
// sous" writes, the one "&Enregistrer" keeps, refusals that write nothing,
// the reports of files that cannot be opened, the pictures of a folder, and
// the conversion to grey that opens the 256-colour commands to colour
// pictures.

#include <QFileDialog>

#include "tst_shell_support.h"
#include "tst_view_support.h"

namespace {

// The test data, found from this file's place; taken before the shell moves
// the current folder, which a relative __FILE__ depends on.
QString TestData(const QString& name) {
    static const QString data =
        QDir(QFileInfo(QStringLiteral(__FILE__)).absolutePath()).filePath("../data");
    return QDir(data).filePath(name);
}

QString FormatsFile(const QString& name) { return TestData("formats/" + name); }

// The format a file's first bytes tell; none for no file or no picture.
std::optional<PictureFormat> FileFormat(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = file.read(8);
    return DetectPictureFormat(reinterpret_cast<const std::uint8_t*>(head.constData()),
                               static_cast<std::size_t>(head.size()));
}

// Answers the next save dialog: the filter, then the name typed (or the
// other way round).
void AnswerSaveAs(const QString& filter, const QString& path, QString* offeredFilter = nullptr,
                  bool nameFirst = false, QStringList* titleAndName = nullptr) {
    Answer<QFileDialog>([=](QFileDialog& dialog) {
        if (offeredFilter) *offeredFilter = dialog.selectedNameFilter();
        if (titleAndName) *titleAndName = {dialog.windowTitle(), dialog.selectedFiles().value(0)};
        if (nameFirst) dialog.selectFile(path);
        if (!filter.isEmpty()) {
            dialog.selectNameFilter(filter);
            emit dialog.filterSelected(filter);  // as the type box does when the user picks one
        }
        if (!nameFirst) dialog.selectFile(path);
        QMetaObject::invokeMethod(&dialog, "accept");  // as the dialog's own button does
    });
}

}  // namespace

class TestFormats : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        TestData({});
        shell_.InitTestCase();
    }
    void init() { QVERIFY((app_ = shell_.Start())); }
    void cleanup() { shell_.Stop(); }

    void saveAsWritesTheFormatOfTheFilterOrTheName_data();
    void saveAsWritesTheFormatOfTheFilterOrTheName();
    void saveKeepsTheFormatTheFileWasReadIn();
    void documentFromJpegAsksForANewName();
    void saveAsksBeforeLosingWhatTheFileHeld_data();
    void saveAsksBeforeLosingWhatTheFileHeld();
    void refusedSavesWriteNothing();
    void unreadableFilesAreNamedAndOpenNothing_data();
    void unreadableFilesAreNamedAndOpenNothing();
    void manyFilesOpenWithOneSummary_data();
    void manyFilesOpenWithOneSummary();
    void greyConversionOpensThe256ColourCommands();

private:
    COrvexDoc* OpenCopy(const QString& name);

    CShellApp shell_;
    COrvexApp* app_ = nullptr;
    QTemporaryDir folder_;
};

// A copy of a file of the test data, opened.
COrvexDoc* TestFormats::OpenCopy(const QString& name) {
    const QString copy = folder_.filePath(name);
    QFile::remove(copy);
    if (!QFile::copy(FormatsFile(name), copy)) return nullptr;
    return app_->DocManager()->OpenDocument(copy);
}

void TestFormats::saveAsWritesTheFormatOfTheFilterOrTheName_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("nameFirst");
    const auto row = [](const char* tag, const char* filter, const char* typed, const char* written,
                        PictureFormat format, bool nameFirst = false) {
        QTest::newRow(tag) << filter << typed << written << static_cast<int>(format) << nameFirst;
    };
    row("png filter", "Fichiers PNG (*.png)", "a", "a.png", *FormatNamed("PNG"));
    row("tiff filter", "Fichiers TIFF (*.tif *.tiff)", "b", "b.tif", *FormatNamed("TIFF"));
    row("pgm filter", "Fichiers PGM (*.pgm)", "c", "c.pgm", *FormatNamed("PGM"));
    row("bmp filter", "Bitmap files (*.bmp)", "d", "d.bmp", PictureFormat::Bmp);
    row("name wins", "Bitmap files (*.bmp)", "e.TIFF", "e.TIFF", *FormatNamed("TIFF"));
    row("filter changes the name", "Fichiers PNG (*.png)", "f.bmp", "f.png", *FormatNamed("PNG"),
        true);
}

void TestFormats::saveAsWritesTheFormatOfTheFilterOrTheName() {
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(int, format);
    QFETCH(bool, nameFirst);
    COrvexDoc* doc = app_->DocManager()->NewDocument();
    LoadPicture(*doc, 7, 3);
    doc->SetModifiedFlag();
    CBoxCatcher refusals;
    AnswerSaveAs(filter, folder_.filePath(typed), nullptr, nameFirst);
    QVERIFY(app_->DocManager()->SaveDocumentAs(doc));
    QVERIFY(refusals.boxes.isEmpty());
    QCOMPARE(doc->GetPathName(), folder_.filePath(written));
    QCOMPARE(FileFormat(folder_.filePath(written)), std::optional(PictureFormat(format)));
    QVERIFY(!doc->IsModified());

    COrvexDoc reopened;
    QVERIFY(reopened.OnOpenDocument(folder_.filePath(written)));
    QCOMPARE(LevelAt(*reopened.GetImage(), 5, 2), 11);
}

void TestFormats::saveKeepsTheFormatTheFileWasReadIn() {
    COrvexDoc* doc = OpenCopy("png-grey8.png");
    QVERIFY(doc);
    QVERIFY(doc->OnCommand(cmd::Negative));
    // No dialog: the picture goes back to its own file, as PNG.
    CBoxCatcher refusals;
    QVERIFY(app_->DocManager()->SaveDocument(doc));
    QVERIFY(refusals.boxes.isEmpty());
    QCOMPARE(FileFormat(doc->GetPathName()), std::optional(*FormatNamed("PNG")));
    COrvexDoc reopened;
    QVERIFY(reopened.OnOpenDocument(doc->GetPathName()));
    QCOMPARE(LevelAt(*reopened.GetImage(), 0, 0), LevelAt(*doc->GetImage(), 0, 0));
}

void TestFormats::documentFromJpegAsksForANewName() {
    COrvexDoc* doc = OpenCopy("jpeg-rgb.jpg");
    QVERIFY(doc);
    QVERIFY(!doc->GetSaveFormat());
    QString offered;
    CBoxCatcher refusals;
    AnswerSaveAs({}, folder_.filePath("photo.png"), &offered);
    QVERIFY(app_->DocManager()->SaveDocument(doc));
    QVERIFY(refusals.boxes.isEmpty());
    QCOMPARE(offered, QString("Fichiers PNG (*.png)"));
    QCOMPARE(FileFormat(folder_.filePath("photo.png")), std::optional(*FormatNamed("PNG")));
    QCOMPARE(doc->GetSaveFormat(), std::optional(*FormatNamed("PNG")));
    // The JPEG file is left as it was.
    QCOMPARE(FileFormat(folder_.filePath("jpeg-rgb.jpg")), std::optional(*FormatNamed("JPEG")));
}

void TestFormats::saveAsksBeforeLosingWhatTheFileHeld_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("command");       // the change made; none: only marked modified
    QTest::addColumn<QString>("note");      // the status bar's once the file is open
    QTest::addColumn<QString>("offered");   // the filter of the dialog; none: written in place
    QTest::addColumn<QString>("question");  // the box when the file's own name is chosen
    const auto row = [](const char* tag, const char* name, const char* note = "",
                        const char* offered = "", const char* question = "", int command = 0) {
        QTest::newRow(tag) << name << command << note << offered << question;
    };
    const char* png = "Fichiers PNG (*.png)";
    // A stack is opened whole and written back whole, without a question.
    row("3-page TIFF", "tiff-grey8-3pages.tif", "Pile de 3 pages");
    // A GIF file's pages are the frames of an animation.
    row("3-frame GIF", "gif-3frames.gif", "Pile de 3 images");
    // Samples a format holds are written back as they are; once a step
    // has changed the levels they are gone, and saving says so.
    row("16-bit TIFF", "tiff-grey16.tif");
    row("16-bit PGM", "pgm-p5-16.pgm");
    row("16-bit TIFF turned negative", "tiff-grey16.tif", "", png,
        "Les niveaux 16 bits de tiff-grey16.tif seront remplacés par leur fenêtre 8 bits.",
        cmd::Negative);
    row("signed TIFF", "tiff-signed16.tif",
        "16 bits signés ramenés à 8 bits : fenêtre -21846..21845", png,
        "Les niveaux 16 bits signés de tiff-signed16.tif seront remplacés par leur fenêtre 8 "
        "bits.");
    row("float TIFF", "tiff-float32.tif");
    row("palette TIFF with alpha", "tiff-palette8-alpha.tif", "Transparence ignorée", png,
        "La transparence de tiff-palette8-alpha.tif ne sera pas enregistrée.");
    row("RGBA PNG", "png-rgba8.png", "Transparence ignorée", png,
        "La transparence de png-rgba8.png ne sera pas enregistrée.");
    row("colour PPM turned grey", "ppm-p6.ppm", "", "Fichiers PGM (*.pgm)",
        "Les couleurs de ppm-p6.ppm seront remplacées par des niveaux de gris.",
        cmd::ConvertToGrey);
    // A PBM file holds the negative of its picture, not its contours.
    row("PBM turned negative", "pbm-p4.pbm", "", "", "", cmd::Negative);
    // A name whose format cannot hold the picture: refused at once, before
    // any overwrite question.
    row("PBM given other levels", "pbm-p4.pbm", "", png,
        "Impossible d'enregistrer pbm-p4.pbm au format PBM : ce format ne contient que du noir",
        cmd::Contours);
    row("JPEG", "jpeg-rgb.jpg", "", png,
        "Impossible d'enregistrer jpeg-rgb.jpg : Orvex enregistre les images aux formats");
    row("colour PPM", "ppm-p6.ppm");
    row("plain PNG", "png-grey8.png");
    row("BigTIFF", "tiff-bigtiff-msb.tif");
}

// "&Enregistrer" (Ctrl+S, the close question and "Enregistrer tous les
// fichiers modifiés" all come here) on each kind of file, the file's own
// name chosen when a name is asked for and the question declined.
void TestFormats::saveAsksBeforeLosingWhatTheFileHeld() {
    QFETCH(QString, name);
    QFETCH(int, command);
    QFETCH(QString, note);
    QFETCH(QString, offered);
    QFETCH(QString, question);
    COrvexDoc* doc = OpenCopy(name);
    QVERIFY(doc);
    QCOMPARE(app_->MainFrame()->StatusBar()->Prompt(), note.isEmpty() ? "Prêt" : note);
    if (command != 0)
        QVERIFY(doc->OnCommand(command));
    else
        doc->SetModifiedFlag();
    const QString path = doc->GetPathName();
    const std::optional<PictureFormat> kept = FileFormat(path);
    const auto bytes = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();

    QString filter;
    QStringList titleAndName;
    if (!offered.isEmpty()) AnswerSaveAs({}, path, &filter, false, &titleAndName);
    CBoxCatcher boxes;  // answers the question with neither "Oui" nor "Non": not replaced
    const bool saved = app_->DocManager()->SaveDocument(doc);
    QCOMPARE(filter, offered);
    if (offered.isEmpty()) {
        QVERIFY(saved);
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(FileFormat(path), kept);
        QVERIFY(!doc->IsModified());
        return;
    }
    QVERIFY(!saved);
    // Why Ctrl+S asks for a name, and one that no file has yet.
    QVERIFY2(titleAndName.value(0).endsWith(": choisissez un autre nom"),
             qPrintable(titleAndName.value(0)));
    QVERIFY2(!QFileInfo::exists(titleAndName.value(1)), qPrintable(titleAndName.value(1)));
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.boxes[0].text.contains(question), qPrintable(boxes.boxes[0].text));
    QCOMPARE(bytes(), before);
    QVERIFY(doc->IsModified());
}

void TestFormats::refusedSavesWriteNothing() {
    COrvexDoc* doc = app_->DocManager()->NewDocument();
    LoadPicture(*doc, 4, 4);
    doc->GetImage()->PaletteRainbow();
    doc->SetModifiedFlag();
    // The dialog offers only the formats that can hold a picture shown in
    // colours: not PGM, but GIF, which keeps its 256 entries.
    QString offered;
    Answer<QFileDialog>([&offered](QFileDialog& dialog) {
        offered = dialog.nameFilters().join(';');
        QMetaObject::invokeMethod(&dialog, "reject");
    });
    QVERIFY(!app_->DocManager()->SaveDocumentAs(doc));
    QVERIFY(!offered.contains("PGM") && !offered.contains("PBM") && offered.contains("GIF") &&
            offered.contains("PNG"));
    CBoxCatcher catcher;
    for (const char* name : {"colour.pgm", "photo.jpg"}) {
        AnswerSaveAs({}, folder_.filePath(name));
        QVERIFY(!app_->DocManager()->SaveDocumentAs(doc));
        QVERIFY(!QFile::exists(folder_.filePath(name)));
    }
    QTRY_COMPARE(catcher.boxes.size(), 2);
    QCOMPARE(catcher.boxes[0].title, QString("Orvex"));
    QVERIFY(catcher.boxes[0].text.startsWith("Impossible d'enregistrer colour.pgm au format PGM"));
    // A grey picture seen in false colours: the advice must not only be the
    // conversion, which would turn the colours shown into other levels.
    QVERIFY(catcher.boxes[0].text.contains(
        "\"Palette > Niveaux de gris\" garde les niveaux de l'image et les montre en gris."));
    QVERIFY(catcher.boxes[0].text.contains(
        "\"Conversion en niveaux de gris\" fait des niveaux avec les couleurs affichées."));
    QVERIFY(catcher.boxes[1].text.startsWith("Impossible d'enregistrer photo.jpg : "));
    QVERIFY(doc->IsModified());
    QVERIFY(doc->GetPathName().isEmpty());
}

void TestFormats::unreadableFilesAreNamedAndOpenNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("no format") << "notes.png"
                               << "Impossible d'ouvrir notes.png : format de fichier inconnu.";
    QTest::newRow("damaged png")
        << "bad-png-grey8-cut.png"
        << "Impossible d'ouvrir bad-png-grey8-cut.png : le fichier PNG est endommagé.";
    QTest::newRow("CMYK tiff") << "tiff-cmyk.tif"
                               << "Impossible d'ouvrir tiff-cmyk.tif : cette image TIFF n'est pas "
                                  "prise en charge (couleurs CMJN).";
    QTest::newRow("12-bit jpeg") << "jpeg-12bit.jpg"
                                 << "Impossible d'ouvrir jpeg-12bit.jpg : cette image JPEG n'est "
                                    "pas prise en charge (échantillons de 12 bits).";
    QTest::newRow("damaged tiff")
        << "bad-tiff-grey8-tiff_lzw-cut.tif"
        << "Impossible d'ouvrir bad-tiff-grey8-tiff_lzw-cut.tif : le fichier TIFF est endommagé.";
}

void TestFormats::unreadableFilesAreNamedAndOpenNothing() {
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFile notes(folder_.filePath("notes.png"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("some text, no picture");
    notes.close();
    const QString path =
        QFile::exists(folder_.filePath(name)) ? folder_.filePath(name) : FormatsFile(name);
    CBoxCatcher catcher;
    QVERIFY(!app_->DocManager()->OpenDocument(path));
    QTRY_COMPARE(catcher.boxes.size(), 1);
    QCOMPARE(catcher.boxes[0].text, message);
    QVERIFY(app_->DocManager()->Documents().isEmpty());
}

void TestFormats::manyFilesOpenWithOneSummary_data() {
    // "name=source": a copy of a test file (README.md is no picture).
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QString>("summary");
    QTest::newRow("pictures whatever their names")
        << QStringList{"a.png=png-grey8.png", "b.dat=tiff-grey8-raw.tif", "d.png=README.md"}
        << false << 2 << "1 fichier qui n'est pas une image a été ignoré.";
    const QStringList damaged{"a.png=png-grey8.png",
                              "b.png=bad-png-grey8-cut.png",
                              "c.tif=bad-tiff-grey8-tiff_lzw-cut.tif",
                              "d.pgm=bad-pgm-p5-cut.pgm",
                              "n1=README.md",
                              "n2.png=README.md",
                              "n3=expected.json"};
    const QString named =
        "Impossible d'ouvrir b.png : le fichier PNG est endommagé.\n"
        "Impossible d'ouvrir c.tif : le fichier TIFF est endommagé.\n"
        "Impossible d'ouvrir d.pgm : le fichier PGM est endommagé.\n\n"
        "3 fichiers qui ne sont pas des images ont été ignorés.";
    QTest::newRow("damaged named in one box") << damaged << false << 1 << named;
    QTest::newRow("dropped together") << damaged << true << 1 << named;
    QStringList many;
    QStringList lines;
    for (int i = 10; i < 27; ++i) {
        many << QString("bad%1.png=bad-png-garbage.png").arg(i);
        if (i < 25)
            lines
                << QString("Impossible d'ouvrir bad%1.png : le fichier PNG est endommagé.").arg(i);
    }
    QTest::newRow("a screenful, then a count")
        << many << false << 0 << lines.join('\n') + "\n... et 2 autres.";
    QTest::newRow("empty folder") << QStringList() << false << 0 << QString();
}

void TestFormats::manyFilesOpenWithOneSummary() {
    QFETCH(QStringList, files);
    QFETCH(bool, dropped);
    QFETCH(int, opened);
    QFETCH(QString, summary);
    QTemporaryDir folder;
    QStringList paths;
    for (const QString& file : files) {
        paths << folder.filePath(file.section('=', 0, 0));
        QVERIFY(QFile::copy(FormatsFile(file.section('=', 1)), paths.last()));
    }
    QDir(folder.path()).mkdir("sub");
    CBoxCatcher catcher;
    if (dropped)
        emit app_->MainFrame()->filesDropped(paths);
    else
        app_->DocManager()->OpenFolder(folder.path());
    QCOMPARE(app_->DocManager()->Documents().size(), opened);
    QCOMPARE(catcher.boxes.size(), summary.isEmpty() ? 0 : 1);
    if (!summary.isEmpty()) QCOMPARE(catcher.boxes[0].text, summary);
}

void TestFormats::greyConversionOpensThe256ColourCommands() {
    COrvexDoc* colour = app_->DocManager()->OpenDocument(TestData("bmpsuite/g/rgb24.bmp"));
    QVERIFY(colour);
    QCOMPARE(colour->IsCommandEnabled(cmd::Negative), std::optional(false));
    QCOMPARE(colour->IsCommandEnabled(cmd::ConvertToGrey), std::optional(true));
    QVERIFY(colour->OnCommand(cmd::ConvertToGrey));
    QVERIFY(colour->GetHistory().endsWith("Conversion en niveaux de gris\r\n"));
    QVERIFY(colour->IsModified());
    QVERIFY(colour->GetImage()->HasGreyRamp());
    QCOMPARE(colour->IsCommandEnabled(cmd::Negative), std::optional(true));
    QCOMPARE(colour->IsCommandEnabled(cmd::ConvertToGrey), std::optional(false));
    COrvexView view(colour);
    QVERIFY(view.OnCommand(cmd::EditUndo));
    QCOMPARE(colour->GetImage()->GetBitCount(), 24);
}

QTEST_MAIN(TestFormats)
#include "tst_formats.moc"
