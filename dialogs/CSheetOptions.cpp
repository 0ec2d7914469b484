#include "CSheetOptions.h"

CSheetOptions::CSheetOptions(const QString& caption, QWidget* parent, int firstPage)
    : CPropertySheet(caption, parent) {
    AddPage(&perspective_);
    SetActivePage(firstPage);
}
