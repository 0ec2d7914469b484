#pragma once
// "Image uniforme": the size and grey level of a new uniform picture.
// Width and height 1 .. 10000, colour 0 .. 255; defaults 256 x 256 at 255.

#include "CPropertyPage.h"

class QLineEdit;

class CPageUniform : public CPropertyPage {
    Q_OBJECT
public:
    explicit CPageUniform(QWidget* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Colour() const { return colour_; }

    void ShowValues() override;
    bool SaveValues() override;

private:
    int colour_ = 255;
    int height_ = 256;
    int width_ = 256;
    QLineEdit* widthEdit_ = nullptr;
    QLineEdit* heightEdit_ = nullptr;
    QLineEdit* colourEdit_ = nullptr;
};
