// The command plumbing: one row per command, handlers that stop when their
// dialog is cancelled, the colours-only notification, the options of the run.

#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QtTest>

#include "CCommandSteps.h"
#include "CMainFrame.h"
#include "COrvexView.h"
#include "CRunOptions.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "MainFrameBars.h"
#include "StepsBasic.h"
#include "StepsImage.h"
#include "tst_view_support.h"

namespace {

// A handler in the shape of every dialog command: the dialog on the stack,
// then either nothing (cancel, or a refused value) or the command's steps.
void NegativeAfterDialog(COrvexDoc& doc, int level) {
    QDialog dialog;
    if (dialog.exec() != QDialog::Accepted) return;
    if (level > 255) return;  // a refused value changes nothing either
    CCommandSteps steps(doc);
    steps.Wait();
    StepNegative(steps.Core());
    steps.Repaint();
    steps.Modified();
}

void AnswerNextDialog(bool accept, std::source_location step = std::source_location::current()) {
    Answer<QDialog>([accept](QDialog& dialog) { accept ? dialog.accept() : dialog.reject(); },
                    step);
}

QList<int> IdsOf(const QList<QAction*>& actions) {
    QList<int> ids;
    for (QAction* action : actions) {
        if (action->menu()) ids += IdsOf(action->menu()->actions());
        if (!action->isSeparator() && action->data().isValid()) ids << action->data().toInt();
    }
    return ids;
}

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void everyCommandShownHasOneRow();
    void cancelledCommandLeavesTheDocumentAsItWas();
    void coloursOnlyChangeRepaintsWithoutRefitting();
    void perspectiveOptionsStartAtTheirDefaults();
    void enablingReadsWhatTheStepNeeds();
};

void TestCommands::everyCommandShownHasOneRow() {
    QSet<int> seen;
    for (const SCommandRow& row : CommandRows()) {
        QVERIFY2(!seen.contains(row.id), qPrintable(QString::number(row.id)));
        seen.insert(row.id);
    }
    CMainFrame frame;
    QList<int> shown = IdsOf(frame.menuBar()->actions());
    for (QMenu* menu : BuildDocumentMenus(&frame)) shown += IdsOf(menu->actions());
    shown += MainToolBarIds() + ImageToolBarIds();
    shown.removeAll(0);
    for (int id : shown) QVERIFY2(seen.contains(id), qPrintable(QString::number(id)));
}

void TestCommands::cancelledCommandLeavesTheDocumentAsItWas() {
    for (const bool wasModified : {false, true}) {
        COrvexDoc doc;
        LoadPicture(doc, 6, 4);
        doc.SetModifiedFlag(wasModified);
        const QString history = doc.GetHistory();
        QSignalSpy repaints(&doc, &COrvexDoc::picturesChanged);

        AnswerNextDialog(false);
        NegativeAfterDialog(doc, 10);
        AnswerNextDialog(true);
        NegativeAfterDialog(doc, 300);
        QCOMPARE(doc.IsModified(), wasModified);
        QCOMPARE(doc.GetHistory(), history);
        QVERIFY(!doc.GetImage()->HasBackup());
        QCOMPARE(repaints.count(), 0);
        QCOMPARE(LevelAt(*doc.GetImage(), 1, 0), 1);

        AnswerNextDialog(true);
        NegativeAfterDialog(doc, 10);
        QVERIFY(doc.IsModified());
        QCOMPARE(LevelAt(*doc.GetImage(), 1, 0), 254);
        QCOMPARE(repaints.count(), 1);
        QVERIFY(!QApplication::overrideCursor());
    }
}

void TestCommands::coloursOnlyChangeRepaintsWithoutRefitting() {
    COrvexDoc doc;
    LoadPicture(doc, 300, 200);
    COrvexView zoomed(&doc), roi(&doc);
    QVERIFY(Shown(zoomed, 150, 150));
    QVERIFY(Shown(roi, 400, 300));
    zoomed.OnCommand(cmd::ZoomPlus);
    roi.OnCommand(cmd::Roi);
    QTest::mousePress(roi.viewport(), Qt::LeftButton, {}, {10, 20});
    QTest::mouseMove(roi.viewport(), {50, 60});
    QTest::mouseRelease(roi.viewport(), Qt::LeftButton, {}, {50, 60});
    // The picture's region moves away from the view's rectangle, as another
    // view's drawing would make it.
    doc.GetImage()->SetRoi({0, 0, 5, 5});
    const QSize extent = zoomed.ScrollExtent();
    const CRect roiBefore = doc.GetImage()->GetRoi();
    zoomed.horizontalScrollBar()->setValue(20);
    QSignalSpy pictures(&doc, &COrvexDoc::picturesChanged);
    CPaintCounter zoomedPaints(zoomed), roiPaints(roi);

    doc.GetImage()->PaletteRainbow();
    doc.UpdateColours();
    QTRY_VERIFY(zoomedPaints.count >= 1 && roiPaints.count >= 1);
    QCOMPARE(pictures.count(), 0);
    QCOMPARE(zoomed.ScrollExtent(), extent);
    QCOMPARE(zoomed.horizontalScrollBar()->value(), 20);
    QCOMPARE(zoomed.Zoom(), 1.1f);
    QVERIFY(roi.IsRoiMode());
    QCOMPARE(roi.RoiRect(), (CRect{10, 20, 50, 60}));
    QCOMPARE(doc.GetImage()->GetRoi(), roiBefore);
}

// What the options sheet changes for the run is checked through the sheet
// (tst_viewcommands); here, the values a run starts with.
void TestCommands::perspectiveOptionsStartAtTheirDefaults() {
    const PerspectiveParams& p = CRunOptions::Get().perspective;
    QCOMPARE((QList<int>{p.amplitude, p.border, p.rightAngle, p.leftAngle, p.background, p.edge}),
             (QList<int>{64, 10, 30, 30, 100, 255}));
}

void TestCommands::enablingReadsWhatTheStepNeeds() {
    COrvexDoc empty, grey;
    LoadPicture(grey, 3, 3);
    COrvexView emptyView(&empty), greyView(&grey);
    // A step that needs a 256-colour picture, and one that needs nothing.
    QVERIFY(!Needs<StepRotate>()(emptyView));
    QVERIFY(Needs<StepRotate>()(greyView));
    QVERIFY(Needs<StepUniform>()(empty));
    QCOMPARE(empty.IsCommandEnabled(cmd::Negative), std::optional<bool>(false));
    QCOMPARE(grey.IsCommandEnabled(cmd::Negative), std::optional<bool>(true));
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
