#pragma once
// "Conseil du jour": one tip of "Orvex.tip" (current folder) at a time. The
// position of the next tip and the file's time stamp are kept in the "Tip"
// section of the settings; a new tips file starts again at its first tip.
// Making the dialog reads one tip and destroying it saves the position,
// whether or not it was shown.

#include <QDialog>

#include "CTipFile.h"

class QCheckBox;
class QLabel;
class QPushButton;

class CDialogTip : public QDialog {
    Q_OBJECT
public:
    explicit CDialogTip(QWidget* parent = nullptr);
    ~CDialogTip() override;

    // Whether the tips are shown at start-up ("Afficher au démarrage").
    bool ShowAtStartUp() const { return startUp_; }
    QString TipText() const { return tipText_; }

    // "Suivant".
    void ShowNextTip();
    // "Fermer" and Enter: also remembers the check box in "StartUp".
    void accept() override;

private:
    void BuildLayout();
    void ReadFirstTip();
    void TakeNextTip();

    CTipFile file_;
    bool startUp_ = true;
    QString tipText_;
    QLabel* tipLabel_ = nullptr;
    QCheckBox* startUpBox_ = nullptr;
    QPushButton* nextButton_ = nullptr;
};
