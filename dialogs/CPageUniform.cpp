#include "CPageUniform.h"

#include <QLabel>
#include <QLineEdit>

#include "CDialogUnits.h"
#include "CFieldReader.h"
#include "PageFields.h"

CPageUniform::CPageUniform(QWidget* parent) : CPropertyPage("Image uniforme", parent) {
    const CDialogUnits units(font());
    widthEdit_ = AddLabelledEdit(this, units, "Largeur", 15);
    heightEdit_ = AddLabelledEdit(this, units, "Hauteur", 35);
    colourEdit_ = AddLabelledEdit(this, units, "Couleur", 55);
    units.Place(new QLabel("Couleurs : 256 (8 bits)", this), 15, 85, 100, 10);
    setFixedSize(units.X(132), units.Y(135));
}

void CPageUniform::ShowValues() {
    widthEdit_->setText(QString::number(width_));
    heightEdit_->setText(QString::number(height_));
    colourEdit_->setText(QString::number(colour_));
}

bool CPageUniform::SaveValues() {
    CFieldReader reader;
    const auto colour = reader.Integer(colourEdit_, 0, 255);
    const auto height = reader.Integer(heightEdit_, 1, 10000);
    const auto width = reader.Integer(widthEdit_, 1, 10000);
    if (!reader.Ok()) return false;
    colour_ = *colour;
    height_ = *height;
    width_ = *width;
    return true;
}
