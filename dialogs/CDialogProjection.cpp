#include "CDialogProjection.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CDialogProjection::CDialogProjection(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Projection");
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox("Valeur de chaque pixel à travers les pages", this);
    auto* groupLayout = new QVBoxLayout(group);
    kinds_ = new QButtonGroup(this);
    const std::pair<const char*, ProjectionKind> choices[] = {
        {"Ma&ximum", ProjectionKind::Maximum},
        {"Mi&nimum", ProjectionKind::Minimum},
        {"&Moyenne", ProjectionKind::Mean}};
    for (const auto& [label, kind] : choices) {
        auto* button = new QRadioButton(label, group);
        groupLayout->addWidget(button);
        kinds_->addButton(button, static_cast<int>(kind));
    }
    layout->addWidget(group);
    connect(kinds_, &QButtonGroup::idClicked, this,
            [this](int id) { kind_ = static_cast<ProjectionKind>(id); });
    SetKind(kind_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Annuler", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CDialogProjection::SetKind(ProjectionKind kind) {
    kind_ = kind;
    kinds_->button(static_cast<int>(kind))->setChecked(true);
}
