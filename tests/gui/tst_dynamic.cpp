// The tone-curve dialog driven through its radio buttons and its small
// up/down buttons: tables, limits, the fields and the graph.

#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "CDialogDynamic.h"
#include "tst_dialog_support.h"

namespace {

QString Field(CDialogDynamic& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(name)->text();
}

void Click(CDialogDynamic& dialog, const char* name, int times = 1) {
    auto* button = dialog.findChild<QToolButton*>(name);
    QVERIFY(button != nullptr);
    for (int i = 0; i < times; ++i) QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class TestDynamic : public QObject {
    Q_OBJECT

private slots:
    void opensLinearWithNothingMarked();
    void inverseThenApply();
    void powerCurveAndGammaLimit();
    void rootCurveFollowsGammaButtons();
    void buttonLimits();
    void logarithmicLevelThroughIndexButtons();
    void valueKeptUntilNextIndexStep();
    void graphShowsTheCurve();
    void cancelReturnsZero();
};

void TestDynamic::opensLinearWithNothingMarked() {
    CDialogDynamic dialog;
    QCOMPARE(Field(dialog, "Index"), QString("0"));
    QCOMPARE(Field(dialog, "Value"), QString("0"));
    QCOMPARE(Field(dialog, "Gamma"), QString("2"));
    const QList<QRadioButton*> radios = dialog.findChildren<QRadioButton*>();
    QCOMPARE(radios.size(), 9);
    for (QRadioButton* radio : radios) {
        QVERIFY(!radio->isChecked());
        const bool offered = radio->text() != "Egalisation" && radio->text() != "Personalisée";
        QCOMPARE(radio->isEnabled(), offered);
    }
    QCOMPARE(ExecAnswering(dialog, [](auto& d) { QTest::keyClick(&d, Qt::Key_Return); }), 1);
    for (int i = 0; i < 256; ++i) QCOMPARE(int(dialog.Table()[i]), i);
}

void TestDynamic::inverseThenApply() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Press(&dialog, "Inverse");
    QVERIFY(qobject_cast<QRadioButton*>(ButtonLabelled(&dialog, "Inverse"))->isChecked());
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.result(), 1);
    for (int i = 0; i < 256; ++i) QCOMPARE(int(dialog.Table()[i]), 255 - i);
}

void TestDynamic::powerCurveAndGammaLimit() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Press(&dialog, "Puissance X");
    QCOMPARE(int(dialog.Table()[128]), 64);
    QCOMPARE(int(dialog.Table()[254]), 253);
    Click(dialog, "GammaUp", 97);
    QCOMPARE(Field(dialog, "Gamma"), QString("99"));
    for (int i = 0; i < 255; ++i) QVERIFY(dialog.Table()[i] <= 172);
    QCOMPARE(int(dialog.Table()[255]), 255);
    Click(dialog, "GammaUp");
    QCOMPARE(dialog.Gamma(), 99);
    Press(&dialog, "Appliquer");
    QCOMPARE(int(dialog.Table()[254]), 172);
}

void TestDynamic::rootCurveFollowsGammaButtons() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Press(&dialog, "Puissance 1/X");
    QCOMPARE(int(dialog.Table()[1]), 15);
    QCOMPARE(int(dialog.Table()[128]), 180);
    Click(dialog, "GammaDown");
    QCOMPARE(Field(dialog, "Gamma"), QString("1"));
    for (int i = 0; i < 255; ++i) QVERIFY(dialog.Table()[i] >= i - 1 && dialog.Table()[i] <= i);
    Press(&dialog, "Racine carrée");
    QCOMPARE(int(dialog.Table()[64]), 127);
    QCOMPARE(int(dialog.Table()[254]), 254);
}

void TestDynamic::buttonLimits() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Click(dialog, "GammaDown", 3);
    QCOMPARE(Field(dialog, "Gamma"), QString("1"));
    Click(dialog, "IndexDown");
    QCOMPARE(Field(dialog, "Index"), QString("0"));
    Click(dialog, "IndexUp", 260);
    QCOMPARE(Field(dialog, "Index"), QString("255"));
    QCOMPARE(Field(dialog, "Value"), QString("255"));
}

void TestDynamic::logarithmicLevelThroughIndexButtons() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Press(&dialog, "Logarithmique");
    Click(dialog, "IndexUp", 15);
    QCOMPARE(Field(dialog, "Index"), QString("15"));
    QCOMPARE(Field(dialog, "Value"), QString("127"));
    Press(&dialog, "Exponentielle");
    Click(dialog, "IndexUp", 240);
    QCOMPARE(Field(dialog, "Value"), QString("255"));
    Click(dialog, "IndexDown", 31);
    QCOMPARE(Field(dialog, "Value"), QString("125"));
}

void TestDynamic::valueKeptUntilNextIndexStep() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Click(dialog, "IndexUp");
    QCOMPARE(Field(dialog, "Value"), QString("1"));
    Press(&dialog, "Inverse");
    QCOMPARE(Field(dialog, "Value"), QString("1"));
    Click(dialog, "IndexUp");
    QCOMPARE(Field(dialog, "Value"), QString("253"));
}

void TestDynamic::graphShowsTheCurve() {
    CDialogDynamic dialog;
    QVERIFY(ShowActive(&dialog));
    Press(&dialog, "Inverse");
    const QImage graph = dialog.Graph().toImage();
    QCOMPARE(graph.size(), QSize(256, 256));
    QCOMPARE(graph.pixelColor(100, 100 + 1), QColor(192, 192, 192));
    QCOMPARE(graph.pixelColor(100, 255 - 155), QColor(Qt::black));  // t[100] = 155
    QCOMPARE(graph.pixelColor(0, 128), QColor(Qt::black));          // outline
    const QImage onScreen = dialog.grab().toImage();
    QCOMPARE(onScreen.pixelColor(15 + 100, 15 + 100), QColor(Qt::black));
    QCOMPARE(onScreen.pixelColor(15 + 100, 15 + 30), QColor(192, 192, 192));
}

void TestDynamic::cancelReturnsZero() {
    CDialogDynamic dialog;
    QCOMPARE(ExecAnswering(dialog,
                           [](auto& d) {
                               Press(&d, "Inverse");
                               Press(&d, "Annuler");
                           }),
             0);
    CDialogDynamic escaped;
    QCOMPARE(ExecAnswering(escaped, [](auto& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 0);
    // Enter on a focused "Annuler" presses it, not the default button.
    CDialogDynamic entered;
    QVERIFY(ShowActive(&entered));
    Press(&entered, "Inverse");
    ButtonLabelled(&entered, "Annuler")->setFocus();
    QTest::keyClick(ButtonLabelled(&entered, "Annuler"), Qt::Key_Return);
    QVERIFY(!entered.isVisible());
    QCOMPARE(entered.result(), 0);
}

QTEST_MAIN(TestDynamic)
#include "tst_dynamic.moc"
