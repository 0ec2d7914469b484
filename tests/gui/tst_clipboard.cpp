// Copy and paste through the system clipboard: the picture's own block as
// "image/bmp" and an image for other programs; pictures other programs offer
// only as images; paste enabling, undo and zoom. The X11 cases run when the
// test runs on an X server (see the clipboard test under Xvfb in ctest) and
// exchange the picture with xclip, another X client.

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "COrvexView.h"
#include "CommandIds.h"
#include "ImageRenderer.h"
#include "tst_view_support.h"

namespace {

QByteArray BlockBytes(const CImage& image) {
    const CMemBlock* block = image.GetHandle();
    if (block == nullptr) return {};
    return {reinterpret_cast<const char*>(block->Data()), static_cast<qsizetype>(block->Size())};
}

QImage Rendered(const CImage& image) {
    const QSize size(image.GetWidth(), image.GetHeight());
    return RenderPicture(image, size, QRect(QPoint(0, 0), size))
        .convertToFormat(QImage::Format_RGB32);
}

QImage ColourPicture() {
    QImage picture(37, 21, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(7 * x, 11 * y, 200 - x));
    return picture;
}

bool IsX11() { return QGuiApplication::platformName() == "xcb"; }

// Runs a command while the event loop serves the clipboard.
QByteArray RunClient(const QString& program, const QStringList& arguments,
                     int* exitCode = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(5000)) return {};
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(10);
    }
    if (exitCode) *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

}  // namespace

class TestClipboard : public QObject {
    Q_OBJECT
private slots:
    void init();

    void copyThenPasteGivesTheSameBlockAndKeepsUndo();
    void pasteKeepsTheZoom();
    void pasteIsEnabledExactlyForPictures();
    void colourImageStaysColour();
    void greyImageBecomesAGreyPicture();
    void damagedBmpChangesNothing();

    void x11CopyIsReadByAnotherClient();
    void x11PngFromAnotherClientPastes();
};

void TestClipboard::init() { QGuiApplication::clipboard()->clear(); }

void TestClipboard::copyThenPasteGivesTheSameBlockAndKeepsUndo() {
    COrvexDoc source;
    LoadPicture(source, 33, 17);
    source.GetImage()->PaletteHeat();
    COrvexView sourceView(&source);
    QVERIFY(sourceView.IsCommandEnabled(cmd::EditCopy).value());
    sourceView.OnCommand(cmd::EditCopy);
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    QVERIFY(offered->hasFormat("image/bmp"));
    QVERIFY(offered->hasImage());
    QVERIFY(offered->data("image/bmp").startsWith("BM"));
    QCOMPARE(offered->data("image/bmp").mid(14), BlockBytes(*source.GetImage()));

    COrvexDoc target;
    LoadPicture(target, 10, 12);
    target.OnCommand(cmd::Negative);
    const QByteArray backup = [&] {
        const CMemBlock* b = target.GetImage()->GetBackupHandle();
        return QByteArray(reinterpret_cast<const char*>(b->Data()),
                          static_cast<qsizetype>(b->Size()));
    }();
    const QString history = target.GetHistory();
    target.SetModifiedFlag(false);
    COrvexView targetView(&target);
    QVERIFY(targetView.IsCommandEnabled(cmd::EditPaste).value());
    targetView.OnCommand(cmd::EditPaste);
    QCOMPARE(BlockBytes(*target.GetImage()), BlockBytes(*source.GetImage()));
    QCOMPARE(target.GetHistory(), history);
    QVERIFY(target.IsModified());
    QCOMPARE(targetView.ScrollExtent(), QSize(33, 17));
    // Undo goes back to before the negative, the last command but the paste.
    targetView.OnCommand(cmd::EditUndo);
    QCOMPARE(BlockBytes(*target.GetImage()), backup);
}

void TestClipboard::pasteKeepsTheZoom() {
    COrvexDoc source;
    LoadPicture(source, 40, 30);
    COrvexView(&source).OnCommand(cmd::EditCopy);
    COrvexDoc target;
    LoadPicture(target, 10, 10);
    COrvexView view(&target);
    view.OnCommand(cmd::ZoomPlus);
    view.OnCommand(cmd::ZoomPlus);
    const float zoom = view.Zoom();
    QVERIFY(zoom > 1.2f);
    view.OnCommand(cmd::EditPaste);
    QCOMPARE(view.Zoom(), zoom);
    // Every part of the zoomed picture can be scrolled to: 40 x 30 at 1.21.
    QCOMPARE(view.ScrollExtent(), QSize(48, 36));
    QCOMPARE(view.DisplayRect(), (CRect{0, 0, 40, 30}));
}

void TestClipboard::pasteIsEnabledExactlyForPictures() {
    COrvexDoc doc;
    COrvexView view(&doc);
    QCOMPARE(view.IsCommandEnabled(cmd::EditPaste), std::optional<bool>(false));
    QCOMPARE(view.IsCommandEnabled(cmd::EditCopy), std::optional<bool>(false));
    QGuiApplication::clipboard()->setText("pas une image");
    QCOMPARE(view.IsCommandEnabled(cmd::EditPaste), std::optional<bool>(false));
    QGuiApplication::clipboard()->setImage(ColourPicture());
    QCOMPARE(view.IsCommandEnabled(cmd::EditPaste), std::optional<bool>(true));
    // An empty document takes a pasted picture.
    view.OnCommand(cmd::EditPaste);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{37, 21}));
}

void TestClipboard::colourImageStaysColour() {
    QGuiApplication::clipboard()->setImage(ColourPicture());
    COrvexDoc doc;
    LoadPicture(doc, 5, 5);
    COrvexView view(&doc);
    view.OnCommand(cmd::EditPaste);
    const CImage& image = *doc.GetImage();
    QCOMPARE(image.GetBitCount(), 24);
    QCOMPARE(Rendered(image), ColourPicture());
    for (int id : {cmd::PaletteGrey, cmd::Histogram, cmd::ManualThreshold, cmd::Rotation})
        QCOMPARE(view.IsCommandEnabled(id), std::optional<bool>(false));
}

void TestClipboard::greyImageBecomesAGreyPicture() {
    QImage grey(19, 8, QImage::Format_Grayscale8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 19; ++x) grey.scanLine(y)[x] = static_cast<uchar>(13 * x + y);
    QGuiApplication::clipboard()->setImage(grey);
    COrvexDoc doc;
    COrvexView view(&doc);
    view.OnCommand(cmd::EditPaste);
    CImage& image = *doc.GetImage();
    QCOMPARE(image.GetBitCount(), 8);
    QCOMPARE(image.GetNumColors(), 256);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 19; ++x) QCOMPARE(LevelAt(image, x, y), 13 * x + y);
    QVERIFY(view.IsCommandEnabled(cmd::Rotation).value());
}

void TestClipboard::damagedBmpChangesNothing() {
    CEngineMessages messages;
    auto* data = new QMimeData;
    data->setData("image/bmp", QByteArray("BM\x10\0\0\0", 6) + QByteArray(40, '\x7f'));
    QGuiApplication::clipboard()->setMimeData(data);
    COrvexDoc doc;
    LoadPicture(doc, 6, 4);
    const QByteArray before = BlockBytes(*doc.GetImage());
    COrvexView view(&doc);
    view.OnCommand(cmd::EditPaste);
    QCOMPARE(BlockBytes(*doc.GetImage()), before);
    QVERIFY(!doc.IsModified());
    QCOMPARE(messages.texts.size(), 1);
}

void TestClipboard::x11CopyIsReadByAnotherClient() {
    if (!IsX11()) QSKIP("needs an X server (runs under Xvfb)");
    if (QStandardPaths::findExecutable("xclip").isEmpty()) QSKIP("needs xclip");
    COrvexDoc doc;
    LoadPicture(doc, 45, 23);
    doc.GetImage()->PaletteRainbow();
    COrvexView view(&doc);
    view.OnCommand(cmd::EditCopy);
    const QByteArray targets =
        RunClient("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"});
    QVERIFY2(targets.contains("image/bmp") && targets.contains("image/png"), targets.constData());
    const QByteArray png = RunClient("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
    QVERIFY(png.startsWith("\x89PNG"));
    QCOMPARE(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32),
             Rendered(*doc.GetImage()));
    const QByteArray bmp = RunClient("xclip", {"-selection", "clipboard", "-t", "image/bmp", "-o"});
    QCOMPARE(bmp.mid(14), BlockBytes(*doc.GetImage()));
}

void TestClipboard::x11PngFromAnotherClientPastes() {
    if (!IsX11()) QSKIP("needs an X server (runs under Xvfb)");
    if (QStandardPaths::findExecutable("xclip").isEmpty()) QSKIP("needs xclip");
    QTemporaryDir folder;
    const QString path = folder.filePath("colour.png");
    QVERIFY(ColourPicture().save(path, "PNG"));
    COrvexDoc doc;
    LoadPicture(doc, 4, 4);
    COrvexView view(&doc);
    QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::dataChanged);
    // xclip stays in the background to serve the selection until another
    // client takes it or the server ends.
    int exitCode = -1;
    RunClient("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", path}, &exitCode);
    QCOMPARE(exitCode, 0);
    QTRY_VERIFY(view.IsCommandEnabled(cmd::EditPaste).value());
    view.OnCommand(cmd::EditPaste);
    QCOMPARE(doc.GetImage()->GetBitCount(), 24);
    QCOMPARE(Rendered(*doc.GetImage()), ColourPicture());
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
