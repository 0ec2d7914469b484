// The palette editor: ramps from node to node with the editor's arithmetic,
// its drawing and selection, the node buttons, the colour chooser, JASC
// palette files and the cancel value.

#include <QColorDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "CDialogPalette.h"
#include "PaletteRamps.h"
#include "tst_unprivileged_support.h"
#include "tst_view_support.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0), kWhite = qRgb(255, 255, 255);

QPoint CellCentre(int entry) { return {10 + (entry % 16) * 22 + 10, 10 + (entry / 16) * 22 + 10}; }

void SetNode(std::array<bool, 256>& nodes, CPaletteColors& colors, int n, int level) {
    nodes[n] = true;
    colors.red[n] = colors.green[n] = colors.blue[n] = static_cast<std::uint8_t>(level);
}

}  // namespace

class TestPalette : public QObject {
    Q_OBJECT

private slots:
    void rampsThroughAMiddleNode();
    void fallingRampRewritesItsFirstNode();
    void swappedEndsGiveTheNegative();
    void startsAsGreyRampWithEndNodes();
    void clicksSelectCellsOnly();
    void nodeButtonsAndColourChooser();
    void eraseKeepsTheEndNodes();
    void paletteFilesRoundTrip();
    void unreadableFileLeavesTheTable();
    void readOnlyPaletteFileIsKept();
    void cancelReturnsTwo();
};

void TestPalette::rampsThroughAMiddleNode() {
    std::array<bool, 256> nodes{};
    CPaletteColors colors;
    SetNode(nodes, colors, 0, 0);
    SetNode(nodes, colors, 100, 50);
    SetNode(nodes, colors, 255, 255);
    QCOMPARE(ComputeRamps(nodes, colors), (std::vector<int>{0, 100, 255}));
    for (const auto& channel : {colors.red, colors.green, colors.blue}) {
        QCOMPARE(channel[99], 49);
        QCOMPARE(channel[100], 50);
        QCOMPARE(channel[101], 51);
        QCOMPARE(channel[254], 253);
        QCOMPARE(channel[255], 255);
    }
}

void TestPalette::fallingRampRewritesItsFirstNode() {
    std::array<bool, 256> nodes{};
    CPaletteColors colors;
    SetNode(nodes, colors, 10, 200);
    SetNode(nodes, colors, 13, 199);
    ComputeRamps(nodes, colors);
    QCOMPARE((std::array{colors.red[10], colors.red[11], colors.red[12], colors.red[13]}),
             (std::array<std::uint8_t, 4>{199, 199, 198, 199}));
    QCOMPARE(colors.red[9], 0);  // outside the nodes nothing changes
    QCOMPARE(colors.red[14], 0);

    std::array<bool, 256> one{};
    CPaletteColors untouched;
    SetNode(one, untouched, 40, 9);
    QCOMPARE(ComputeRamps(one, untouched).size(), std::size_t{1});
    QCOMPARE(untouched.red[41], 0);
}

void TestPalette::swappedEndsGiveTheNegative() {
    CDialogPalette dialog;
    dialog.SelectEntry(0);
    dialog.SetSelectedColour(Qt::white);
    dialog.SelectEntry(255);
    dialog.SetSelectedColour(Qt::black);
    for (int n = 0; n < 256; ++n) {
        QCOMPARE(dialog.Red()[n], 255 - n);
        QCOMPARE(dialog.Green()[n], 255 - n);
        QCOMPARE(dialog.Blue()[n], 255 - n);
    }
}

void TestPalette::startsAsGreyRampWithEndNodes() {
    CDialogPalette dialog;
    const QImage& d = dialog.Drawing();
    QCOMPARE(d.size(), QSize(352, 382));
    for (int n = 0; n < 256; ++n) QCOMPARE(dialog.Red()[n], n);
    QCOMPARE(d.pixel(0, 0), kRed);    // node 0's frame
    QCOMPARE(d.pixel(20, 20), kRed);  // both corners covered
    QCOMPARE(d.pixel(1, 1), kWhite);  // selected: white inner frame
    QCOMPARE(d.pixel(10, 10), qRgb(0, 0, 0));
    QCOMPARE(d.pixel(15 * 22, 15 * 22), kRed);  // node 255
    QCOMPARE(d.pixel(15 * 22 + 10, 15 * 22 + 10), kWhite);
    QVERIFY(d.pixel(22, 0) != kRed);  // entry 1 is no node
    QCOMPARE(d.pixel(22 + 10, 10), qRgb(1, 1, 1));
    QCOMPARE(d.pixel(0, 362), qRgb(0, 0, 0));  // the strip
    QCOMPARE(d.pixel(128, 381), qRgb(128, 128, 128));
    QCOMPARE(d.pixel(255, 370), kWhite);
    QCOMPARE(d.pixel(256, 370), d.pixel(351, 0));  // beyond the strip: the face colour
    QCOMPARE(dialog.findChild<QLineEdit*>("Rouge")->text(), QString("0"));
    QCOMPARE(dialog.findChild<QLineEdit*>("Sélection")->text(), QString());
}

void TestPalette::clicksSelectCellsOnly() {
    CDialogPalette dialog;
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, CellCentre(35));
    QCOMPARE(dialog.Selected(), 35);
    QCOMPARE(dialog.findChild<QLineEdit*>("Sélection")->text(), QString("35"));
    QCOMPARE(dialog.findChild<QLineEdit*>("Vert")->text(), QString("35"));
    QCOMPARE(dialog.Drawing().pixel(1, 1), dialog.Drawing().pixel(351, 0));  // old frame gone
    QCOMPARE(dialog.Drawing().pixel(3 * 22 + 1, 2 * 22 + 1), kWhite);
    // Right and bottom edges, the spacing and the strip select nothing.
    QCOMPARE(CDialogPalette::EntryAt({10 + 19, 10 + 19}), 0);
    QCOMPARE(CDialogPalette::EntryAt({10 + 20, 10}), -1);
    QCOMPARE(CDialogPalette::EntryAt({10, 10 + 21}), -1);
    QCOMPARE(CDialogPalette::EntryAt({9, 10}), -1);
    QCOMPARE(CDialogPalette::EntryAt({10 + 15 * 22 + 19, 10 + 15 * 22 + 19}), 255);
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(100, 10 + 370));
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(10 + 21, 15));
    QCOMPARE(dialog.Selected(), 35);
}

void TestPalette::nodeButtonsAndColourChooser() {
    CDialogPalette dialog;
    dialog.SelectEntry(100);
    // Not yet a node: the chosen colour holds for that entry alone.
    Answer<QColorDialog>([](QColorDialog& chooser) {
        chooser.setCurrentColor(QColor(50, 60, 70));
        chooser.accept();
    });
    for (auto* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "Modifier...") button->click();
    QCOMPARE(dialog.Red()[100], 50);
    QCOMPARE(dialog.Red()[99], 99);
    QCOMPARE(dialog.findChild<QLineEdit*>("Bleu")->text(), QString("70"));
    dialog.AddNode();
    QVERIFY(dialog.IsNode(100));
    QCOMPARE(dialog.Drawing().pixel(4 * 22, 6 * 22), kRed);
    QCOMPARE(dialog.Red()[99], 49);
    QCOMPARE(dialog.Green()[100], 60);
    QCOMPARE(dialog.Blue()[101], 71);
    // A cancelled chooser changes nothing.
    Answer<QColorDialog>([](QColorDialog& chooser) { chooser.close(); });
    for (auto* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "Modifier...") button->click();
    QCOMPARE(dialog.Red()[100], 50);
}

void TestPalette::eraseKeepsTheEndNodes() {
    CDialogPalette dialog;
    dialog.SelectEntry(0);
    dialog.EraseNode();
    QVERIFY(dialog.IsNode(0));
    dialog.SelectEntry(60);
    dialog.SetSelectedColour(QColor(200, 0, 0));
    dialog.AddNode();
    dialog.SelectEntry(180);
    dialog.AddNode();
    dialog.SelectEntry(60);
    dialog.EraseNode();
    QVERIFY(!dialog.IsNode(60));
    QVERIFY(dialog.IsNode(180));
    // The entry takes the new ramp's colour.
    QVERIFY(dialog.Red()[60] != 200);
    QVERIFY(dialog.Red()[59] <= dialog.Red()[60] && dialog.Red()[60] <= dialog.Red()[61]);
    dialog.EraseAllNodes();
    QVERIFY(dialog.IsNode(0) && dialog.IsNode(255) && !dialog.IsNode(180));
    for (int n = 0; n < 256; ++n) QCOMPARE(dialog.Green()[n], n);
}

void TestPalette::paletteFilesRoundTrip() {
    QTemporaryDir folder;
    const QString path = folder.filePath("ramp.PAL");
    CDialogPalette saved;
    saved.SelectEntry(128);
    saved.SetSelectedColour(QColor(255, 0, 30));
    saved.AddNode();
    QVERIFY(saved.SavePalette(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QCOMPARE(text.count("\r\n"), 259);
    QVERIFY(text.startsWith("JASC-PAL\r\n0100\r\n256\r\n0 0 0\r\n1 0 0\r\n"));
    QVERIFY(text.contains("\r\n255 0 30\r\n"));

    CDialogPalette loaded;
    QVERIFY(loaded.LoadPalette(path));
    QVERIFY(loaded.Colors() == saved.Colors());
    // Loading neither adds nodes nor computes ramps.
    QVERIFY(!loaded.IsNode(128));
    QCOMPARE(loaded.Drawing().pixel(128, 370), qRgb(255, 0, 30));
}

void TestPalette::unreadableFileLeavesTheTable() {
    CEngineMessages messages;
    CDialogPalette dialog;
    const CPaletteColors before = dialog.Colors();
    QVERIFY(!dialog.LoadPalette("/nonexistent/none.PAL"));
    QVERIFY(!dialog.SavePalette("/nonexistent/none.PAL"));
    QVERIFY(dialog.Colors() == before);
    QCOMPARE(messages.texts,
             (QStringList{"Lecture de fichier impossible", "Ecriture de fichier impossible"}));
}

void TestPalette::readOnlyPaletteFileIsKept() {
    RUN_AS_NOBODY_WHEN_ROOT();
    QTemporaryDir folder;
    QFile file(folder.filePath("kept.PAL"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("JASC-PAL\r\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    CEngineMessages messages;
    CDialogPalette dialog;
    QVERIFY(!dialog.SavePalette(file.fileName()));
    QCOMPARE(messages.texts, QStringList{"Ecriture de fichier impossible"});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("JASC-PAL\r\n"));
}

void TestPalette::cancelReturnsTwo() {
    CDialogPalette dialog;
    QCOMPARE(ExecAnswering(dialog, [](auto& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 2);
    CDialogPalette confirmed;
    QCOMPARE(ExecAnswering(confirmed, [](auto& d) { QTest::keyClick(&d, Qt::Key_Return); }), 1);
    CDialogPalette entered;  // Enter on a focused "Annuler"
    QCOMPARE(ExecAnswering(entered,
                           [](auto& d) {
                               ButtonLabelled(&d, "Annuler")->setFocus();
                               QTest::keyClick(ButtonLabelled(&d, "Annuler"), Qt::Key_Return);
                           }),
             2);
}

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
