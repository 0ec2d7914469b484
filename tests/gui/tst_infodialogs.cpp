// The statistics and history dialogs: what they show, and that they show it
// read-only.

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QtTest>

#include "CDialogHistory.h"
#include "CDialogStatistics.h"
#include "Image.h"
#include "tst_dialog_support.h"

namespace {

QLineEdit* Field(QWidget& dialog, const char* name) { return dialog.findChild<QLineEdit*>(name); }

}  // namespace

class TestInfoDialogs : public QObject {
    Q_OBJECT

private slots:
    void statisticsOfTwoByTwo();
    void statisticsOfLargePicture();
    void historyShownWholeAndCopyable();
};

void TestInfoDialogs::statisticsOfTwoByTwo() {
    CImage image;
    image.CreateEmptyImage(2, 2, 0);
    std::uint8_t* bits = image.GetBits(image.Lock());
    bits[CImage::GetWidthBytes(2)] = 255;
    bits[CImage::GetWidthBytes(2) + 1] = 255;
    image.Unlock();

    CDialogStatistics dialog(image);
    QCOMPARE(dialog.windowTitle(), QString("Statistiques"));
    QCOMPARE(Field(dialog, "Pixels")->text(), QString("4"));
    QCOMPARE(Field(dialog, "Minimum")->text(), QString("0"));
    QCOMPARE(Field(dialog, "Maximum")->text(), QString("255"));
    QCOMPARE(Field(dialog, "Somme")->text(), QString("510"));
    QCOMPARE(Field(dialog, "Moyenne")->text(), QString("127"));
    // Deviations from the integer mean 127: sqrt((2 * 127^2 + 2 * 128^2) / 4).
    QCOMPARE(Field(dialog, "Ecart-type")->text(), QString("127.500980388388"));
    for (const char* name : {"Pixels", "Minimum", "Maximum", "Somme", "Moyenne", "Ecart-type"})
        QVERIFY(Field(dialog, name)->isReadOnly());

    QVERIFY(ShowActive(&dialog));
    Press(&dialog, "Fermer");
    QCOMPARE(dialog.result(), 1);
}

void TestInfoDialogs::statisticsOfLargePicture() {
    // 3000 x 3000 at level 250: the sum passes two thousand million.
    CImage image;
    image.CreateEmptyImage(3000, 3000, 250);
    CDialogStatistics dialog(image);
    QCOMPARE(Field(dialog, "Pixels")->text(), QString("9000000"));
    QCOMPARE(Field(dialog, "Somme")->text(), QString("2250000000"));
    QCOMPARE(Field(dialog, "Moyenne")->text(), QString("250"));
    QCOMPARE(Field(dialog, "Ecart-type")->text(), QString("0"));
}

void TestInfoDialogs::historyShownWholeAndCopyable() {
    std::string history = "IMAGE BITMAP - HISTORIQUE\r\nImage : 2 x 2\r\n";
    for (int i = 0; i < 40; ++i) history += "Filtrage linéaire\r\nFiltrage\r\n";
    CDialogHistory dialog(history);
    QCOMPARE(dialog.windowTitle(), QString("Historique"));
    auto* text = dialog.findChild<QPlainTextEdit*>("History");
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->toPlainText(), QString::fromStdString(history).remove(u'\r'));
    QCOMPARE(text->document()->blockCount(), 83);

    QVERIFY(ShowActive(&dialog));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), text->toPlainText());
    QTest::keyClick(text, Qt::Key_X);
    QCOMPARE(text->toPlainText(), QString::fromStdString(history).remove(u'\r'));
    Press(&dialog, "OK");
    QCOMPARE(dialog.result(), 1);
}

QTEST_MAIN(TestInfoDialogs)
#include "tst_infodialogs.moc"
