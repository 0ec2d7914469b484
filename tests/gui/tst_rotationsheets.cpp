// The rotation dialog and the property sheets: clockwise angles, the context
// menu, the uniform page's ranges, the resize page's standard sizes, checks
// when leaving a tab, and the options kept for the whole run.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "CDialogRotation.h"
#include "CListPickComboBox.h"
#include "CPageResize.h"
#include "CPageUniform.h"
#include "CSheetOptions.h"
#include "CSheetProcessing.h"
#include "tst_dialog_support.h"
#include "tst_view_support.h"

namespace {

QRadioButton* Radio(QWidget& dialog, const QString& text) {
    for (auto* button : dialog.findChildren<QRadioButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

QLineEdit* Edit(QWidget* page, const char* name) { return page->findChild<QLineEdit*>(name); }

// Picks `row` as a user does: the list opens, the row is chosen in it and
// Return pressed there.
void PickInOpenList(QComboBox* box, int row) {
    box->showPopup();
    QAbstractItemView* list = box->view();
    list->setCurrentIndex(list->model()->index(row, 0));
    QTest::keyClick(list, Qt::Key_Return);
}

// Runs the sheet modally; `act` runs inside its loop (the sheet is rejected
// when `act` leaves it open).
int RunSheet(CPropertySheet& sheet, std::function<void()> act,
             std::source_location step = std::source_location::current()) {
    return ExecAnswering<CPropertySheet>(
        sheet, [act](CPropertySheet&) { act(); }, step);
}

}  // namespace

class TestRotationSheets : public QObject {
    Q_OBJECT

private slots:
    void rotationAngles_data();
    void rotationAngles();
    void contextMenuConfirmsLikeTheButtons();
    void escapeCancels();
    void uniformPageRefusesValuesOutOfRange();
    void resizePageStandardSizes();
    void resizeOpensOnItsOwnTab();
    void badFieldKeepsItsTab();
    void optionsKeptForTheRun();
};

void TestRotationSheets::rotationAngles_data() {
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<int>("clockwise");
    QTest::newRow("horaire 90") << "Horaire"
                                << "90 °" << 90;
    QTest::newRow("horaire 180") << "Horaire"
                                 << "180 °" << 180;
    QTest::newRow("horaire 270") << "Horaire"
                                 << "270 °" << 270;
    QTest::newRow("anti 90") << "Anti-horaire"
                             << "90 °" << 270;
    QTest::newRow("anti 180") << "Anti-horaire"
                              << "180 °" << 180;
    QTest::newRow("anti 270") << "Anti-horaire"
                              << "270 °" << 90;
}

void TestRotationSheets::rotationAngles() {
    QFETCH(QString, direction);
    QFETCH(QString, angle);
    QFETCH(int, clockwise);
    CDialogRotation dialog;
    QVERIFY(Radio(dialog, "Horaire")->isChecked());
    QVERIFY(Radio(dialog, "90 °")->isChecked());
    QTest::mouseClick(Radio(dialog, direction), Qt::LeftButton);
    QTest::mouseClick(Radio(dialog, angle), Qt::LeftButton);
    auto* ok = [&]() -> QPushButton* {
        for (auto* b : dialog.findChildren<QPushButton*>())
            if (b->text() == "OK") return b;
        return nullptr;
    }();
    QVERIFY(ok && ok->isDefault());
    QCOMPARE(ExecAnswering(dialog, [ok](CDialogRotation&) { ok->click(); }), 1);
    QCOMPARE(dialog.Angle(), clockwise);
}

void TestRotationSheets::contextMenuConfirmsLikeTheButtons() {
    CDialogRotation dialog;
    QTest::mouseClick(Radio(dialog, "Anti-horaire"), Qt::LeftButton);
    Answer<CDialogRotation>([&](CDialogRotation&) {
        QTest::keyClick(&dialog, Qt::Key_F10, Qt::ShiftModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->pos(), dialog.mapToGlobal(QPoint(5, 5)));
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[1]->text(), QString("Annuler"));
        QCOMPARE(items[0]->text(), QString("OK"));
        items[0]->trigger();
    });
    QCOMPARE(dialog.exec(), 1);
    QCOMPARE(dialog.Angle(), 270);

    CDialogRotation cancelled;
    QCOMPARE(ExecAnswering(cancelled,
                           [](CDialogRotation& d) {
                               d.ShowContextMenu(QPoint(40, 40))->actions().at(1)->trigger();
                           }),
             0);
}

void TestRotationSheets::escapeCancels() {
    CDialogRotation dialog;
    QCOMPARE(ExecAnswering(dialog, [](auto& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 0);
}

void TestRotationSheets::uniformPageRefusesValuesOutOfRange() {
    CEngineMessages messages;
    CSheetProcessing sheet("Image", nullptr, CSheetProcessing::kUniformPage);
    QCOMPARE(sheet.windowTitle(), QString("Image"));
    CPageUniform* page = sheet.Uniform();
    QLineEdit* width = Edit(page, "Largeur");
    QLineEdit* height = Edit(page, "Hauteur");
    QLineEdit* colour = Edit(page, "Couleur");
    const int result = RunSheet(sheet, [&] {
        QCOMPARE(width->text(), QString("256"));
        QCOMPARE(height->text(), QString("256"));
        QCOMPARE(colour->text(), QString("255"));
        width->setText("0");
        colour->setText("256");
        sheet.accept();  // the colour is checked first
        width->setText("10001");
        colour->setText("12");
        sheet.accept();
        QCOMPARE(sheet.focusWidget(), width);
        height->setText("x");
        width->setText("10000");
        sheet.accept();
        QVERIFY(sheet.isVisible());
        height->setText("1");
        sheet.accept();
    });
    QCOMPARE(result, 1);
    QCOMPARE(messages.texts, (QStringList{"Tapez un nombre entier compris entre 0 et 255.",
                                          "Tapez un nombre entier compris entre 1 et 10000.",
                                          "Tapez un nombre entier."}));
    QCOMPARE(page->Width(), 10000);
    QCOMPARE(page->Height(), 1);
    QCOMPARE(page->Colour(), 12);
}

void TestRotationSheets::resizePageStandardSizes() {
    CSheetProcessing sheet("Image", nullptr, CSheetProcessing::kResizePage);
    CPageResize* page = sheet.Resize();
    QComboBox* standards = page->Standards();
    QLineEdit* width = Edit(page, "Largeur");
    QLineEdit* height = Edit(page, "Hauteur");
    const int result = RunSheet(sheet, [&] {
        QCOMPARE(standards->count(), 4);
        QCOMPARE(standards->currentText(), QString("640 * 480"));
        QCOMPARE(width->text(), QString("256"));  // list and fields disagree at first
        PickInOpenList(standards, 3);
        QCOMPARE(width->text(), QString("1024"));
        QCOMPARE(height->text(), QString("768"));
        width->setText("5");
        PickInOpenList(standards, 3);  // the item already selected counts too
        QCOMPARE(width->text(), QString("1024"));
        PickInOpenList(standards, 1);
        QCOMPARE(width->text(), QString("640"));
        QCOMPARE(height->text(), QString("480"));
        // Typed text has no effect, nor has a list closed without a pick.
        TypeInto(standards->lineEdit(), "800 * 600");
        height->setFocus();
        standards->showPopup();
        QTest::keyClick(standards->view(), Qt::Key_Escape);
        QCOMPARE(width->text(), QString("640"));
        sheet.accept();
    });
    QCOMPARE(result, 1);
    QCOMPARE(page->Width(), 640);
    QCOMPARE(page->Height(), 480);
}

void TestRotationSheets::resizeOpensOnItsOwnTab() {
    CSheetProcessing sheet("Image", nullptr, CSheetProcessing::kResizePage);
    RunSheet(sheet, [&] {
        QCOMPARE(sheet.ActivePage(), 1);
        QCOMPARE(sheet.Tabs()->tabText(0), QString("Image uniforme"));
        QCOMPARE(sheet.Tabs()->tabText(1), QString("Redimensionner"));
        // Zero and negative sizes are the resize's business.
        Edit(sheet.Resize(), "Largeur")->setText("-5");
        Edit(sheet.Resize(), "Hauteur")->setText("0");
        sheet.accept();
    });
    QCOMPARE(sheet.result(), 1);
    QCOMPARE(sheet.Resize()->Width(), -5);
    QCOMPARE(sheet.Resize()->Height(), 0);
}

void TestRotationSheets::badFieldKeepsItsTab() {
    CEngineMessages messages;
    CSheetProcessing sheet("Image", nullptr, CSheetProcessing::kUniformPage);
    RunSheet(sheet, [&] {
        Edit(sheet.Uniform(), "Largeur")->setText("abc");
        sheet.Tabs()->setCurrentIndex(1);
        QCOMPARE(sheet.ActivePage(), 0);
        QCOMPARE(sheet.focusWidget(), Edit(sheet.Uniform(), "Largeur"));
        Edit(sheet.Uniform(), "Largeur")->setText("300");
        sheet.Tabs()->setCurrentIndex(1);
        QCOMPARE(sheet.ActivePage(), 1);
    });
    QCOMPARE(messages.texts, QStringList{"Tapez un nombre entier."});
    QCOMPARE(sheet.Uniform()->Width(), 300);
}

void TestRotationSheets::optionsKeptForTheRun() {
    CSheetOptions options;
    QCOMPARE(options.windowTitle(), QString("Options"));
    const PerspectiveParams defaults = options.Perspective().Values();
    QCOMPARE((std::array{defaults.amplitude, defaults.background, defaults.border,
                         defaults.leftAngle, defaults.edge, defaults.rightAngle}),
             (std::array{64, 100, 10, 30, 255, 30}));
    CPagePerspective* page = &options.Perspective();
    const char* names[] = {"Amplitude", "Fond", "Bordure", "Gauche", "Contour", "Droit"};
    QCOMPARE(RunSheet(options,
                      [&] {
                          int value = 1;
                          for (const char* name : names)
                              Edit(page, name)->setText(QString::number(value++));
                          options.accept();
                      }),
             1);
    const PerspectiveParams& v = page->Values();
    QCOMPARE((std::array{v.amplitude, v.background, v.border, v.leftAngle, v.edge, v.rightAngle}),
             (std::array{1, 2, 3, 4, 5, 6}));
    // A cancelled sheet changes nothing, and the next opening shows the values.
    QCOMPARE(RunSheet(options, [&] { Edit(page, "Amplitude")->setText("99"); }), 0);
    QCOMPARE(page->Values().amplitude, 1);
    RunSheet(options, [&] { QCOMPARE(Edit(page, "Amplitude")->text(), QString("1")); });
}

QTEST_MAIN(TestRotationSheets)
#include "tst_rotationsheets.moc"
