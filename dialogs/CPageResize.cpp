#include "CPageResize.h"

#include <QLabel>
#include <QLineEdit>

#include "CDialogUnits.h"
#include "CFieldReader.h"
#include "CListPickComboBox.h"
#include "PageFields.h"

namespace {

struct SStandardSize {
    const char* text;
    int width, height;
};

constexpr SStandardSize kStandardSizes[] = {{"320 * 200", 320, 200},
                                            {"640 * 480", 640, 480},
                                            {"800 * 600", 800, 600},
                                            {"1024 * 768", 1024, 768}};

}  // namespace

CPageResize::CPageResize(QWidget* parent) : CPropertyPage("Redimensionner", parent) {
    const CDialogUnits units(font());
    widthEdit_ = AddLabelledEdit(this, units, "Largeur", 15);
    heightEdit_ = AddLabelledEdit(this, units, "Hauteur", 35);
    auto* label = new QLabel("Standards :", this);
    units.Place(label, 120, 15, 80, 10);
    standards_ = new CListPickComboBox(this);
    standards_->setObjectName("Standards");
    standards_->setEditable(true);
    standards_->setInsertPolicy(QComboBox::NoInsert);
    for (const SStandardSize& size : kStandardSizes) standards_->addItem(size.text);
    standards_->setCurrentIndex(1);
    units.Place(standards_, 120, 27, 85, 14);
    label->setBuddy(standards_);
    connect(standards_, &CListPickComboBox::pickedInList, this, &CPageResize::OnStandardPicked);
    setFixedSize(units.X(222), units.Y(95));
}

void CPageResize::OnStandardPicked(int row) {
    const QString picked = standards_->itemText(row);
    for (const SStandardSize& size : kStandardSizes) {
        if (picked != size.text) continue;
        width_ = size.width;
        height_ = size.height;
        ShowValues();
    }
}

void CPageResize::ShowValues() {
    widthEdit_->setText(QString::number(width_));
    heightEdit_->setText(QString::number(height_));
}

bool CPageResize::SaveValues() {
    CFieldReader reader;
    const auto height = reader.Integer(heightEdit_);
    const auto width = reader.Integer(widthEdit_);
    if (!reader.Ok()) return false;
    height_ = *height;
    width_ = *width;
    return true;
}
