#include "CPageRelief.h"

#include <QGroupBox>
#include <QLineEdit>

#include "CDialogUnits.h"
#include "CFieldReader.h"
#include "PageFields.h"

CPagePerspective::CPagePerspective(QWidget* parent) : CPropertyPage("Perspective", parent) {
    const CDialogUnits units(font());
    auto group = [&](const char* title, int x, int y) {
        units.Place(new QGroupBox(title, this), x, y, 110, 60);
    };
    group("Géométrie", 7, 7);
    group("Angle", 130, 7);
    group("Couleur", 7, 80);
    amplitudeEdit_ = AddLabelledEdit(this, units, "Amplitude", 22, 17);
    borderEdit_ = AddLabelledEdit(this, units, "Bordure", 44, 17);
    leftEdit_ = AddLabelledEdit(this, units, "Gauche", 22, 140);
    rightEdit_ = AddLabelledEdit(this, units, "Droit", 44, 140);
    backgroundEdit_ = AddLabelledEdit(this, units, "Fond", 95, 17);
    contourEdit_ = AddLabelledEdit(this, units, "Contour", 117, 17);
    setFixedSize(units.X(247), units.Y(166));
}

void CPagePerspective::ShowValues() {
    amplitudeEdit_->setText(QString::number(values_.amplitude));
    backgroundEdit_->setText(QString::number(values_.background));
    borderEdit_->setText(QString::number(values_.border));
    leftEdit_->setText(QString::number(values_.leftAngle));
    contourEdit_->setText(QString::number(values_.edge));
    rightEdit_->setText(QString::number(values_.rightAngle));
}

bool CPagePerspective::SaveValues() {
    CFieldReader reader;
    const auto amplitude = reader.Integer(amplitudeEdit_);
    const auto background = reader.Integer(backgroundEdit_);
    const auto border = reader.Integer(borderEdit_);
    const auto left = reader.Integer(leftEdit_);
    const auto contour = reader.Integer(contourEdit_);
    const auto right = reader.Integer(rightEdit_);
    if (!reader.Ok()) return false;
    values_ = {.amplitude = *amplitude,
               .border = *border,
               .rightAngle = *right,
               .leftAngle = *left,
               .background = *background,
               .edge = *contour};
    return true;
}
