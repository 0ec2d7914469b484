#pragma once
// "Seuillage adaptatif": asks for the factor k of the threshold
// mean + k * standard deviation. "Appliquer" (or Enter) returns 1 with the
// typed value in K(); "Annuler", Escape and the close box return 2. A new
// dialog shows 0.

#include <QDialog>

class QLineEdit;

class CDialogAdaptiveThreshold : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCancelled = 2;

    explicit CDialogAdaptiveThreshold(QWidget* parent = nullptr);

    float K() const { return k_; }

    // Reads k back; a text that is no number keeps the dialog open.
    void accept() override;
    void reject() override;

private:
    float k_ = 0.0f;
    QLineEdit* kField_ = nullptr;
};
