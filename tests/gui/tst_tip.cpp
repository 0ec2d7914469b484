// The tip of the day: the tips file read tip by tip, its position and time
// stamp kept in the settings, and the start-up check box.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "AppSettings.h"
#include "CDialogTip.h"
#include "Message.h"
#include "TipFileLocation.h"
#include "TipStrings.h"

class TestTip : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void firstRunShowsCheckedBoxAndFirstTip();
    void skippedLinesAndWrapAround();
    void positionSurvivesBetweenDialogs();
    void closeWritesStartUpEscapeDoesNot();
    void newTimeStampRestartsAtFirstTip();
    void missingFileSaysSoAndDisablesNext();
    void fileWithoutTipsStopsAfterOnePass();
    void unreachablePositionIsReported();
    void longLinesAreReadInPieces();
    void installedTipsAreFoundOutsideTheCurrentFolder();

private:
    void WriteTips(const QByteArray& content);

    QTemporaryDir dir_;
};

void TestTip::initTestCase() {
    ConfigureSettings();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    QDir::setCurrent(dir_.path());
}

void TestTip::init() {
    QSettings().clear();
    QFile::remove(kTipFileName);
}

void TestTip::WriteTips(const QByteArray& content) {
    QFile file(kTipFileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

void TestTip::firstRunShowsCheckedBoxAndFirstTip() {
    WriteTips("Premier conseil\nSecond conseil\n");
    CDialogTip tip;
    QVERIFY(tip.ShowAtStartUp());
    QVERIFY(tip.findChild<QCheckBox*>()->isChecked());
    QCOMPARE(tip.TipText(), QString("Premier conseil\n"));
}

void TestTip::skippedLinesAndWrapAround() {
    WriteTips("; commentaire\n\nTip A\n indenté\n\ttabulé\nTip B\r\n");
    CDialogTip tip;
    QCOMPARE(tip.TipText(), QString("Tip A\n"));
    tip.ShowNextTip();
    QCOMPARE(tip.TipText(), QString("Tip B\n"));
    tip.ShowNextTip();
    QCOMPARE(tip.TipText(), QString("Tip A\n"));
}

void TestTip::positionSurvivesBetweenDialogs() {
    WriteTips("Un\nDeux\nTrois\n");
    { CDialogTip tip; }
    QCOMPARE(QSettings().value("Tip/FilePos").toLongLong(), 3);
    {
        CDialogTip tip;
        QCOMPARE(tip.TipText(), QString("Deux\n"));
        tip.ShowNextTip();
    }
    CDialogTip tip;
    QCOMPARE(tip.TipText(), QString("Un\n"));
}

void TestTip::closeWritesStartUpEscapeDoesNot() {
    WriteTips("Un\n");
    {
        CDialogTip tip;
        tip.show();
        tip.findChild<QCheckBox*>()->setChecked(false);
        QTest::keyClick(&tip, Qt::Key_Escape);
        QVERIFY(!QSettings().contains("Tip/StartUp"));
    }
    QVERIFY(QSettings().contains("Tip/FilePos"));
    {
        CDialogTip tip;
        tip.findChild<QCheckBox*>()->setChecked(false);
        for (QPushButton* button : tip.findChildren<QPushButton*>()) {
            if (button->text() == "Fermer") button->click();
        }
        QCOMPARE(tip.result(), int(QDialog::Accepted));
    }
    QCOMPARE(QSettings().value("Tip/StartUp").toInt(), 1);
    CDialogTip next;
    QVERIFY(!next.ShowAtStartUp());
}

void TestTip::newTimeStampRestartsAtFirstTip() {
    WriteTips("Un\nDeux\n");
    { CDialogTip tip; }
    QSettings().setValue("Tip/TimeStamp", "Thu Jan  1 00:00:00 1970");
    CDialogTip tip;
    QCOMPARE(tip.TipText(), QString("Un\n"));
    const QString stamp = QSettings().value("Tip/TimeStamp").toString();
    QCOMPARE(stamp.size(), 24);
    QVERIFY(
        QRegularExpression("^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}$")
            .match(stamp)
            .hasMatch());
}

void TestTip::missingFileSaysSoAndDisablesNext() {
    QSettings().setValue("Tip/FilePos", 42);
    {
        CDialogTip tip;
        QCOMPARE(tip.TipText(), QString(kTipFileMissing));
        for (QPushButton* button : tip.findChildren<QPushButton*>()) {
            if (button->text() == "Suivant") QVERIFY(!button->isEnabled());
        }
    }
    // Nothing is saved without a file.
    QCOMPARE(QSettings().value("Tip/FilePos").toInt(), 42);
}

void TestTip::fileWithoutTipsStopsAfterOnePass() {
    for (const QByteArray& content : {QByteArray(), QByteArray("; rien\n\n  \n\tnon plus\n")}) {
        WriteTips(content);
        QSettings().clear();
        CDialogTip tip;
        QCOMPARE(tip.TipText(), QString(kTipReadError));
        tip.ShowNextTip();
        QCOMPARE(tip.TipText(), QString(kTipReadError));
    }
}

void TestTip::unreachablePositionIsReported() {
    WriteTips("Un\n");
    CDialogTip first;  // records the file's time stamp
    QSettings().setValue("Tip/FilePos", -5);
    std::vector<std::string> messages;
    CScopedMessageSink record([&](const std::string& text) { messages.push_back(text); });
    CDialogTip tip;
    QCOMPARE(messages, std::vector<std::string>({kTipReadError}));
    QVERIFY(tip.TipText().isEmpty());

    // A position past the end wraps to the first tip.
    QSettings().setValue("Tip/FilePos", 1000);
    CDialogTip past;
    QCOMPARE(past.TipText(), QString("Un\n"));
}

void TestTip::longLinesAreReadInPieces() {
    WriteTips(QByteArray(1500, 'a') + "\nB\n");
    CDialogTip tip;
    QCOMPARE(tip.TipText().size(), 999);
    tip.ShowNextTip();
    QCOMPARE(tip.TipText(), QString(501, 'a') + "\n");
    tip.ShowNextTip();
    QCOMPARE(tip.TipText(), QString("B\n"));
}

void TestTip::installedTipsAreFoundOutsideTheCurrentFolder() {
    // Started from the desktop, the program's current folder is the home
    // folder; the tips are in the data folder the install put them in.
    QTemporaryDir elsewhere, data;
    QVERIFY(QDir(data.path()).mkpath("orvex"));
    QFile tips(data.path() + "/orvex/Orvex.tip");
    QVERIFY(tips.open(QIODevice::WriteOnly));
    tips.write("Un conseil installé\n");
    tips.close();
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QDir::setCurrent(elsewhere.path());
    const QString found = FindTipFile();
    QString shown;
    {
        CDialogTip tip;
        shown = tip.TipText();
    }
    QDir::setCurrent(dir_.path());
    qputenv("XDG_DATA_HOME", before);
    QCOMPARE(QFileInfo(found).canonicalFilePath(), QFileInfo(tips).canonicalFilePath());
    QVERIFY2(shown.contains("Un conseil installé"), qPrintable(shown));
}

QTEST_MAIN(TestTip)
#include "tst_tip.moc"
