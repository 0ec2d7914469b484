#include "CDialogStatistics.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "CDialogUnits.h"

CDialogStatistics::CDialogStatistics(CImage& image, QWidget* parent,
                                     const std::optional<SValueStatistics>& values)
    : QDialog(parent), statistics_(CImageStatistics::Measure(image)) {
    setWindowTitle("Statistiques");
    const CDialogUnits units(font());
    setFixedSize(units.Size(values ? 372 : 252, 156));
    if (values) AddValues(*values);

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

void CDialogStatistics::AddField(const char* label, const std::string& text, int x, int y,
                                 int height, const QString& name) {
    const CDialogUnits units(font());
    auto* caption = new QLabel(QString::fromUtf8(label), this);
    caption->adjustSize();
    caption->move(units.Point(x - 50, y + height / 2 - 2) - QPoint(0, caption->height() / 4));
    auto* field = new QLineEdit(QString::fromStdString(text), this);
    field->setObjectName(name.isEmpty() ? QString::fromUtf8(label) : name);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    units.Place(field, x, y, 35, height);
}

// The fields are named "Valeurs Minimum", ... apart from the levels' own.
void CDialogStatistics::AddValues(const SValueStatistics& values) {
    const CDialogUnits units(font());
    units.Place(new QGroupBox("Valeurs du fichier", this), 250, 10, 110, 110);
    const bool floats = !values.depth.empty() && values.depth.back() == 'f';
    const struct {
        const char* label;
        std::string text;
    } fields[] = {
        {"Profondeur", values.depth},
        {"Minimum", ValueNumberText(values.minimum, floats)},
        {"Maximum", ValueNumberText(values.maximum, floats)},
        {"Moyenne", ValueNumberText(values.mean)},
        {"Ecart-type", ValueNumberText(values.sd)},
        {"NaN", std::to_string(values.nan)},
    };
    int y = 21;
    for (const auto& field : fields) {
        AddField(field.label, field.text, 310, y, 13,
                 QStringLiteral("Valeurs ") + QString::fromUtf8(field.label));
        y += 16;
    }
}
