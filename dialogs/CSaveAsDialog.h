#pragma once
// The "Enregistrer sous" file dialog. When the name chosen is that of a file
// the picture cannot give back whole, the overwrite question says what would
// be lost, and its default answer is "Non"; "Non" leaves the dialog open for
// another name. A name whose format cannot hold the picture is refused at
// once, with why, before any overwrite question, and the dialog stays open.

#include <QFileDialog>
#include <functional>

class CSaveAsDialog : public QFileDialog {
public:
    CSaveAsDialog(QWidget* parent, const QString& suggestedName);

    // Replacing the file at `path` loses what `sentences` say (one a line);
    // nothing is said when they are empty.
    void SetLossesOf(const QString& path, const QString& sentences);
    // Why the picture cannot be written under a chosen name; empty when it can.
    void SetRefusal(std::function<QString(const QString& chosen)> why) {
        refusal_ = std::move(why);
    }

    void accept() override;

private:
    QString lossyPath_;
    QString sentences_;
    std::function<QString(const QString&)> refusal_;
};
