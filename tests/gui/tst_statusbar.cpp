// The status bar: clock texts, pane widths, prompts and the message pane
// covering the bar while a menu is open.

#include <QLabel>
#include <QtTest>

#include "CStatusBar.h"
#include "StatusBarText.h"

class TestStatusBar : public QObject {
    Q_OBJECT

private slots:
    void timeFormat_data();
    void timeFormat();
    void dateFormatUsesEnglishNamesWhateverTheLocale();
    void panesFitTheirText();
    void promptAndMenuWidening();
};

void TestStatusBar::timeFormat_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QTime(15, 7) << "03:07  PM";
    QTest::newRow("morning") << QTime(9, 15) << "09:15  AM ";
    QTest::newRow("midnight") << QTime(0, 5) << "12:05  AM ";
    QTest::newRow("noon") << QTime(12, 0) << "12:00  PM";
}

void TestStatusBar::timeFormat() {
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(FormatTimePane(QDateTime(QDate(2026, 12, 7), time)), text);
}

void TestStatusBar::dateFormatUsesEnglishNamesWhateverTheLocale() {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(FormatDatePane(QDateTime(QDate(2026, 12, 7), QTime(15, 7))),
             QString("Monday, 07, December 26 "));
    QCOMPARE(FormatDatePane(QDateTime(QDate(2027, 5, 1), QTime(9, 15))),
             QString("Saturday, 01, May 27 "));
    QLocale::setDefault(QLocale::c());
}

void TestStatusBar::panesFitTheirText() {
    CStatusBar bar;
    bar.RefreshPanes();
    for (QLabel* pane : {bar.DatePane(), bar.TimePane()}) {
        QVERIFY(!pane->text().isEmpty());
        QVERIFY2(pane->width() >= pane->fontMetrics().horizontalAdvance(pane->text()),
                 qPrintable(pane->text()));
    }
}

void TestStatusBar::promptAndMenuWidening() {
    CStatusBar bar;
    bar.resize(800, 24);
    bar.show();
    QCOMPARE(bar.Prompt(), QString("Prêt"));
    bar.SetMenuOpen(true);
    bar.SetPrompt("Affiche l'histogramme de l'image courante");
    QVERIFY(!bar.DatePane()->isVisible());
    QVERIFY(!bar.TimePane()->isVisible());
    bar.SetMenuOpen(false);
    QVERIFY(bar.DatePane()->isVisible());
    QCOMPARE(bar.Prompt(), QString("Prêt"));
}

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
