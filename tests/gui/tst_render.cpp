// The picture renderer: every kind of BMP drawn as an image viewer shows it,
// nearest-neighbour scaling that drops rows and columns, partial repaints,
// and where printing puts the picture on the page.

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "ImageRenderer.h"
#include "Parallel.h"
#include "PictureFiles.h"
#include "PrintPicture.h"
#include "ZoomSteps.h"
#include "tst_view_support.h"

namespace {

QString GoodFilesFolder() { return BmpSuiteFolder("g"); }

QImage Full(const CImage& image, QSize target) {
    return RenderPicture(image, target, QRect(QPoint(0, 0), target))
        .convertToFormat(QImage::Format_RGB32);
}

int LargestChannelDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

}  // namespace

class TestRenderer : public QObject {
    Q_OBJECT
private slots:
    void goodFilesLookAsInAnyViewer_data();
    void goodFilesLookAsInAnyViewer();
    void knownColours();
    void reductionDropsRowsAndColumns();
    void partialRepaintMatchesWholePicture();
    void screenRepaintInBandsShowsTheTableColours_data();
    void screenRepaintInBandsShowsTheTableColours();
    void zoomTruncatesTheDestination();
    void missingRowsDrawNothing();
    void shortColourTableShowsBlack();
    void printShowsTheWholePictureCentred_data();
    void printShowsTheWholePictureCentred();
    void printedPagesHoldThePicture();
    void printedPdfShowsTheWholePictureCentred();
};

void TestRenderer::goodFilesLookAsInAnyViewer_data() {
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(GoodFilesFolder()).entryList({"*.bmp"}, QDir::Files);
    QVERIFY(files.size() >= 20);
    for (const QString& f : files) QTest::newRow(qPrintable(f)) << f;
}

void TestRenderer::goodFilesLookAsInAnyViewer() {
    QFETCH(QString, file);
    const QString path = QDir(GoodFilesFolder()).filePath(file);
    CImage image;
    QCOMPARE(ReadPictureAt(image, path.toStdString()), FileStatus::Ok);
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!reference.isNull());
    QCOMPARE(QSize(image.GetWidth(), image.GetHeight()), reference.size());
    const QImage drawn = Full(image, reference.size());
    // Our 5 and 6-bit channels are widened to the full 0..255 range; Qt's
    // reader only shifts them, so its whites are 248.
    const int tolerance = image.GetBitCount() == 16 ? 7 : 0;
    QVERIFY2(LargestChannelDifference(drawn, reference) <= tolerance,
             qPrintable(QString("difference %1").arg(LargestChannelDifference(drawn, reference))));
}

namespace {

QImage DrawFile(const QString& name) {
    CImage image;
    if (ReadPictureAt(image, QDir(GoodFilesFolder()).filePath(name).toStdString()) !=
        FileStatus::Ok)
        return {};
    return Full(image, {image.GetWidth(), image.GetHeight()});
}

}  // namespace

void TestRenderer::knownColours() {
    // The same picture stored in different ways draws the same.
    const QImage reference = DrawFile("pal8.bmp");
    QCOMPARE(reference.size(), QSize(127, 64));
    QCOMPARE(DrawFile("pal8topdown.bmp"), reference);
    QCOMPARE(DrawFile("pal8os2.bmp"), reference);
    QCOMPARE(DrawFile("pal8v5.bmp"), reference);
    QCOMPARE(DrawFile("rgb32bf.bmp"), DrawFile("rgb24.bmp"));
    QCOMPARE(DrawFile("pal8rle.bmp"), reference);
    QCOMPARE(DrawFile("pal4rle.bmp"), DrawFile("pal4.bmp"));
}

void TestRenderer::reductionDropsRowsAndColumns() {
    CImage image;
    MakePicture(image, 4, 4, [](int x, int y) { return 10 * y + x; });
    const QImage half = RenderPicture(image, {2, 2}, QRect(0, 0, 2, 2));
    QCOMPARE(half.format(), QImage::Format_Indexed8);
    // Columns and rows 0 and 2 are kept, 1 and 3 dropped: no blending.
    QCOMPARE(half.pixelIndex(0, 0), 0);
    QCOMPARE(half.pixelIndex(1, 0), 2);
    QCOMPARE(half.pixelIndex(0, 1), 20);
    QCOMPARE(half.pixelIndex(1, 1), 22);
    const QImage triple = RenderPicture(image, {12, 12}, QRect(0, 0, 12, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) QCOMPARE(triple.pixelIndex(x, y), 10 * (y / 3) + x / 3);
}

void TestRenderer::partialRepaintMatchesWholePicture() {
    CImage image;
    MakePicture(image, 37, 23, [](int x, int y) { return (x * 7 + y * 13) % 256; });
    QRandomGenerator random(7);
    for (const QSize target : {QSize(37, 23), QSize(300, 97), QSize(11, 5), QSize(40, 200)}) {
        const QImage whole = RenderPicture(image, target, QRect(QPoint(0, 0), target));
        for (int i = 0; i < 20; ++i) {
            const QRect area(random.bounded(target.width()), random.bounded(target.height()),
                             1 + random.bounded(target.width()),
                             1 + random.bounded(target.height()));
            const QRect inside = area & QRect(QPoint(0, 0), target);
            QCOMPARE(RenderPicture(image, target, area), whole.copy(inside));
        }
    }
}

void TestRenderer::screenRepaintInBandsShowsTheTableColours_data() {
    QTest::addColumn<float>("zoom");
    QTest::addColumn<int>("threads");
    QTest::newRow("reduced, two cores") << 0.61f << 2;
    QTest::newRow("reduced, one core") << 0.61f << 1;
    QTest::newRow("enlarged, two cores") << 2.5f << 2;
}

// A screen large enough to be built in bands on two cores, from an 8-bit
// picture under a colour table, shows exactly the indexed rendering.
void TestRenderer::screenRepaintInBandsShowsTheTableColours() {
    QFETCH(float, zoom);
    QFETCH(int, threads);
    CImage image;
    MakePicture(image, 2403, 1811, [](int x, int y) { return (x * 7 + y * 13) % 256; });
    QVERIFY(image.PaletteRainbow());
    const QSize target(zoom::Scaled(2403, zoom), zoom::Scaled(1811, zoom));
    const QRect exposed(17, 5, 1001, 799);
    SetWorkerCount(threads);
    QImage screen(exposed.size(), QImage::Format_RGB32);
    {
        QPainter painter(&screen);
        painter.translate(-exposed.topLeft());
        QCOMPARE(DisplayImage(painter, image, zoom, {2403, 1811}, exposed), 799);
    }
    SetWorkerCount(0);
    const QImage expected =
        RenderPicture(image, target, exposed).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(expected.size(), exposed.size());
    QCOMPARE(screen, expected);
}

void TestRenderer::zoomTruncatesTheDestination() {
    CImage image;
    MakePicture(image, 101, 51, [](int, int) { return 200; });
    QImage canvas(120, 60, QImage::Format_RGB32);
    canvas.fill(Qt::blue);
    {
        QPainter painter(&canvas);
        QCOMPARE(DisplayImage(painter, image, 0.5f, {101, 51}, canvas.rect()), 25);
    }
    QCOMPARE(canvas.pixel(49, 24), qRgb(200, 200, 200));
    QCOMPARE(canvas.pixel(50, 24), qRgb(0, 0, 255));
    QCOMPARE(canvas.pixel(49, 25), qRgb(0, 0, 255));
    // Only the exposed rows are drawn; an empty picture draws nothing.
    QPainter painter(&canvas);
    QCOMPARE(DisplayImage(painter, image, 1.0f, {101, 51}, QRect(0, 10, 5, 7)), 7);
    CImage empty;
    DisplayStatus status;
    QCOMPARE(DisplayImage(painter, empty, 1.0f, {101, 51}, canvas.rect(), &status), 0);
    QCOMPARE(status, DisplayStatus::NoPicture);
}

void TestRenderer::missingRowsDrawNothing() {
    // A header announcing more rows than the block holds.
    HBLOCK block = CImage::CreateEmptyBlock(8, 8, 0);
    CImage::WriteHeader(block.get(), 40, 8, 4000, 1, 8, 0, 0, 0, 0, 256, 256);
    CImage image;
    image.SetHandle(std::move(block));
    DisplayStatus status;
    QVERIFY(RenderPicture(image, {8, 4000}, QRect(0, 0, 8, 4000), &status).isNull());
    QCOMPARE(status, DisplayStatus::NoData);
    // The same for a 24-bit picture, whose rows are three times as wide.
    HBLOCK wide = CImage::CreateEmptyBlock(8, 8, 0);
    CImage::WriteHeader(wide.get(), 40, 8, 60, 1, 24, 0, 0, 0, 0, 0, 0);
    image.SetHandle(std::move(wide));
    QVERIFY(RenderPicture(image, {8, 60}, QRect(0, 0, 8, 60), &status).isNull());
    QCOMPARE(status, DisplayStatus::NoData);
}

void TestRenderer::shortColourTableShowsBlack() {
    // Two table entries, pixels 1 and 200: level 200 has no colour of its own.
    HBLOCK block = CMemBlock::Allocate(40 + 8 + 4);
    CImage::WriteHeader(block.get(), 40, 2, 1, 1, 8, 0, 4, 0, 0, 2, 2);
    std::uint8_t* b = block->Data();
    b[44] = b[45] = b[46] = 1;  // entry 1: (1, 1, 1)
    b[48] = 1;
    b[49] = 200;
    CImage image;
    image.SetHandle(std::move(block));
    const QImage drawn = Full(image, {2, 1});
    QCOMPARE(drawn.pixel(0, 0), qRgb(1, 1, 1));
    QCOMPARE(drawn.pixel(1, 0), qRgb(0, 0, 0));
}

void TestRenderer::printShowsTheWholePictureCentred_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("dotsPerInchY");
    QTest::addColumn<QRect>("place");
    // 600 dots per inch across, A4 printable areas of 4800 x 6600 dots.
    QTest::newRow("wide picture, full width")
        << QSize(200, 100) << QSize(4800, 6600) << 600 << QRect(0, 2100, 4800, 2400);
    // Dots twice as tall as wide: half as many rows keep the proportions.
    QTest::newRow("dots taller than wide")
        << QSize(200, 100) << QSize(4800, 6600) << 300 << QRect(0, 2700, 4800, 1200);
    QTest::newRow("tall picture, full height")
        << QSize(100, 400) << QSize(4800, 6600) << 600 << QRect(1575, 0, 1650, 6600);
    QTest::newRow("square on landscape")
        << QSize(300, 300) << QSize(6600, 4800) << 600 << QRect(900, 0, 4800, 4800);
    QTest::newRow("same shape as the page")
        << QSize(48, 66) << QSize(4800, 6600) << 600 << QRect(0, 0, 4800, 6600);
    QTest::newRow("one row keeps one row")
        << QSize(100000, 1) << QSize(4800, 6600) << 600 << QRect(0, 3299, 4800, 1);
    QTest::newRow("one column keeps one column")
        << QSize(1, 100000) << QSize(4800, 6600) << 600 << QRect(2399, 0, 1, 6600);
    QTest::newRow("empty picture") << QSize(0, 0) << QSize(4800, 6600) << 600 << QRect();
    QTest::newRow("no page") << QSize(20, 10) << QSize(0, 0) << 600 << QRect();
}

void TestRenderer::printShowsTheWholePictureCentred() {
    QFETCH(QSize, picture);
    QFETCH(QSize, page);
    QFETCH(int, dotsPerInchY);
    QFETCH(QRect, place);
    QCOMPARE(PrintRect(picture, page, 600, dotsPerInchY), place);
}

void TestRenderer::printedPagesHoldThePicture() {
    // A small picture fills the page width, centred, pixels enlarged without blending.
    CImage image;
    MakePicture(image, 2, 1, [](int x, int) { return x == 0 ? 0 : 255; });
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::blue);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    PrintPage(image, page);
    QCOMPARE(page.pixel(199, 50), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(200, 249), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(399, 200), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(0, 49), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(399, 250), qRgb(0, 0, 255));

    // A tall picture, larger than the page: full height, its last row on it.
    MakePicture(image, 40, 1000, [](int, int y) { return y < 500 ? 0 : 200; });
    page.fill(Qt::blue);
    PrintPage(image, page);
    QCOMPARE(page.pixel(193, 150), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(194, 0), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(205, 299), qRgb(200, 200, 200));
    QCOMPARE(page.pixel(206, 150), qRgb(0, 0, 255));
}

void TestRenderer::printedPdfShowsTheWholePictureCentred() {
    const QString rasteriser = QStandardPaths::findExecutable("pdftoppm");
    if (rasteriser.isEmpty())
        QSKIP("pdftoppm (poppler-utils, installed by scripts/bootstrap.sh) is missing");
    // 100 x 400 on A4 portrait: black above, grey below.
    CImage image;
    MakePicture(image, 100, 400, [](int, int y) { return y < 200 ? 0 : 128; });
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("page.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    PrintPage(image, printer);
    QVERIFY(printer.printerState() != QPrinter::Error);
    const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
    const QRect place =
        PrintRect({100, 400}, printable.size(), printer.logicalDpiX(), printer.logicalDpiY())
            .translated(printable.topLeft());

    constexpr int kDotsPerInch = 50;
    QCOMPARE(
        QProcess::execute(rasteriser, {"-r", QString::number(kDotsPerInch), "-gray", "-singlefile",
                                       folder.filePath("page.pdf"), folder.filePath("page")}),
        0);
    const QImage paper(folder.filePath("page.pgm"));
    QVERIFY(!paper.isNull());
    // Where the picture landed: the box of everything not white.
    QRect drawn;
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            if (qGray(paper.pixel(x, y)) < 250) drawn |= QRect(x, y, 1, 1);
    const double scale = static_cast<double>(kDotsPerInch) / printer.resolution();
    const QRect expected(qRound(place.x() * scale), qRound(place.y() * scale),
                         qRound(place.width() * scale), qRound(place.height() * scale));
    const auto near = [](int a, int b) { return std::abs(a - b) <= 2; };
    QVERIFY2(near(drawn.left(), expected.left()) && near(drawn.right(), expected.right()) &&
                 near(drawn.top(), expected.top()) && near(drawn.bottom(), expected.bottom()),
             qPrintable(QString("drawn %1,%2 %3x%4, expected %5,%6 %7x%8")
                            .arg(drawn.x())
                            .arg(drawn.y())
                            .arg(drawn.width())
                            .arg(drawn.height())
                            .arg(expected.x())
                            .arg(expected.y())
                            .arg(expected.width())
                            .arg(expected.height())));
    // Centred across the sheet, the whole height of the printable area used,
    // and the lower half of the picture on paper.
    QVERIFY(near(drawn.center().x(), paper.width() / 2));
    QVERIFY(drawn.height() > paper.height() * 8 / 10);
    QVERIFY(std::abs(qGray(paper.pixel(drawn.center().x(), drawn.bottom() - 2)) - 128) <= 3);
    QVERIFY(qGray(paper.pixel(drawn.center().x(), drawn.top() + 2)) <= 3);
}

QTEST_MAIN(TestRenderer)
#include "tst_render.moc"
