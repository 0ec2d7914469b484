#pragma once
// The "Enregistrer sous" file dialog. When the name chosen is that of a file
// the picture cannot give back whole, the overwrite question says what would
// be lost, and its default answer is "Non"; "Non" leaves the dialog open for
// another name.

#include <QFileDialog>

class CSaveAsDialog : public QFileDialog {
public:
    CSaveAsDialog(QWidget* parent, const QString& suggestedName);

    // Replacing the file at `path` loses what `sentences` say (one a line);
    // nothing is said when they are empty.
    void SetLossesOf(const QString& path, const QString& sentences);

    void accept() override;

private:
    QString lossyPath_;
    QString sentences_;
};
