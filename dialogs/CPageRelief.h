#pragma once
// "Perspective": the six values of the perspective rendering (amplitude,
// border, left and right angles, background and contour levels), taken as
// plain integers. The page object keeps the values accepted last.

#include "CPropertyPage.h"
#include "StepsFilter.h"

class QLineEdit;

class CPagePerspective : public CPropertyPage {
    Q_OBJECT
public:
    explicit CPagePerspective(QWidget* parent = nullptr);

    const PerspectiveParams& Values() const { return values_; }
    // Values kept elsewhere for the run, shown when the sheet opens.
    void SetValues(const PerspectiveParams& values) { values_ = values; }

    void ShowValues() override;
    bool SaveValues() override;

private:
    PerspectiveParams values_;
    QLineEdit* amplitudeEdit_ = nullptr;
    QLineEdit* backgroundEdit_ = nullptr;
    QLineEdit* borderEdit_ = nullptr;
    QLineEdit* leftEdit_ = nullptr;
    QLineEdit* contourEdit_ = nullptr;
    QLineEdit* rightEdit_ = nullptr;
};
