#include "CDialogRotation.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "CDialogUnits.h"

CDialogRotation::CDialogRotation(QWidget* parent) : QDialog(parent) { BuildLayout(); }

void CDialogRotation::BuildLayout() {
    setWindowTitle("Rotation");
    const CDialogUnits units(font());

    auto* directionBox = new QGroupBox("Direction", this);
    units.Place(directionBox, 10, 10, 90, 95);
    directionBox->setToolTip("Choisissez le sens de rotation de l'image");
    auto* angleBox = new QGroupBox("Angle", this);
    units.Place(angleBox, 115, 10, 95, 95);
    angleBox->setToolTip("Choisissez l'angle de \nrotation (multiple de 90 °)");

    // Buttons are children of the dialog, drawn over their group boxes, so
    // their positions stay those of the dialog.
    auto* directions = new QButtonGroup(this);
    const std::pair<const char*, int> directionButtons[] = {{"Horaire", 35}, {"Anti-horaire", 70}};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QRadioButton(directionButtons[i].first, this);
        units.Place(button, 30, directionButtons[i].second, 60, 11);
        directions->addButton(button, i);
    }
    directions->button(direction_)->setChecked(true);
    connect(directions, &QButtonGroup::idClicked, this, [this](int id) { direction_ = id; });

    auto* angles = new QButtonGroup(this);
    const int angleValues[] = {90, 180, 270};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(QString("%1 °").arg(angleValues[i]), this);
        // Taller than the template's 7 units, so the text is not cut.
        units.Place(button, 135, 30 + 25 * i - 2, 45, 11);
        angles->addButton(button, angleValues[i]);
    }
    angles->button(angle_)->setChecked(true);
    connect(angles, &QButtonGroup::idClicked, this, [this](int angle) { angle_ = angle; });

    auto* ok = new QPushButton("OK", this);
    units.Place(ok, 155, 120, 55, 14);
    ok->setDefault(true);
    ok->setToolTip("Déclenche la rotation");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Annuler", this);
    units.Place(cancel, 90, 120, 55, 14);
    cancel->setToolTip("Referme cette fenêtre et annule l'action");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(units.X(227), units.Y(146));
}

void CDialogRotation::accept() {
    if (direction_ == 1) angle_ = 360 - angle_;
    QDialog::accept();
}

QMenu* CDialogRotation::ShowContextMenu(QPoint globalPos) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction("OK"), &QAction::triggered, this, &QDialog::accept);
    connect(menu->addAction("Annuler"), &QAction::triggered, this, &QDialog::reject);
    menu->popup(globalPos);
    return menu;
}

void CDialogRotation::contextMenuEvent(QContextMenuEvent* event) {
    ShowContextMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                : mapToGlobal(QPoint(5, 5)));
    event->accept();
}

void CDialogRotation::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        ShowContextMenu(mapToGlobal(QPoint(5, 5)));
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
