// The child frame's splitter: up to 2 x 2 views of one document, the four
// layout commands, columns kept in step, panes dragged away.

#include <QSplitter>
#include <QtTest>

#include "CChildFrame.h"
#include "COrvexView.h"
#include "CommandIds.h"
#include "tst_view_support.h"

namespace {

QList<int> Heights(CChildFrame& frame) { return frame.findChild<QSplitter*>()->sizes(); }
QList<int> Widths(CChildFrame& frame, int row) {
    return static_cast<QSplitter*>(frame.findChild<QSplitter*>()->widget(row))->sizes();
}

}  // namespace

class TestSplitter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<COrvexView*>(); }
    void init() {
        doc_ = std::make_unique<COrvexDoc>();
        LoadPicture(*doc_, 120, 90);
        frame_ = std::make_unique<CChildFrame>(doc_.get());
        frame_->resize(401, 301);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    void cleanup() {
        frame_.reset();
        doc_.reset();
    }

    void startsWithOneView();
    void layoutCommandsLeaveAnUnsplitWindowAlone();
    void splitGivesFourViewsOfTheDocument();
    void layoutCommandsOnASplitWindow();
    void columnsStayInStep();
    void activeViewFollowsFocusAndStaysVisible();

private:
    std::unique_ptr<COrvexDoc> doc_;
    std::unique_ptr<CChildFrame> frame_;
};

void TestSplitter::startsWithOneView() {
    QCOMPARE(frame_->Views().size(), 1);
    QCOMPARE(frame_->GetActiveView(), frame_->ViewAt(0, 0));
    QCOMPARE(frame_->GetActiveView()->GetDocument(), doc_.get());
    for (int id : {cmd::WindowSplit, cmd::SplitHorizontal, cmd::SplitVertical, cmd::SplitFour,
                   cmd::SplitNone})
        QCOMPARE(frame_->IsCommandEnabled(id), std::optional<bool>(true));
    QCOMPARE(frame_->IsCommandEnabled(cmd::ZoomPlus), std::nullopt);
}

void TestSplitter::layoutCommandsLeaveAnUnsplitWindowAlone() {
    const QSize before = frame_->ViewAt(0, 0)->size();
    for (int id : {cmd::SplitFour, cmd::SplitHorizontal, cmd::SplitVertical, cmd::SplitNone}) {
        QVERIFY(frame_->OnCommand(id));
        QCOMPARE(frame_->Views().size(), 1);
        QCOMPARE(frame_->ViewAt(0, 0)->size(), before);
    }
}

void TestSplitter::splitGivesFourViewsOfTheDocument() {
    QVERIFY(frame_->OnCommand(cmd::WindowSplit));
    QCOMPARE(frame_->RowCount(), 2);
    QCOMPARE(frame_->ColumnCount(), 2);
    for (COrvexView* view : frame_->Views()) QCOMPARE(view->GetDocument(), doc_.get());
    QCOMPARE(Heights(*frame_)[0], 301 / 2);
    QCOMPARE(Widths(*frame_, 0)[0], 401 / 2);
    QCOMPARE(Widths(*frame_, 1), Widths(*frame_, 0));
    // Each pane keeps its own zoom.
    frame_->ViewAt(1, 1)->OnCommand(cmd::ZoomPlus);
    QCOMPARE(frame_->ViewAt(0, 0)->Zoom(), 1.0f);
}

void TestSplitter::layoutCommandsOnASplitWindow() {
    frame_->OnCommand(cmd::WindowSplit);
    frame_->OnCommand(cmd::SplitHorizontal);
    QCOMPARE(Heights(*frame_)[0], 150);
    QCOMPARE(Widths(*frame_, 0)[0], 0);
    QCOMPARE(Widths(*frame_, 1)[0], 0);
    frame_->OnCommand(cmd::SplitVertical);
    QCOMPARE(Heights(*frame_)[0], 0);
    QCOMPARE(Widths(*frame_, 0)[0], 200);
    frame_->OnCommand(cmd::SplitNone);
    QCOMPARE(Heights(*frame_)[0], 0);
    QCOMPARE(Widths(*frame_, 1)[0], 0);
    QVERIFY(Widths(*frame_, 1)[1] > 390);
    // The last pane reaches the window's edges: no gutter of a hidden bar.
    QCOMPARE(frame_->ViewAt(1, 1)->mapTo(frame_.get(), QPoint(0, 0)), QPoint(0, 0));
    QCOMPARE(frame_->ViewAt(1, 1)->size(), frame_->size());
    // Hidden panes stay, ready to come back; four equal zones again.
    QCOMPARE(frame_->Views().size(), 4);
    frame_->OnCommand(cmd::SplitFour);
    const QList<int> heights = Heights(*frame_), widths = Widths(*frame_, 0);
    QVERIFY(std::abs(heights[0] - heights[1]) <= frame_->findChild<QSplitter*>()->handleWidth());
    QVERIFY(std::abs(widths[0] - widths[1]) <= frame_->findChild<QSplitter*>()->handleWidth());
}

void TestSplitter::columnsStayInStep() {
    frame_->OnCommand(cmd::WindowSplit);
    auto* top = static_cast<QSplitter*>(frame_->findChild<QSplitter*>()->widget(0));
    QSplitterHandle* bar = top->handle(1);
    const QPoint start = bar->rect().center();
    QTest::mousePress(bar, Qt::LeftButton, {}, start);
    QTest::mouseMove(bar, start + QPoint(-60, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, start + QPoint(-60, 0));
    QVERIFY(Widths(*frame_, 0)[0] < 401 / 2 - 30);
    QCOMPARE(Widths(*frame_, 1), Widths(*frame_, 0));

    // Dragged out of the window, the left column goes away.
    QTest::mousePress(bar, Qt::LeftButton, {}, start);
    QTest::mouseMove(bar, start + QPoint(-400, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, start + QPoint(-400, 0));
    QTRY_COMPARE(frame_->ColumnCount(), 1);
    QCOMPARE(frame_->RowCount(), 2);
    QCOMPARE(frame_->Views().size(), 2);
    QVERIFY(frame_->Views().contains(frame_->GetActiveView()));
}

void TestSplitter::activeViewFollowsFocusAndStaysVisible() {
    frame_->OnCommand(cmd::WindowSplit);
    QSignalSpy changes(frame_.get(), &CChildFrame::activeViewChanged);
    frame_->ViewAt(0, 1)->setFocus();
    QTRY_COMPARE(frame_->GetActiveView(), frame_->ViewAt(0, 1));
    QCOMPARE(changes.count(), 1);
    frame_->OnCommand(cmd::NextPane);
    QCOMPARE(frame_->GetActiveView(), frame_->ViewAt(1, 0));
    frame_->OnCommand(cmd::PrevPane);
    QCOMPARE(frame_->GetActiveView(), frame_->ViewAt(0, 1));
    // "Aucun" shows only the last pane, which becomes the active one.
    frame_->OnCommand(cmd::SplitNone);
    QCOMPARE(frame_->GetActiveView(), frame_->ViewAt(1, 1));
}

QTEST_MAIN(TestSplitter)
#include "tst_view_splitter.moc"
