// Field checking shared by every dialog: what each reader accepts, its
// messages, and the focus on the first field at fault.

#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include "CFieldReader.h"
#include "tst_dialog_support.h"

class TestFieldReader : public QObject {
    Q_OBJECT

private slots:
    void integerTexts_data();
    void integerTexts();
    void numberTexts_data();
    void numberTexts();
    void firstFaultTakesFocusAndStopsReading();
    void rangeMessages();
    void floatKeepsSinglePrecision();
};

void TestFieldReader::integerTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("blanks and tabs") << " \t-7\t " << true << -7;
    QTest::newRow("plus sign") << "+5" << true << 5;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("largest int") << "2147483647" << true << 2147483647;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("minus zero") << "-0" << false << 0;
    QTest::newRow("plus zero") << "+0" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
    QTest::newRow("decimal") << "1.0" << false << 0;
    QTest::newRow("beyond 32 bits") << "99999999999" << false << 0;
}

void TestFieldReader::integerTexts() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, value);
    const std::optional<int> parsed = ParseFieldInteger(text);
    QCOMPARE(parsed.has_value(), accepted);
    if (accepted) QCOMPARE(*parsed, value);
}

void TestFieldReader::numberTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");
    QTest::newRow("one and a half") << "1.5" << true << 1.5;
    QTest::newRow("blanks") << "\t -2 " << true << -2.0;
    QTest::newRow("zero") << "0" << true << 0.0;
    QTest::newRow("zero point zero") << "0.0" << true << 0.0;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("no leading digit") << ".5" << true << 0.5;
    QTest::newRow("plus sign") << "+2.25" << true << 2.25;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0;
    QTest::newRow("plus zero") << "+0" << false << 0.0;
    QTest::newRow("point zero") << ".0" << false << 0.0;
    QTest::newRow("minus zero") << "-0" << false << 0.0;
    QTest::newRow("bare exponent") << "1e" << false << 0.0;
    QTest::newRow("two numbers") << "1 2" << false << 0.0;
}

void TestFieldReader::numberTexts() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    const std::optional<double> parsed = ParseFieldNumber(text);
    QCOMPARE(parsed.has_value(), accepted);
    if (accepted) QCOMPARE(*parsed, value);
}

void TestFieldReader::firstFaultTakesFocusAndStopsReading() {
    QWidget dialog;
    auto* layout = new QVBoxLayout(&dialog);
    QLineEdit* fields[4];
    const char* texts[4] = {"12", "douze", "abc", "3"};
    for (int i = 0; i < 4; ++i) layout->addWidget(fields[i] = new QLineEdit(texts[i]));
    QVERIFY(ShowActive(&dialog));
    fields[3]->setFocus();

    SRecordedMessages messages;
    CFieldReader reader;
    QCOMPARE(reader.Integer(fields[0]), std::optional<int>(12));
    QVERIFY(reader.Ok());
    QVERIFY(!reader.Integer(fields[1]));
    QVERIFY(!reader.Integer(fields[2]));
    QVERIFY(!reader.Integer(fields[3]));  // a good field after the fault is not read either
    QVERIFY(!reader.Ok());

    QCOMPARE(messages.texts, std::vector<std::string>{"Tapez un nombre entier."});
    QCOMPARE(dialog.focusWidget(), fields[1]);
    QCOMPARE(fields[1]->selectedText(), QString("douze"));
}

void TestFieldReader::rangeMessages() {
    QLineEdit field;
    SRecordedMessages messages;
    const auto read = [&](const QString& text, auto how) {
        field.setText(text);
        CFieldReader reader;
        return how(reader);
    };
    QCOMPARE(read("-99", [&](CFieldReader& r) { return r.Integer(&field, -99, 99); }),
             std::optional<int>(-99));
    QCOMPARE(read("99", [&](CFieldReader& r) { return r.Integer(&field, -99, 99); }),
             std::optional<int>(99));
    QVERIFY(!read("100", [&](CFieldReader& r) { return r.Integer(&field, -99, 99); }));
    QVERIFY(!read("-100", [&](CFieldReader& r) { return r.Integer(&field, -99, 99); }));
    QCOMPARE(read("255", [&](CFieldReader& r) { return r.Byte(&field); }), std::optional<int>(255));
    QVERIFY(!read("256", [&](CFieldReader& r) { return r.Byte(&field); }));
    QVERIFY(!read("-1", [&](CFieldReader& r) { return r.Byte(&field); }));
    QVERIFY(!read("x", [&](CFieldReader& r) { return r.Byte(&field); }));
    QVERIFY(!read("100", [&](CFieldReader& r) { return r.Byte(&field, 0, 99); }));
    QVERIFY(!read("300", [&](CFieldReader& r) { return r.Byte(&field, 0, 99); }));
    QCOMPARE(read("99", [&](CFieldReader& r) { return r.Byte(&field, 0, 99); }),
             std::optional<int>(99));

    const std::vector<std::string> expected = {
        "Tapez un nombre entier compris entre -99 et 99.",
        "Tapez un nombre entier compris entre -99 et 99.",
        "Veuillez entrer un entier compris entre 0 et 255.",
        "Veuillez entrer un entier compris entre 0 et 255.",
        "Veuillez entrer un entier compris entre 0 et 255.",
        "Tapez un nombre entier compris entre 0 et 99.",
        "Veuillez entrer un entier compris entre 0 et 255.",
    };
    QCOMPARE(messages.texts, expected);
}

void TestFieldReader::floatKeepsSinglePrecision() {
    QLineEdit field("0.1");
    SRecordedMessages messages;
    CFieldReader reader;
    QCOMPARE(reader.Float(&field), std::optional<float>(0.1f));
    field.setText("1,5");
    QVERIFY(!reader.Float(&field));
    QCOMPARE(messages.texts, std::vector<std::string>{"Tapez un nombre."});
}

QTEST_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
