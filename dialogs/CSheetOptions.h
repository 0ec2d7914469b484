#pragma once
// "Options": the perspective page. One sheet serves the whole run, so its
// page keeps the values accepted last until the program ends; they are not
// written to disk.

#include "CPageRelief.h"
#include "CPropertySheet.h"

class CSheetOptions : public CPropertySheet {
    Q_OBJECT
public:
    explicit CSheetOptions(const QString& caption = "Options", QWidget* parent = nullptr,
                           int firstPage = 0);

    CPagePerspective& Perspective() { return perspective_; }
    const CPagePerspective& Perspective() const { return perspective_; }

private:
    CPagePerspective perspective_;
};
