#include "PageFields.h"

#include <QLabel>
#include <QLineEdit>

#include "CDialogUnits.h"

QLineEdit* AddLabelledEdit(QWidget* page, const CDialogUnits& units, const QString& label, int y,
                           int x) {
    auto* text = new QLabel(label, page);
    units.Place(text, x, y + 2, 40, 10);
    auto* edit = new QLineEdit(page);
    edit->setObjectName(label);
    units.Place(edit, x + 42, y, 40, 14);
    text->setBuddy(edit);
    return edit;
}
