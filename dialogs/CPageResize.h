#pragma once
// "Redimensionner": the new width and height of the picture, any integers
// (the resize decides what it accepts); defaults 256 x 256. Picking one of
// the four standard sizes in the "Standards :" list fills both fields.

#include "CPropertyPage.h"

class CListPickComboBox;
class QLineEdit;

class CPageResize : public CPropertyPage {
    Q_OBJECT
public:
    explicit CPageResize(QWidget* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    CListPickComboBox* Standards() const { return standards_; }

    void ShowValues() override;
    bool SaveValues() override;

private:
    void OnStandardPicked(int row);

    CListPickComboBox* standards_ = nullptr;
    int height_ = 256;
    int width_ = 256;
    QLineEdit* widthEdit_ = nullptr;
    QLineEdit* heightEdit_ = nullptr;
};
