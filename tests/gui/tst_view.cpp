// The view: enabling rules, zoom steps and limits, auto zoom, the region of
// interest drawn with the mouse, keyboard scrolling, palettes, the palette
// bar, undo, and several views of one document.

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QtTest>

#include "COrvexView.h"
#include "CommandIds.h"
#include "PrintPicture.h"
#include "tst_view_support.h"

namespace {

// View commands that need a 256-colour picture, and those always enabled.
const QList<int> kFullPaletteDialogCommands = {
    cmd::PerspectiveGradient, cmd::PerspectiveCloud, cmd::Histogram,
    cmd::ManualThreshold,     cmd::Rotation,         cmd::Resize,
    cmd::PaletteEdit};
const QList<int> kAlwaysDialogCommands = {cmd::Uniform};
const QList<int> kPaletteCommands = {cmd::PaletteBinary, cmd::PaletteGrey,  cmd::PaletteRainbow,
                                     cmd::PaletteHeat,   cmd::PaletteMetal, cmd::PaletteBar};

std::optional<bool> Yes(bool value) { return value; }

// Counts the repaints of a view.
QString LastHistoryLine(const COrvexDoc& doc) {
    QStringList lines = doc.GetHistory().split("\r\n", Qt::SkipEmptyParts);
    return lines.last();
}

}  // namespace

class TestView : public QObject {
    Q_OBJECT
private slots:
    void enablingRules();
    void zoomStepsAndLimits();
    void zoomPlusScalesTheExtent();
    void autoZoomFillsTheClientArea();
    void regionOfInterestFollowsTheMouse();
    void regionOfInterestLimitsProcessing();
    void regionOfInterestIsDrawnInverted();
    void keyboardScrolling();
    void paletteCommands();
    void paletteBarTwice();
    void viewsRepaintTogetherWithTheirOwnZoom();
    void contextMenu();
    void regionOfInterestIsTheOneLastDrawn();
    void fitUsesThePicturesOwnSize();
    void printAndPreviewUseTheRunsPrinter();
};

void TestView::enablingRules() {
    QGuiApplication::clipboard()->clear();
    COrvexDoc empty;
    COrvexView emptyView(&empty);
    for (int id : QList<int>{cmd::ZoomNormal, cmd::ZoomAuto, cmd::ZoomPlus, cmd::ZoomMinus,
                             cmd::FilePrint, cmd::FilePrintPreview} +
                      kAlwaysDialogCommands)
        QCOMPARE(emptyView.IsCommandEnabled(id), Yes(true));
    for (int id : kPaletteCommands + kFullPaletteDialogCommands +
                      QList<int>{cmd::Roi, cmd::EditUndo, cmd::EditCopy, cmd::EditPaste})
        QCOMPARE(emptyView.IsCommandEnabled(id), Yes(false));
    QCOMPARE(emptyView.IsCommandEnabled(cmd::Negative), std::nullopt);

    COrvexDoc colour;
    QVERIFY(colour.OnOpenDocument(QDir(BmpSuiteFolder("g")).filePath("rgb24.bmp")));
    COrvexView colourView(&colour);
    for (int id : kPaletteCommands + kFullPaletteDialogCommands + QList<int>{cmd::Roi})
        QCOMPARE(colourView.IsCommandEnabled(id), Yes(false));
    for (int id : kAlwaysDialogCommands + QList<int>{cmd::EditCopy})
        QCOMPARE(colourView.IsCommandEnabled(id), Yes(true));

    COrvexDoc grey;
    LoadPicture(grey, 20, 10);
    COrvexView view(&grey);
    for (int id : kPaletteCommands + QList<int>{cmd::Roi})
        QCOMPARE(view.IsCommandEnabled(id), Yes(true));
    for (int id : kFullPaletteDialogCommands + kAlwaysDialogCommands + QList<int>{cmd::EditCopy})
        QCOMPARE(view.IsCommandEnabled(id), Yes(true));
    QCOMPARE(view.IsCommandEnabled(cmd::EditPaste), Yes(false));
    QCOMPARE(view.IsCommandChecked(cmd::ZoomAuto), Yes(false));
    grey.OnCommand(cmd::Negative);
    QCOMPARE(view.IsCommandEnabled(cmd::EditUndo), Yes(true));

    // Auto zoom: no zoom steps and no region of interest.
    view.OnCommand(cmd::ZoomAuto);
    QCOMPARE(view.IsCommandChecked(cmd::ZoomAuto), Yes(true));
    for (int id : {cmd::ZoomPlus, cmd::ZoomMinus, cmd::Roi})
        QCOMPARE(view.IsCommandEnabled(id), Yes(false));
    view.OnCommand(cmd::ZoomAuto);
    // Away from 1.0 the region of interest cannot be drawn.
    view.OnCommand(cmd::ZoomPlus);
    QCOMPARE(view.IsCommandEnabled(cmd::Roi), Yes(false));
}

void TestView::zoomStepsAndLimits() {
    COrvexDoc doc;
    LoadPicture(doc, 20, 10);
    COrvexView view(&doc);
    view.OnCommand(cmd::ZoomMinus);
    view.OnCommand(cmd::ZoomPlus);
    QCOMPARE(view.Zoom(), 1.0f);
    view.OnCommand(cmd::ZoomPlus);
    view.OnCommand(cmd::ZoomMinus);
    QCOMPARE(view.Zoom(), 1.0f);

    int steps = 0;
    while (view.IsCommandEnabled(cmd::ZoomPlus).value() && steps < 100)
        view.OnCommand(cmd::ZoomPlus), ++steps;
    QCOMPARE(steps, 25);
    QVERIFY(std::abs(view.Zoom() - 10.83f) < 0.01f);
    view.OnCommand(cmd::ZoomPlus);  // disabled: nothing happens
    QVERIFY(std::abs(view.Zoom() - 10.83f) < 0.01f);

    view.OnCommand(cmd::ZoomNormal);
    QCOMPARE(view.Zoom(), 1.0f);
    steps = 0;
    while (view.IsCommandEnabled(cmd::ZoomMinus).value() && steps < 100)
        view.OnCommand(cmd::ZoomMinus), ++steps;
    QCOMPARE(steps, 25);
    QVERIFY(std::abs(view.Zoom() - 0.0923f) < 0.0005f);
}

void TestView::zoomPlusScalesTheExtent() {
    COrvexDoc doc;
    LoadPicture(doc, 100, 80);
    COrvexView view(&doc);
    QCOMPARE(view.ScrollExtent(), QSize(100, 80));
    view.OnCommand(cmd::Roi);
    QVERIFY(view.IsRoiMode());
    view.OnCommand(cmd::ZoomPlus);
    QCOMPARE(view.ScrollExtent(), QSize(110, 88));
    QVERIFY(!view.IsRoiMode());
    // The picture's own region is the whole picture again.
    QCOMPARE(doc.GetImage()->GetRoi(), (CRect{0, 0, 100, 80}));
    view.OnCommand(cmd::ZoomNormal);
    QCOMPARE(view.ScrollExtent(), QSize(100, 80));
}

void TestView::autoZoomFillsTheClientArea() {
    COrvexDoc doc;
    MakePicture(*doc.GetImage(), 30, 10, [](int x, int) { return x < 15 ? 0 : 255; });
    COrvexView view(&doc);
    QVERIFY(Shown(view, 400, 300));
    view.OnCommand(cmd::ZoomAuto);
    QTRY_COMPARE(view.ScrollExtent(), view.viewport()->size());
    const QSize client = view.viewport()->size();
    QCOMPARE(view.DisplayRect(), (CRect{0, 0, client.width(), client.height()}));
    QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
    // Stretched without keeping proportions: black left half, white right half.
    const QImage shot = view.viewport()->grab().toImage();
    QCOMPARE(shot.pixel(client.width() / 2 - 2, client.height() - 1), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(client.width() / 2 + 2, client.height() - 1), qRgb(255, 255, 255));
    // Resizing re-stretches.
    view.resize(300, 200);
    QTRY_COMPARE(view.ScrollExtent(), view.viewport()->size());
    view.OnCommand(cmd::ZoomAuto);
    QCOMPARE(view.ScrollExtent(), QSize(30, 10));
    QCOMPARE(view.DisplayRect(), (CRect{0, 0, 30, 10}));
}

void TestView::regionOfInterestFollowsTheMouse() {
    COrvexDoc doc;
    LoadPicture(doc, 100, 80);
    COrvexView view(&doc);
    QVERIFY(Shown(view, 300, 300));
    view.OnCommand(cmd::Roi);
    QWidget* surface = view.viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, {10, 20});
    QTest::mouseMove(surface, {50, 60});
    QCOMPARE(view.RoiRect(), (CRect{10, 20, 50, 60}));
    // Columns 10..49 and displayed rows 20..59, kept bottom-up by the picture.
    QCOMPARE(doc.GetImage()->GetRoi(), (CRect{10, 80 - 60, 50, 80 - 20}));
    // The last column cannot be reached: the rectangle stays as it was.
    QTest::mouseMove(surface, {99, 60});
    QCOMPARE(view.RoiRect(), (CRect{10, 20, 50, 60}));
    QTest::mouseMove(surface, {-5, 30});
    QCOMPARE(view.RoiRect(), (CRect{10, 20, 50, 60}));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, {50, 60});
    // Without the button the mouse draws nothing.
    QTest::mouseMove(surface, {30, 30});
    QCOMPARE(view.RoiRect(), (CRect{10, 20, 50, 60}));
}

void TestView::regionOfInterestLimitsProcessing() {
    COrvexDoc doc;
    MakePicture(*doc.GetImage(), 100, 80, [](int, int) { return 10; });
    COrvexView view(&doc);
    QVERIFY(Shown(view, 300, 300));
    view.OnCommand(cmd::Roi);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, {10, 20});
    QTest::mouseMove(view.viewport(), {50, 60});
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, {50, 60});
    doc.OnCommand(cmd::Negative);
    QCOMPARE(LevelAt(*doc.GetImage(), 10, 20), 245);
    QCOMPARE(LevelAt(*doc.GetImage(), 49, 59), 245);
    QCOMPARE(LevelAt(*doc.GetImage(), 50, 59), 10);
    QCOMPARE(LevelAt(*doc.GetImage(), 49, 60), 10);
    view.OnCommand(cmd::Roi);
    doc.OnCommand(cmd::Negative);
    QCOMPARE(LevelAt(*doc.GetImage(), 10, 20), 10);
    QCOMPARE(LevelAt(*doc.GetImage(), 0, 0), 245);
    // Switched on again, the outline shown is the region processed.
    view.OnCommand(cmd::Roi);
    QCOMPARE(doc.GetImage()->GetRoi(), (CRect{10, 20, 50, 60}));
}

void TestView::regionOfInterestIsDrawnInverted() {
    COrvexDoc doc;
    MakePicture(*doc.GetImage(), 90, 60, [](int, int) { return 0; });
    COrvexView view(&doc);
    QVERIFY(Shown(view, 200, 200));
    view.OnCommand(cmd::Roi);
    // Before any drag the outline is the middle third.
    QCOMPARE(view.RoiRect(), (CRect{30, 20, 60, 40}));
    const QImage shot = view.viewport()->grab().toImage();
    QCOMPARE(shot.pixel(30, 20), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(45, 40), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(45, 30), qRgb(0, 0, 0));
}

void TestView::keyboardScrolling() {
    COrvexDoc doc;
    LoadPicture(doc, 1000, 2000);
    COrvexView view(&doc);
    QVERIFY(Shown(view, 200, 200));
    QScrollBar* h = view.horizontalScrollBar();
    QScrollBar* v = view.verticalScrollBar();
    // A page is a tenth of the extent, a line a tenth of a page.
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(v->value(), 200);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(v->value(), 220);
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(h->value(), 10);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(h->value(), h->maximum());
    QCOMPARE(v->value(), 220);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(v->value(), v->maximum());
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(h->value(), 0);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(v->value(), 0);
    // A picture that fits does not scroll.
    COrvexDoc small;
    LoadPicture(small, 20, 20);
    COrvexView fits(&small);
    fits.resize(200, 200);
    fits.show();
    QTest::keyClick(&fits, Qt::Key_PageDown);
    QCOMPARE(fits.verticalScrollBar()->value(), 0);
}

void TestView::paletteCommands() {
    const QList<QPair<int, QString>> lines = {
        {cmd::PaletteBinary, "Palette binaire"},
        {cmd::PaletteGrey, "Palette niveaux de gris"},
        {cmd::PaletteRainbow, "Palette fausses couleurs"},
        {cmd::PaletteHeat, "Palette thermique"},
        {cmd::PaletteMetal, "Palette métallique"},
    };
    for (const auto& [id, line] : lines) {
        COrvexDoc doc;
        LoadPicture(doc, 8, 8);
        COrvexView view(&doc);
        QSignalSpy repaints(&doc, &COrvexDoc::coloursChanged);
        const CPaletteTable before = *doc.GetImage()->GetPalette();
        QVERIFY(view.OnCommand(id));
        QCOMPARE(LastHistoryLine(doc), line);
        QVERIFY(doc.IsModified());
        QVERIFY(repaints.count() >= 1);
        view.OnCommand(cmd::EditUndo);
        QVERIFY(doc.GetImage()->GetPalette()->entries == before.entries);
    }
}

void TestView::paletteBarTwice() {
    COrvexDoc doc;
    LoadPicture(doc, 50, 30);
    COrvexView view(&doc);
    view.OnCommand(cmd::ZoomPlus);
    view.OnCommand(cmd::PaletteBar);
    QCOMPARE(view.Zoom(), 1.0f);
    view.OnCommand(cmd::PaletteBar);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{50, 70}));
    QCOMPARE(view.ScrollExtent(), QSize(50, 70));
    const QStringList lines = doc.GetHistory().split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.mid(1), (QStringList{"Ajout de la palette(20)", "Ajout de la palette(20)"}));
    // Undo in a zoomed view keeps its zoom and fits the extent to it.
    view.OnCommand(cmd::ZoomPlus);
    view.OnCommand(cmd::EditUndo);
    QCOMPARE(doc.GetImage()->GetSize(), (CSize{50, 50}));
    QCOMPARE(view.ScrollExtent(), QSize(55, 55));
}

void TestView::viewsRepaintTogetherWithTheirOwnZoom() {
    COrvexDoc doc;
    LoadPicture(doc, 60, 40);
    COrvexView first(&doc), second(&doc);
    first.resize(150, 150);
    second.resize(150, 150);
    first.show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    second.OnCommand(cmd::ZoomPlus);
    QCOMPARE(first.Zoom(), 1.0f);
    QCOMPARE(second.Zoom(), 1.1f);
    QCoreApplication::processEvents();  // the repaints asked for so far are done
    CPaintCounter firstPaints(first), secondPaints(second);
    doc.OnCommand(cmd::Negative);
    QTRY_VERIFY(firstPaints.count >= 1 && secondPaints.count >= 1);
    // A size change made in one view is followed by the other at its own zoom.
    first.OnCommand(cmd::PaletteBar);
    QCOMPARE(second.Zoom(), 1.1f);
    QCOMPARE(second.DisplayRect(), (CRect{0, 0, 60, 60}));
    QCOMPARE(second.ScrollExtent(), QSize(66, 66));
}

void TestView::contextMenu() {
    COrvexDoc doc;
    LoadPicture(doc, 60, 40);
    COrvexView view(&doc);
    std::unique_ptr<QMenu> menu(view.CreateContextMenu(nullptr));
    QStringList labels;
    for (QAction* a : menu->actions()) labels << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(labels, (QStringList{"Annuler", "Copier", "Coller", "-", "Zoom", "Palette",
                                  "Browser de filtres"}));
    QCOMPARE(menu->actions()[0]->isEnabled(), false);
    const QList<QAction*> zoomItems = menu->actions()[4]->menu()->actions();
    QCOMPARE(zoomItems[0]->text(), QString("Normal"));
    QVERIFY(zoomItems[2]->isCheckable() && !zoomItems[2]->isChecked());
    // Shift+F10 opens it 5 pixels inside the top-left corner.
    QVERIFY(Shown(view, 200, 200));
    QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(popup->pos(), view.viewport()->mapToGlobal(QPoint(5, 5)));
    popup->close();
}

namespace {

void Drag(COrvexView& view, QPoint from, QPoint to) {
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view.viewport(), to);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
}

}  // namespace

void TestView::regionOfInterestIsTheOneLastDrawn() {
    COrvexDoc doc;
    MakePicture(*doc.GetImage(), 100, 80, [](int, int) { return 10; });
    COrvexView first(&doc), second(&doc);
    QVERIFY(Shown(first, 200, 200));
    QVERIFY(Shown(second, 200, 200));
    first.OnCommand(cmd::Roi);
    second.OnCommand(cmd::Roi);
    Drag(second, {60, 50}, {70, 60});
    Drag(first, {10, 20}, {30, 40});
    // Two changes in a row: neither view puts its own rectangle back.
    doc.OnCommand(cmd::Negative);
    doc.OnCommand(cmd::Negative);
    doc.OnCommand(cmd::Negative);
    QCOMPARE(LevelAt(*doc.GetImage(), 10, 20), 245);
    QCOMPARE(LevelAt(*doc.GetImage(), 60, 50), 10);
    // After undo the region is the whole picture, whatever the outlines show.
    second.OnCommand(cmd::EditUndo);
    QCOMPARE(doc.GetImage()->GetRoi(), (CRect{0, 0, 100, 80}));
    doc.OnCommand(cmd::Negative);
    QCOMPARE(LevelAt(*doc.GetImage(), 90, 70), 245);
    // Leaving ROI mode in one view frees the whole picture again.
    Drag(first, {10, 20}, {30, 40});
    second.OnCommand(cmd::Roi);
    QCOMPARE(doc.GetImage()->GetRoi(), (CRect{0, 0, 100, 80}));
}

void TestView::fitUsesThePicturesOwnSize() {
    COrvexDoc doc;
    LoadPicture(doc, 100, 80);
    COrvexView view(&doc);
    view.OnCommand(cmd::ZoomPlus);
    view.OnCommand(cmd::ZoomPlus);
    QCOMPARE(view.ScrollExtent(), QSize(121, 96));
    // Fitting, as paste does, leaves the zoom alone and takes the picture's
    // size, which the scroll extent shows at that zoom.
    view.FitToPicture();
    QCOMPARE(view.ScrollExtent(), QSize(121, 96));
    QCOMPARE(view.DisplayRect(), (CRect{0, 0, 100, 80}));
    QCOMPARE(view.Zoom(), 1.1f * 1.1f);
}

void TestView::printAndPreviewUseTheRunsPrinter() {
    COrvexDoc doc;
    LoadPicture(doc, 20, 10);
    RunPrinter().setPageOrientation(QPageLayout::Landscape);
    QPrinter* used = nullptr;
    Answer<QPrintPreviewDialog>(
        [&used](QPrintPreviewDialog& preview) { used = preview.printer(); });
    PreviewPicture(*doc.GetImage(), nullptr);
    QCOMPARE(used, &RunPrinter());
    QCOMPARE(used->pageLayout().orientation(), QPageLayout::Landscape);
}

QTEST_MAIN(TestView)
#include "tst_view.moc"
