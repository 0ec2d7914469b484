#include "CDialogAdaptiveThreshold.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "CDialogUnits.h"
#include "CFieldReader.h"

CDialogAdaptiveThreshold::CDialogAdaptiveThreshold(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Seuillage adaptatif");
    const CDialogUnits units(font());
    setFixedSize(units.Size(177, 101));

    kField_ = new QLineEdit(QString::asprintf("%.*g", 6, static_cast<double>(k_)), this);
    kField_->setObjectName("K");
    kField_->setToolTip("Paramètre d'ajustement");
    units.Place(kField_, 31, 15, 40, 12);
    auto* kLabel = new QLabel("k :", this);
    units.Place(kLabel, 15, 17, 10, 8);
    auto* formula = new QLabel("Seuil : Moyenne + k * écart-type", this);
    formula->setToolTip("Formule du seuillage adaptatif");
    units.Place(formula, 15, 40, 130, 10);

    auto* apply = new QPushButton("Appliquer", this);
    apply->setDefault(true);
    apply->setToolTip("Applique le seuillage adaptatif");
    units.Place(apply, 100, 75, 50, 14);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Annuler", this);
    cancel->setToolTip("Referme cette fenêtre et annule l'action");
    units.Place(cancel, 35, 75, 50, 14);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CDialogAdaptiveThreshold::accept() {
    CFieldReader reader;
    const std::optional<float> k = reader.Float(kField_);
    if (!k) return;
    k_ = *k;
    QDialog::accept();
}

void CDialogAdaptiveThreshold::reject() { done(kCancelled); }
