#pragma once
// "A propos de Orvex 95": the program's icon and a centred, read-only text
// with its name, credits and release date.

#include <QDialog>

class QTextEdit;

class CDialogAbout : public QDialog {
    Q_OBJECT
public:
    explicit CDialogAbout(QWidget* parent = nullptr);

    // The text shown, each line ended by CR LF.
    static QString AboutText();

private:
    QTextEdit* text_;
};
