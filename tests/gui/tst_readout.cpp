// The readout of the pixel under the mouse, as the status bar shows it while
// the real pointer moves over a zoomed, scrolled view. It needs an X server:
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
};

void TestReadout::x11PointerOverZoomedScrolledView_data() {
    QTest::addColumn<int>("zoomSteps");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<bool>("rainbow");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("one to one") << 0 << QPoint(0, 0) << false << QPoint(5, 7);
    QTest::newRow("zoomed in, scrolled") << 12 << QPoint(200, 150) << false << QPoint(90, 70);
    QTest::newRow("zoomed in, last pixel")
        << 12 << QPoint(10000, 10000) << false << QPoint(399, 299);
    QTest::newRow("false colours, scrolled") << 4 << QPoint(40, 30) << true << QPoint(61, 33);
}

void TestReadout::x11PointerOverZoomedScrolledView() {
    if (!IsX11()) QSKIP("needs an X server (runs under Xvfb)");
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) QSKIP("needs xdotool");
    QFETCH(int, zoomSteps);
    QFETCH(QPoint, scroll);
    QFETCH(bool, rainbow);
    QFETCH(QPoint, pixel);

    CMainFrame* frame = app_->MainFrame();
    COrvexDoc* doc = app_->DocManager()->NewDocument();
    LoadPicture(*doc, 400, 300);
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

    const int level = (pixel.x() + 3 * pixel.y()) % 256;
    QString expected = QString("x %1  y %2  niveau %3").arg(pixel.x()).arg(pixel.y()).arg(level);
    if (rainbow) {
        const CPaletteTable::Entry e = doc->GetImage()->GetPalette()->entries[level];
        expected += QString("  R %1 V %2 B %3").arg(e.red).arg(e.green).arg(e.blue);
    }
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
