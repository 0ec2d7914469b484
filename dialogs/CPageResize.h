#pragma once
// "Redimensionner": the new width and height of the picture, any integers
// (the resize decides what it accepts); defaults 256 x 256. Closing the
// "Standards :" list on one of the four standard sizes fills both fields.

#include "CPropertyPage.h"

class CCloseUpComboBox;
class QLineEdit;

class CPageResize : public CPropertyPage {
    Q_OBJECT
public:
    explicit CPageResize(QWidget* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    CCloseUpComboBox* Standards() const { return standards_; }

    void ShowValues() override;
    bool SaveValues() override;

private:
    void OnStandardsClosedUp();

    CCloseUpComboBox* standards_ = nullptr;
    int height_ = 256;
    int width_ = 256;
    QLineEdit* widthEdit_ = nullptr;
    QLineEdit* heightEdit_ = nullptr;
};
