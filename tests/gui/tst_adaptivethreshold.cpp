// The adaptive threshold dialog: the factor k typed as the user would,
// accepted or refused, and the two ways out.

#include <QLabel>
#include <QTimer>
#include <QtTest>

#include "CDialogAdaptiveThreshold.h"
#include "tst_dialog_support.h"

namespace {

QLineEdit* KField(CDialogAdaptiveThreshold& dialog) { return dialog.findChild<QLineEdit*>("K"); }

}  // namespace

class TestAdaptiveThreshold : public QObject {
    Q_OBJECT

private slots:
    void opensWithZeroAndItsTexts();
    void typedFactor_data();
    void typedFactor();
    void refusedTextCanBeMended();
    void cancelReturnsTwo();
};

void TestAdaptiveThreshold::opensWithZeroAndItsTexts() {
    CDialogAdaptiveThreshold dialog;
    QCOMPARE(dialog.windowTitle(), QString("Seuillage adaptatif"));
    QCOMPARE(KField(dialog)->text(), QString("0"));
    QCOMPARE(KField(dialog)->toolTip(), QString("Paramètre d'ajustement"));
    QCOMPARE(ButtonLabelled(&dialog, "Appliquer")->toolTip(),
             QString("Applique le seuillage adaptatif"));
    QCOMPARE(ButtonLabelled(&dialog, "Annuler")->toolTip(),
             QString("Referme cette fenêtre et annule l'action"));
    bool formula = false;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == "Seuil : Moyenne + k * écart-type")
            formula = label->toolTip() == "Formule du seuillage adaptatif";
    QVERIFY(formula);
}

void TestAdaptiveThreshold::typedFactor_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<float>("k");
    QTest::newRow("one and a half") << "1.5" << true << 1.5f;
    QTest::newRow("negative") << "-1" << true << -1.0f;
    QTest::newRow("zero") << "0" << true << 0.0f;
    QTest::newRow("blanks") << " 2.5\t" << true << 2.5f;
    QTest::newRow("single precision") << "0.1" << true << 0.1f;
    QTest::newRow("large") << "1e30" << true << 1e30f;
    QTest::newRow("empty") << "" << false << 0.0f;
    QTest::newRow("letters") << "abc" << false << 0.0f;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0f;
    QTest::newRow("plus zero") << "+0" << false << 0.0f;
    QTest::newRow("point zero") << ".0" << false << 0.0f;
}

void TestAdaptiveThreshold::typedFactor() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(float, k);
    CDialogAdaptiveThreshold dialog;
    QVERIFY(ShowActive(&dialog));
    TypeInto(KField(dialog), text);
    SRecordedMessages messages;
    Press(&dialog, "Appliquer");
    if (accepted) {
        QVERIFY(messages.texts.empty());
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.K(), k);
    } else {
        QCOMPARE(messages.texts, std::vector<std::string>{"Tapez un nombre."});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), KField(dialog));
        QCOMPARE(KField(dialog)->selectedText(), text);
    }
}

void TestAdaptiveThreshold::refusedTextCanBeMended() {
    CDialogAdaptiveThreshold dialog;
    SRecordedMessages messages;
    QCOMPARE(ExecAnswering(dialog,
                           [&](CDialogAdaptiveThreshold&) {
                               TypeInto(KField(dialog), "1,5");
                               QTest::keyClick(KField(dialog), Qt::Key_Return);
                               TypeInto(KField(dialog), "-0.25");
                               QTest::keyClick(KField(dialog), Qt::Key_Return);
                           }),
             1);
    QCOMPARE(dialog.K(), -0.25f);
    QCOMPARE(messages.texts.size(), std::size_t(1));
}

void TestAdaptiveThreshold::cancelReturnsTwo() {
    CDialogAdaptiveThreshold dialog;
    QCOMPARE(ExecAnswering(dialog,
                           [&](CDialogAdaptiveThreshold&) {
                               TypeInto(KField(dialog), "abc");
                               Press(&dialog, "Annuler");
                           }),
             CDialogAdaptiveThreshold::kCancelled);
    CDialogAdaptiveThreshold escaped;
    QCOMPARE(ExecAnswering(escaped, [](auto& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 2);
    CDialogAdaptiveThreshold closed;
    QCOMPARE(ExecAnswering(closed, [](auto& d) { d.close(); }), 2);
    CDialogAdaptiveThreshold entered;  // Enter on a focused "Annuler"
    QVERIFY(ShowActive(&entered));
    ButtonLabelled(&entered, "Annuler")->setFocus();
    QTest::keyClick(ButtonLabelled(&entered, "Annuler"), Qt::Key_Return);
    QVERIFY(!entered.isVisible());
    QCOMPARE(entered.result(), 2);
}

QTEST_MAIN(TestAdaptiveThreshold)
#include "tst_adaptivethreshold.moc"
