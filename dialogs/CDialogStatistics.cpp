#include "CDialogStatistics.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "CDialogUnits.h"

CDialogStatistics::CDialogStatistics(CImage& image, QWidget* parent)
    : QDialog(parent), statistics_(CImageStatistics::Measure(image)) {
    setWindowTitle("Statistiques");
    const CDialogUnits units(font());
    setFixedSize(units.Size(252, 156));

    units.Place(new QGroupBox(this), 10, 10, 110, 110);
    units.Place(new QGroupBox(this), 130, 10, 110, 110);

    // Each label sits 50 units left of its field and 6 units lower.
    AddField("Pixels", statistics_.PixelsText(), 70, 24);
    AddField("Minimum", statistics_.MinimumText(), 70, 54);
    AddField("Maximum", statistics_.MaximumText(), 70, 84);
    AddField("Somme", statistics_.SumText(), 190, 24);
    AddField("Ecart-type", statistics_.StdevText(), 190, 54);
    AddField("Moyenne", statistics_.MeanText(), 190, 84);

    auto* close = new QPushButton("Fermer", this);
    close->setDefault(true);
    units.Place(close, 190, 130, 51, 14);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void CDialogStatistics::AddField(const char* label, const std::string& text, int x, int y) {
    const CDialogUnits units(font());
    auto* caption = new QLabel(QString::fromUtf8(label), this);
    caption->adjustSize();
    caption->move(units.Point(x - 50, y + 6) - QPoint(0, caption->height() / 4));
    auto* field = new QLineEdit(QString::fromStdString(text), this);
    field->setObjectName(QString::fromUtf8(label));
    field->setReadOnly(true);
    field->setCursorPosition(0);
    units.Place(field, x, y, 35, 15);
}
