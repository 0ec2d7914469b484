#pragma once
// The labelled edits of the option pages: a label at x = 15 dialog units, its
// edit beside it, one row `y` units down. The edit is named after its label.

class CDialogUnits;
class QLineEdit;
class QString;
class QWidget;

QLineEdit* AddLabelledEdit(QWidget* page, const CDialogUnits& units, const QString& label, int y,
                           int x = 15);
