// The histogram dialog: its exact drawing, and in threshold mode the mouse
// rules for the two bounds and the preview it asks for.

#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include "CDialogHistogram.h"
#include "tst_view_support.h"

namespace {

using Mode = CDialogHistogram::Mode;

const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255), kGrey = qRgb(192, 192, 192);

void SendMouse(QWidget& widget, QEvent::Type type, int x, int y = 50) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

void Click(QWidget& widget, int x, int y = 50) {
    SendMouse(widget, QEvent::MouseButtonPress, x, y);
    SendMouse(widget, QEvent::MouseButtonRelease, x, y);
}

// Rows of column x (from the top border to the bottom border) that are black.
int BlackRows(const QImage& drawing, int x) {
    int rows = 0;
    for (int y = 11; y <= 100; ++y) rows += drawing.pixel(x, y) == kBlack;
    return rows;
}

}  // namespace

class TestHistogram : public QObject {
    Q_OBJECT

private slots:
    void init();

    void singleLevelShowsOneFullBar();
    void barsAreTruncatedProportions();
    void emptyHistogramDrawsOnlyWhatTheModeNeeds();
    void initialIntervalIsInvertedBetweenTheBounds();
    void clicksMoveTheNearerBound();
    void dragPastTheOtherBoundSwapsOnRelease();
    void movesOutsideTheHistogramAreIgnored();
    void equalBoundsGiveOneLevel();
    void cancelKeepsWindowCoordinates();
    void displayModeIgnoresTheMouse();

private:
    CImage image_;
};

void TestHistogram::init() {
    // Level v appears v + 1 times, level 255 300 times: 32940 = 180 x 183 pixels.
    std::vector<int> levels;
    for (int v = 0; v < 256; ++v) levels.insert(levels.end(), v == 255 ? 300 : v + 1, v);
    MakePicture(image_, 180, 183, [&](int x, int y) { return levels[y * 180 + x]; });
    QVERIFY(image_.GenerateHistogram());
    QCOMPARE(image_.GetHistogramMax(), 300u);
}

void TestHistogram::singleLevelShowsOneFullBar() {
    CImage flat;
    flat.CreateEmptyImage(40, 30, 77);
    QVERIFY(flat.GenerateHistogram());
    CDialogHistogram dialog(flat, Mode::Display);
    const QImage& drawing = dialog.Drawing();
    QCOMPARE(drawing.size(), QSize(286, 165));
    QCOMPARE(BlackRows(drawing, 10 + 77), 90);
    QCOMPARE(drawing.pixel(10 + 77, 10), kBlack);  // the frame
    // Other columns keep only the bottom border.
    for (int level : {1, 76, 78, 255}) QCOMPARE(BlackRows(drawing, 10 + level), 1);
    QCOMPARE(drawing.pixel(266, 50), kBlack);
    QCOMPARE(drawing.pixel(267, 50), kGrey);
    QCOMPARE(drawing.pixel(5, 5), kGrey);
    QCOMPARE(drawing.pixel(285, 164), kGrey);
    // Display only: no band, no values.
    QCOMPARE(drawing.pixel(20, 110), kGrey);
}

void TestHistogram::barsAreTruncatedProportions() {
    CDialogHistogram dialog(image_, Mode::Display);
    // trunc(count * 90 / 300); the bottom border row is black anyway.
    const std::pair<int, int> bars[] = {{1, 1}, {2, 1}, {9, 3}, {199, 60}, {254, 76}, {255, 90}};
    for (const auto& [level, rows] : bars) QCOMPARE(BlackRows(dialog.Drawing(), 10 + level), rows);
}

void TestHistogram::emptyHistogramDrawsOnlyWhatTheModeNeeds() {
    CImage none;  // no picture, so every bin and the maximum are 0
    CDialogHistogram display(none, Mode::Display);
    QCOMPARE(display.Drawing().pixel(10, 10), kGrey);
    QCOMPARE(display.Drawing().pixel(100, 50), kGrey);

    CDialogHistogram threshold(none, Mode::Threshold);
    QCOMPARE(threshold.Drawing().pixel(10, 10), kBlack);
    QCOMPARE(threshold.Drawing().pixel(100, 50), kWhite);
    QCOMPARE(threshold.Drawing().pixel(200, 50), kBlack);  // inside the band
    bool text = false;
    for (int x = 10; x <= 110; ++x)
        for (int y = 103; y <= 123; ++y) text |= threshold.Drawing().pixel(x, y) != kGrey;
    QVERIFY(text);
}

void TestHistogram::initialIntervalIsInvertedBetweenTheBounds() {
    CImage flat;
    flat.CreateEmptyImage(10, 10, 250);
    QVERIFY(flat.GenerateHistogram());
    CDialogHistogram dialog(flat, Mode::Threshold);
    QSignalSpy preview(&dialog, &CDialogHistogram::thresholdPreview);
    dialog.show();
    QCOMPARE(preview.count(), 1);
    QCOMPARE(preview.at(0), (QVariantList{128, 255}));
    QCOMPARE(dialog.Low(), 138);
    QCOMPARE(dialog.High(), 265);
    const QImage& d = dialog.Drawing();
    QCOMPARE(d.pixel(138, 50), kWhite);  // the bound columns stay
    QCOMPARE(d.pixel(139, 50), kBlack);
    QCOMPARE(d.pixel(264, 50), kBlack);
    QCOMPARE(d.pixel(265, 50), kWhite);
    QCOMPARE(d.pixel(10 + 250, 50), kWhite);  // a bar inside the band turns white
    QCOMPARE(d.pixel(139, 10), kBlack);       // the frame stays
    QCOMPARE(d.pixel(139, 100), kBlack);
    dialog.accept();
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(dialog.Low(), 128);
    QCOMPARE(dialog.High(), 255);
}

void TestHistogram::clicksMoveTheNearerBound() {
    CDialogHistogram dialog(image_, Mode::Threshold);
    QSignalSpy preview(&dialog, &CDialogHistogram::thresholdPreview);
    Click(dialog, 10);
    QCOMPARE(dialog.Low(), 10);
    Click(dialog, 265);
    QCOMPARE(dialog.High(), 265);
    Click(dialog, 266);  // outside: the high bound cannot reach 256
    QCOMPARE(dialog.High(), 265);
    Click(dialog, 201);
    QCOMPARE(dialog.High(), 201);
    Click(dialog, 11);
    QCOMPARE(dialog.Low(), 11);
    Click(dialog, 106);  // exactly midway between 11 and 201
    QCOMPARE(dialog.Low(), 11);
    QCOMPARE(dialog.High(), 106);
    Click(dialog, 50, 100);  // the bottom border is outside
    Click(dialog, 50, 9);
    QCOMPARE(dialog.Low(), 11);
    // Press and release each settle the interval.
    QCOMPARE(preview.count(), 10);
    QCOMPARE(preview.last(), (QVariantList{1, 96}));
}

void TestHistogram::dragPastTheOtherBoundSwapsOnRelease() {
    CDialogHistogram dialog(image_, Mode::Threshold);
    QSignalSpy preview(&dialog, &CDialogHistogram::thresholdPreview);
    Click(dialog, 250);
    QCOMPARE(dialog.High(), 250);
    SendMouse(dialog, QEvent::MouseButtonPress, 140);
    QCOMPARE(dialog.Low(), 140);
    preview.clear();
    SendMouse(dialog, QEvent::MouseMove, 200);
    SendMouse(dialog, QEvent::MouseMove, 255);
    // While moving the bounds stand as dragged and nothing is previewed.
    QCOMPARE(dialog.Low(), 255);
    QCOMPARE(dialog.High(), 250);
    QCOMPARE(preview.count(), 0);
    const QImage& d = dialog.Drawing();
    // Columns 250 .. 255 inverted; near the top only level 255 has a bar.
    QCOMPARE(d.pixel(249, 15), kWhite);
    QCOMPARE(d.pixel(250, 15), kBlack);
    QCOMPARE(d.pixel(255, 15), kBlack);
    QCOMPARE(d.pixel(256, 15), kWhite);
    SendMouse(dialog, QEvent::MouseButtonRelease, 255);
    QCOMPARE(dialog.Low(), 250);
    QCOMPARE(dialog.High(), 255);
    QCOMPARE(preview.count(), 1);
    QCOMPARE(preview.at(0), (QVariantList{240, 245}));
    dialog.accept();
    QCOMPARE(dialog.Low(), 240);
    QCOMPARE(dialog.High(), 245);
}

void TestHistogram::movesOutsideTheHistogramAreIgnored() {
    CDialogHistogram dialog(image_, Mode::Threshold);
    SendMouse(dialog, QEvent::MouseButtonPress, 100);
    SendMouse(dialog, QEvent::MouseMove, 120);
    SendMouse(dialog, QEvent::MouseMove, 280);
    SendMouse(dialog, QEvent::MouseMove, 130, 120);
    QCOMPARE(dialog.Low(), 120);
    SendMouse(dialog, QEvent::MouseButtonRelease, 280);
    SendMouse(dialog, QEvent::MouseMove, 30);  // no longer dragging
    QCOMPARE(dialog.Low(), 120);
}

void TestHistogram::equalBoundsGiveOneLevel() {
    CDialogHistogram dialog(image_, Mode::Threshold);
    QSignalSpy preview(&dialog, &CDialogHistogram::thresholdPreview);
    Click(dialog, 230);
    SendMouse(dialog, QEvent::MouseButtonPress, 100);
    SendMouse(dialog, QEvent::MouseMove, 230);
    SendMouse(dialog, QEvent::MouseButtonRelease, 230);
    QCOMPARE(preview.last(), (QVariantList{220, 220}));
    dialog.accept();
    QCOMPARE(dialog.Low(), 220);
    QCOMPARE(dialog.High(), 220);
}

void TestHistogram::cancelKeepsWindowCoordinates() {
    CDialogHistogram dialog(image_, Mode::Threshold);
    Click(dialog, 60);
    dialog.reject();
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(dialog.Low(), 60);
    QCOMPARE(dialog.High(), 265);
}

void TestHistogram::displayModeIgnoresTheMouse() {
    CDialogHistogram dialog(image_, Mode::Display);
    QSignalSpy preview(&dialog, &CDialogHistogram::thresholdPreview);
    const QImage before = dialog.Drawing();
    dialog.show();
    SendMouse(dialog, QEvent::MouseButtonPress, 20);
    SendMouse(dialog, QEvent::MouseMove, 200);
    SendMouse(dialog, QEvent::MouseButtonRelease, 200);
    QCOMPARE(preview.count(), 0);
    QCOMPARE(dialog.Drawing(), before);
    QCOMPARE(dialog.Low(), 138);
}

QTEST_MAIN(TestHistogram)
#include "tst_histogram.moc"
