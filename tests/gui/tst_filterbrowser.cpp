// The kernel grid and the filter browser, driven as the user would: tree
// items clicked, cells typed into, buttons pressed.

#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <set>

#include "CDialogFilterBrowser.h"
#include "CKernelGrid.h"
#include "KernelCatalogue.h"
#include "tst_dialog_support.h"

namespace {

QLineEdit* Cell(QWidget& dialog, int row, int column) {
    return dialog.findChild<QLineEdit*>(
        QStringLiteral("cell%1").arg(CKernelGrid::CellId(row, column)));
}

QTreeWidget* Tree(QWidget& dialog) { return dialog.findChild<QTreeWidget*>(); }

QString Description(QWidget& dialog) {
    return dialog.findChild<QPlainTextEdit*>("Description")->toPlainText();
}

void Pick(QWidget& dialog, const QString& path) {
    QVERIFY2(PickTreeItem(Tree(dialog), path), qPrintable(path));
}

// The cells of the centred block of side n, row by row.
QStringList BlockTexts(QWidget& dialog, int size) {
    QStringList texts;
    const int offset = (7 - size) / 2;
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j) texts << Cell(dialog, offset + i, offset + j)->text();
    return texts;
}

QList<int> MaskValues(const CMask& mask) {
    QList<int> values;
    for (int i = 0; i < mask.GetMaskSize(); ++i)
        for (int j = 0; j < mask.GetMaskSize(); ++j) values << mask.GetCell(i, j);
    return values;
}

QList<int> Repeated(int value, int count) { return QList<int>(count, value); }

int CountLeaves(QTreeWidgetItem* item, QStringList& paths, const QString& prefix) {
    const QString path = prefix + item->text(0) + u' ';
    if (item->childCount() == 0) {
        paths << path;
        return 1;
    }
    int leaves = 0;
    for (int i = 0; i < item->childCount(); ++i) leaves += CountLeaves(item->child(i), paths, path);
    return leaves;
}

}  // namespace

class TestFilterBrowser : public QObject {
    Q_OBJECT

private slots:
    void cellIdsByPosition();
    void treeHoldsTheWholeCatalogueInOrder();
    void applyBeforeAnyChoiceGivesSevenBySevenZeros();
    void catalogueLeafFillsGridAndDescription();
    void familyItemKeepsTheLastKernel();
    void customKernelRoundTrip();
    void smallerSizeKeepsOuterTextAndIgnoresIt();
    void readBackOrderAndFocus();
    void cellTexts_data();
    void cellTexts();
    void invalidHiddenCellBlocksApply();
    void resetClearsDisplayedSize();
    void enterPressesTheFocusedButton();
    void otherLeafLeavesCustomMode();
    void contextMenuOnShiftF10();
    void modalRunReturnsOneOrZero();
    void tooltips();
};

void TestFilterBrowser::cellIdsByPosition() {
    std::set<int> ids;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column) ids.insert(CKernelGrid::CellId(row, column));
    QCOMPARE(ids.size(), std::size_t(49));
    QCOMPARE(CKernelGrid::CellId(0, 4), 134);
    QCOMPARE(CKernelGrid::CellId(0, 6), 154);
    QCOMPARE(CKernelGrid::CellId(4, 1), 195);
    QCOMPARE(CKernelGrid::CellId(5, 3), 157);
    QCOMPARE(CKernelGrid::CellId(6, 6), 172);
}

void TestFilterBrowser::treeHoldsTheWholeCatalogueInOrder() {
    CDialogFilterBrowser dialog;
    QTreeWidget* tree = Tree(dialog);
    QStringList top;
    QStringList paths;
    int leaves = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        top << tree->topLevelItem(i)->text(0);
        QVERIFY(!tree->topLevelItem(i)->isExpanded());
        QVERIFY(!tree->topLevelItem(i)->icon(0).isNull());
        leaves += CountLeaves(tree->topLevelItem(i), paths, "");
    }
    QCOMPARE(top, QStringList({"Gradient", "Laplacien", "Lissage", "Personalisé"}));
    QCOMPARE(leaves, 81);
    QCOMPARE(paths.last(), QString("Personalisé "));
    paths.removeLast();
    std::set<std::string> keys;
    for (const CKernelEntry& entry : GetKernelCatalogue()) keys.insert(entry.key);
    std::set<std::string> reached;
    for (const QString& path : paths) reached.insert(path.toStdString());
    QVERIFY(reached == keys);
    // The larger Sobel kernels list north-south before south-north.
    QCOMPARE(paths.indexOf("Gradient 5x5 Sobel Contours Nord/Sud ") + 1,
             paths.indexOf("Gradient 5x5 Sobel Contours Sud/Nord "));
    QCOMPARE(paths.indexOf("Gradient 3x3 Sobel Contours Sud/Nord ") + 1,
             paths.indexOf("Gradient 3x3 Sobel Contours Nord/Sud "));
    QCOMPARE(paths.first(), QString("Gradient 3x3 Prewitt Contours Ouest/Est "));
    QCOMPARE(paths.indexOf("Lissage Plat 3x3 1 ") + 12, paths.indexOf("Lissage Gaussien 3x3 1 "));
}

void TestFilterBrowser::applyBeforeAnyChoiceGivesSevenBySevenZeros() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    QCOMPARE(Description(dialog), QString("Choisissez un filtre"));
    QCOMPARE(BlockTexts(dialog, 7), QStringList(49, "0"));
    QVERIFY(Cell(dialog, 0, 0)->isVisible() && Cell(dialog, 0, 0)->isReadOnly());
    for (const char* hidden : {"3x3", "5x5", "7x7", "0"})
        QVERIFY(!ButtonLabelled(&dialog, hidden)->isVisible());
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(int(dialog.Mask().GetMaskSize()), 7);
    QCOMPARE(MaskValues(dialog.Mask()), Repeated(0, 49));
}

void TestFilterBrowser::catalogueLeafFillsGridAndDescription() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Gradient 3x3 Sobel Contraste Sud-Ouest/Nord-Est");
    QCOMPARE(BlockTexts(dialog, 3), QStringList({"0", "1", "2", "-1", "1", "1", "-2", "-1", "0"}));
    QCOMPARE(Description(dialog), QString("\nMet en évidence les contours à 135 ° orientés"));
    QVERIFY(!Cell(dialog, 1, 1)->isVisible());
    QVERIFY(Cell(dialog, 2, 2)->isReadOnly());

    Pick(dialog, "Gradient 5x5 Sobel Contours Nord/Sud");
    QCOMPARE(BlockTexts(dialog, 5).mid(15, 5), QStringList({"1", "2", "0", "2", "1"}));
    QVERIFY(Cell(dialog, 1, 1)->isVisible() && !Cell(dialog, 0, 0)->isVisible());
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(MaskValues(dialog.Mask()),
             MaskValues(MakeKernelMask(*FindKernel("Gradient 5x5 Sobel Contours Nord/Sud "))));
}

void TestFilterBrowser::familyItemKeepsTheLastKernel() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Lissage Plat 3x3 4");
    QCOMPARE(Description(dialog), QString("\nMoyenne l'image"));
    Pick(dialog, "Lissage");
    QCOMPARE(Description(dialog), QString("\n"));
    QCOMPARE(BlockTexts(dialog, 3), QStringList(9, "1"));
    QVERIFY(Cell(dialog, 3, 3)->isReadOnly());
    Press(&dialog, "Appliquer");
    QCOMPARE(int(dialog.Mask().GetMaskSize()), 3);
    QCOMPARE(MaskValues(dialog.Mask()), Repeated(1, 9));
}

void TestFilterBrowser::customKernelRoundTrip() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Lissage Gaussien 7x7 1");
    Pick(dialog, "Personalisé");
    QVERIFY(dialog.IsCustomMode());
    QCOMPARE(Description(dialog), QString("\nSaisissez un filtre et choisissez sa taille"));
    // The whole grid is cleared, and a 5 x 5 block offered for typing.
    QCOMPARE(Cell(dialog, 0, 0)->text(), QString("0"));
    QVERIFY(!Cell(dialog, 0, 0)->isVisible());
    QCOMPARE(BlockTexts(dialog, 5), QStringList(25, "0"));
    QVERIFY(!Cell(dialog, 1, 1)->isReadOnly());
    for (const char* shown : {"3x3", "5x5", "7x7", "0"})
        QVERIFY(ButtonLabelled(&dialog, shown)->isVisible());

    QList<int> typed;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            const int value = (i * 5 + j) * 8 - 99;  // -99 .. 93
            typed << value;
            TypeInto(Cell(dialog, 1 + i, 1 + j), QString::number(value));
        }
    }
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(int(dialog.Mask().GetMaskSize()), 5);
    QCOMPARE(MaskValues(dialog.Mask()), typed);
}

void TestFilterBrowser::smallerSizeKeepsOuterTextAndIgnoresIt() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    Press(&dialog, "7x7");
    QCOMPARE(dialog.DisplayedSize(), 7);
    TypeInto(Cell(dialog, 0, 0), "42");
    TypeInto(Cell(dialog, 6, 3), "-17");
    TypeInto(Cell(dialog, 3, 3), "5");
    Press(&dialog, "3x3");
    QVERIFY(!Cell(dialog, 0, 0)->isVisible() && Cell(dialog, 2, 2)->isVisible());
    Press(&dialog, "7x7");
    QCOMPARE(Cell(dialog, 0, 0)->text(), QString("42"));
    QCOMPARE(Cell(dialog, 6, 3)->text(), QString("-17"));
    Press(&dialog, "3x3");
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.result(), 1);
    QCOMPARE(MaskValues(dialog.Mask()), QList<int>({0, 0, 0, 0, 5, 0, 0, 0, 0}));
}

void TestFilterBrowser::readBackOrderAndFocus() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    Press(&dialog, "7x7");
    TypeInto(Cell(dialog, 4, 1), "x");
    TypeInto(Cell(dialog, 6, 6), "y");
    TypeInto(Cell(dialog, 0, 0), "zz");

    SRecordedMessages messages;
    Press(&dialog, "Appliquer");
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), Cell(dialog, 0, 0));
    QCOMPARE(Cell(dialog, 0, 0)->selectedText(), QString("zz"));
    TypeInto(Cell(dialog, 0, 0), "1");
    // Cell (4, 1) is read after every other cell, (6, 6) included.
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.focusWidget(), Cell(dialog, 6, 6));
    TypeInto(Cell(dialog, 6, 6), "1");
    Press(&dialog, "Appliquer");
    QCOMPARE(dialog.focusWidget(), Cell(dialog, 4, 1));
    QCOMPARE(messages.texts, std::vector<std::string>(3, "Tapez un nombre entier."));
    QVERIFY(dialog.isVisible());
}

void TestFilterBrowser::cellTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("lowest") << "-99"
                            << "";
    QTest::newRow("highest") << "99"
                             << "";
    QTest::newRow("blanks around") << "  7 "
                                   << "";
    QTest::newRow("below") << "-100"
                           << "Tapez un nombre entier compris entre -99 et 99.";
    QTest::newRow("above") << "100"
                           << "Tapez un nombre entier compris entre -99 et 99.";
    QTest::newRow("empty") << ""
                           << "Tapez un nombre entier.";
    QTest::newRow("minus zero") << "-0"
                                << "Tapez un nombre entier.";
    QTest::newRow("letters") << "abc"
                             << "Tapez un nombre entier.";
}

void TestFilterBrowser::cellTexts() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    TypeInto(Cell(dialog, 3, 3), text);
    SRecordedMessages messages;
    Press(&dialog, "Appliquer");
    if (message.isEmpty()) {
        QVERIFY(messages.texts.empty());
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(int(dialog.Mask().GetCell(2, 2)), text.trimmed().toInt());
    } else {
        QCOMPARE(messages.texts, std::vector<std::string>{message.toStdString()});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), Cell(dialog, 3, 3));
    }
}

void TestFilterBrowser::invalidHiddenCellBlocksApply() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    Press(&dialog, "7x7");
    TypeInto(Cell(dialog, 0, 6), "abc");
    Press(&dialog, "3x3");
    SRecordedMessages messages;
    Press(&dialog, "Appliquer");
    QCOMPARE(messages.texts, std::vector<std::string>{"Tapez un nombre entier."});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
}

void TestFilterBrowser::resetClearsDisplayedSize() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    Press(&dialog, "7x7");
    TypeInto(Cell(dialog, 0, 0), "9");
    TypeInto(Cell(dialog, 3, 3), "9");
    Press(&dialog, "3x3");
    Press(&dialog, "0");
    QCOMPARE(Cell(dialog, 3, 3)->text(), QString("0"));
    QCOMPARE(dialog.DisplayedSize(), 3);
    Press(&dialog, "7x7");
    QCOMPARE(Cell(dialog, 0, 0)->text(), QString("9"));
    QVERIFY(!Cell(dialog, 0, 0)->isReadOnly());
}

void TestFilterBrowser::enterPressesTheFocusedButton() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    TypeInto(Cell(dialog, 3, 3), "9");
    const auto enterOn = [&](const char* label) {
        ButtonLabelled(&dialog, label)->setFocus();
        QTest::keyClick(ButtonLabelled(&dialog, label), Qt::Key_Return);
        QVERIFY2(dialog.isVisible(), label);
    };
    for (const auto& [label, size] : {std::pair{"7x7", 7}, {"3x3", 3}, {"5x5", 5}}) {
        enterOn(label);
        QCOMPARE(dialog.DisplayedSize(), size);
    }
    enterOn("0");
    QCOMPARE(Cell(dialog, 3, 3)->text(), QString("0"));
    QCOMPARE(dialog.result(), 0);
}

void TestFilterBrowser::otherLeafLeavesCustomMode() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Pick(dialog, "Personalisé");
    TypeInto(Cell(dialog, 3, 3), "8");
    Pick(dialog, "Laplacien 7x7 Contraste");
    QVERIFY(!dialog.IsCustomMode());
    QVERIFY(Cell(dialog, 3, 3)->isReadOnly());
    QCOMPARE(Cell(dialog, 3, 3)->text(), QString("49"));
    QVERIFY(!ButtonLabelled(&dialog, "0")->isVisible());
    Press(&dialog, "Appliquer");
    QCOMPARE(int(dialog.Mask().GetCell(3, 3)), 49);
}

void TestFilterBrowser::contextMenuOnShiftF10() {
    CDialogFilterBrowser dialog;
    QVERIFY(ShowActive(&dialog));
    Tree(dialog)->setFocus();
    QTest::keyClick(Tree(dialog), Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = dialog.ContextMenu();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), dialog.mapToGlobal(QPoint(5, 5)));
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions()[0]->text(), QString("OK"));
    menu->actions()[1]->trigger();  // "Annuler"
    QCOMPARE(dialog.result(), 0);
    QVERIFY(!dialog.isVisible());

    CDialogFilterBrowser other;
    QVERIFY(ShowActive(&other));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(40, 50),
                            other.mapToGlobal(QPoint(40, 50)));
    QApplication::sendEvent(&other, &click);
    QTRY_VERIFY(other.ContextMenu()->isVisible());
    QCOMPARE(other.ContextMenu()->pos(), other.mapToGlobal(QPoint(40, 50)));
    other.ContextMenu()->actions()[0]->trigger();  // "OK"
    QCOMPARE(other.result(), 1);
}

void TestFilterBrowser::modalRunReturnsOneOrZero() {
    {
        CDialogFilterBrowser dialog;
        QCOMPARE(ExecAnswering(dialog, [](auto& d) { Press(&d, "Appliquer"); }), 1);
    }
    CDialogFilterBrowser dialog;
    QCOMPARE(ExecAnswering(dialog, [](auto& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 0);
}

void TestFilterBrowser::tooltips() {
    CDialogFilterBrowser dialog;
    QCOMPARE(dialog.windowTitle(), QString("Filtres"));
    QCOMPARE(Tree(dialog)->toolTip(), QString("Sélectionnez un filtre"));
    QCOMPARE(dialog.findChild<QPlainTextEdit*>("Description")->toolTip(),
             QString("Nom et action du filtre sur l'image"));
    QCOMPARE(ButtonLabelled(&dialog, "3x3")->toolTip(), QString("Filtre de taille 3x3"));
    QCOMPARE(ButtonLabelled(&dialog, "7x7")->toolTip(), QString("Filtre de taille 7x7"));
    QCOMPARE(ButtonLabelled(&dialog, "0")->toolTip(),
             QString("Initialise tous les éléments du filtre à 0"));
}

QTEST_MAIN(TestFilterBrowser)
#include "tst_filterbrowser.moc"
