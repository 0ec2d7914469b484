// The readout of the pixel under the mouse, as the status bar shows it while
// the real pointer moves over a zoomed, scrolled view, a 12-bit file's own
// values included. It needs an X server:
// the suite runs it under Xvfb (x11 label), the pointer moved by xdotool.

#include <QLabel>
#include <QProcess>
#include <QScrollBar>

#include "COrvexView.h"
#include "ZoomSteps.h"
#include "tst_shell_support.h"
#include "tst_view_support.h"

namespace {

bool IsX11() { return QGuiApplication::platformName() == "xcb"; }

bool MovePointer(QPoint global) {
    return QProcess::execute("xdotool", {"mousemove", QString::number(global.x()),
                                         QString::number(global.y())}) == 0;
}

// Value (x, y) of the 12-bit file below.
int DeepValue(int x, int y) { return (7 * x + 13 * y) % 4096; }

// A 400 x 300 PGM file of maximum 4095 holding DeepValue.
QString WriteTwelveBitPgm(const QTemporaryDir& folder) {
    QByteArray bytes = "P5\n400 300\n4095\n";
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            bytes.append(char(DeepValue(x, y) >> 8)).append(char(DeepValue(x, y) & 0xFF));
    const QString path = folder.filePath("deep.pgm");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return path;
}

}  // namespace

class TestReadout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { shell_.InitTestCase(); }
    void init() { QVERIFY((app_ = shell_.Start())); }
    void cleanup() { shell_.Stop(); }

    void x11PointerOverZoomedScrolledView_data();
    void x11PointerOverZoomedScrolledView();

private:
    CShellApp shell_;
    COrvexApp* app_ = nullptr;
    QTemporaryDir folder_;
};

void TestReadout::x11PointerOverZoomedScrolledView_data() {
    QTest::addColumn<int>("zoomSteps");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<bool>("rainbow");
    QTest::addColumn<bool>("deep");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("one to one") << 0 << QPoint(0, 0) << false << false << QPoint(5, 7);
    QTest::newRow("zoomed in, scrolled")
        << 12 << QPoint(200, 150) << false << false << QPoint(90, 70);
    QTest::newRow("zoomed in, last pixel")
        << 12 << QPoint(10000, 10000) << false << false << QPoint(399, 299);
    QTest::newRow("false colours, scrolled")
        << 4 << QPoint(40, 30) << true << false << QPoint(61, 33);
    QTest::newRow("12-bit values, scrolled")
        << 6 << QPoint(100, 60) << false << true << QPoint(123, 98);
}

void TestReadout::x11PointerOverZoomedScrolledView() {
    if (!IsX11()) QSKIP("needs an X server (runs under Xvfb)");
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) QSKIP("needs xdotool");
    QFETCH(int, zoomSteps);
    QFETCH(QPoint, scroll);
    QFETCH(bool, rainbow);
    QFETCH(bool, deep);
    QFETCH(QPoint, pixel);

    CMainFrame* frame = app_->MainFrame();
    COrvexDoc* doc = deep ? app_->DocManager()->OpenDocument(WriteTwelveBitPgm(folder_))
                          : app_->DocManager()->NewDocument();
    QVERIFY(doc != nullptr);
    if (!deep) LoadPicture(*doc, 400, 300);
    if (rainbow) {
        doc->GetImage()->PaletteRainbow();
        doc->UpdateColours();
    }
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    COrvexView* view = frame->ActiveChildFrame()->GetActiveView();
    for (int i = 0; i < zoomSteps; ++i) view->ZoomBy(zoom::In);
    QCoreApplication::processEvents();  // the scroll bars show, the view narrows
    view->horizontalScrollBar()->setValue(scroll.x());
    view->verticalScrollBar()->setValue(scroll.y());
    const QPoint offset(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());

    // The middle of the pixel's square on screen.
    const QPoint centre(static_cast<int>((pixel.x() + 0.5) * view->Zoom()),
                        static_cast<int>((pixel.y() + 0.5) * view->Zoom()));
    QVERIFY2(view->viewport()->rect().contains(centre - offset), "the pixel is not in sight");
    QVERIFY(MovePointer(view->viewport()->mapToGlobal(centre - offset)));

    const int level = LevelAt(*doc->GetImage(), pixel.x(), pixel.y());
    QString expected = QString("x %1  y %2  niveau %3").arg(pixel.x()).arg(pixel.y()).arg(level);
    if (rainbow) {
        const CPaletteTable::Entry e = doc->GetImage()->GetPalette()->entries[level];
        expected += QString("  R %1 V %2 B %3").arg(e.red).arg(e.green).arg(e.blue);
    }
    if (deep) expected += QString("  valeur %1").arg(DeepValue(pixel.x(), pixel.y()));
    QLabel* pane = frame->StatusBar()->ReadoutPane();
    QTRY_COMPARE(pane->text(), expected);
    QVERIFY(pane->width() >= pane->fontMetrics().horizontalAdvance(expected));

    // Beside the picture, then out of the view: nothing.
    const QPoint beside(view->ScrollExtent().width() + 2, 5);
    if (view->viewport()->rect().contains(beside)) {
        QVERIFY(MovePointer(view->viewport()->mapToGlobal(beside)));
        QTRY_COMPARE(pane->text(), QString());
        QVERIFY(MovePointer(view->viewport()->mapToGlobal(centre - offset)));
        QTRY_COMPARE(pane->text(), expected);
    }
    QVERIFY(MovePointer(frame->StatusBar()->mapToGlobal(QPoint(5, 5))));
    QTRY_COMPARE(pane->text(), QString());
}

QTEST_MAIN(TestReadout)
#include "tst_readout.moc"
