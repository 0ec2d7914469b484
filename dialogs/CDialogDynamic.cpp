#include "CDialogDynamic.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "CDialogUnits.h"
#include "CFieldReader.h"
#include "Message.h"

namespace {

// Where the graph is copied, in client pixels.
const QRect kCurveRect(QPoint(15, 15), QPoint(270, 270));
constexpr int kGraphSide = 256;
constexpr int kMaxGamma = 99;

struct SCurveButton {
    int code;
    const char* label;
    bool enabled;
};

// In the order the buttons are laid out, top to bottom. The last two curves
// are offered but cannot be chosen.
constexpr SCurveButton kCurveButtons[] = {
    {kCurveLinear, "Linéaire", true},
    {kCurveInverse, "Inverse", true},
    {kCurveExponential, "Exponentielle", true},
    {kCurveLogarithmic, "Logarithmique", true},
    {kCurvePower, "Puissance X", true},
    {kCurveRoot, "Puissance 1/X", true},
    {kCurveSquareRoot, "Racine carrée", true},
    {8, "Egalisation", false},
    {7, "Personalisée", false},
};

QLineEdit* ReadOnlyField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setTextMargins(0, 0, 0, 0);
    return field;
}

}  // namespace

CDialogDynamic::CDialogDynamic(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Dynamique");
    table_ = ComputeToneCurve(curveType_, static_cast<std::uint8_t>(gamma_));
    BuildControls();
    WriteFields();
    graph_ = QPixmap(kGraphSide, kGraphSide);
    if (graph_.isNull())
        ShowMessage("CHistogram::CHistogram ** Unable to create compatible Bitmap");
    DrawCurve();
}

void CDialogDynamic::BuildControls() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(297, 206));

    auto* apply = new QPushButton("Appliquer", this);
    apply->setDefault(true);
    units.Place(apply, 230, 180, 45, 15);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Annuler", this);
    units.Place(cancel, 180, 180, 45, 15);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    int top = 25;
    for (const SCurveButton& curve : kCurveButtons) {
        auto* radio = new QRadioButton(QString::fromUtf8(curve.label), this);
        radio->setEnabled(curve.enabled);
        units.Place(radio, 210, top, 63, 8);
        top += 15;
        const int code = curve.code;
        connect(radio, &QRadioButton::clicked, this, [this, code] { SelectCurve(code); });
    }

    indexField_ = ReadOnlyField(this, "Index");
    units.Place(indexField_, 23, 180, 19, 12);
    valueField_ = ReadOnlyField(this, "Value");
    units.Place(valueField_, 42, 180, 20, 12);
    gammaField_ = ReadOnlyField(this, "Gamma");
    units.Place(gammaField_, 106, 180, 12, 12);
    connect(gammaField_, &QLineEdit::textChanged, this, &CDialogDynamic::OnGammaTextChanged);

    auto* type = new QGroupBox("Type", this);
    units.Place(type, 200, 10, 77, 160);
    type->lower();
    // Right-aligned against its field, so that a wide font grows it leftwards
    // into the free space rather than under the field.
    auto* gammaLabel = new QLabel("Gamma :", this);
    gammaLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    units.Place(gammaLabel, 64, 182, 40, 10);

    units.Place(ArrowButton(Qt::UpArrow, "GammaUp", &CDialogDynamic::GammaUp), 118, 180, 9, 6);
    units.Place(ArrowButton(Qt::DownArrow, "GammaDown", &CDialogDynamic::GammaDown), 118, 186, 9,
                6);
    units.Place(ArrowButton(Qt::UpArrow, "IndexUp", &CDialogDynamic::IndexUp), 15, 180, 8, 6);
    units.Place(ArrowButton(Qt::DownArrow, "IndexDown", &CDialogDynamic::IndexDown), 15, 186, 8, 6);
}

// Held down, the button repeats, and the graph follows each step.
QToolButton* CDialogDynamic::ArrowButton(Qt::ArrowType arrow, const char* name,
                                         void (CDialogDynamic::*step)()) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, step);
    return button;
}

void CDialogDynamic::SelectCurve(int curveType) {
    curveType_ = curveType;
    ComputeTable();
    DrawCurve();
}

void CDialogDynamic::GammaUp() {
    if (gamma_ < kMaxGamma) ++gamma_;
    gammaField_->setText(QString::number(gamma_));
    ComputeTable();
    DrawCurve();
}

void CDialogDynamic::GammaDown() {
    if (gamma_ > 1) --gamma_;
    gammaField_->setText(QString::number(gamma_));
    ComputeTable();
    DrawCurve();
}

void CDialogDynamic::IndexUp() {
    if (index_ < 255) ++index_;
    value_ = table_[static_cast<std::size_t>(index_)];
    WriteFields();
}

void CDialogDynamic::IndexDown() {
    if (index_ > 0) --index_;
    value_ = table_[static_cast<std::size_t>(index_)];
    WriteFields();
}

// The value shown is not recomputed: it stays the one last read with the
// index buttons.
void CDialogDynamic::ComputeTable() {
    table_ = ComputeToneCurve(curveType_, static_cast<std::uint8_t>(gamma_));
    indexField_->setText(QString::number(index_));
    valueField_->setText(QString::number(value_));
}

void CDialogDynamic::DrawCurve() {
    if (graph_.isNull()) return;
    QPainter painter(&graph_);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(0, 0, kGraphSide - 2, kGraphSide - 2);
    QPolygon curve(kGraphSide);
    for (int i = 0; i < kGraphSide; ++i)
        curve.setPoint(i, i, 255 - table_[static_cast<std::size_t>(i)]);
    painter.drawPolyline(curve);
    update(kCurveRect.adjusted(0, 0, 1, 1));
}

void CDialogDynamic::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (graph_.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(kCurveRect.topLeft(), graph_, QRect(0, 0, kGraphSide - 1, kGraphSide - 1));
}

void CDialogDynamic::OnGammaTextChanged(const QString& text) {
    if (curveType_ != kCurvePower && curveType_ != kCurveRoot) return;
    if (text.isEmpty() || text == "0") return;
    if (!ReadFields()) return;
    ComputeTable();
    DrawCurve();
}

bool CDialogDynamic::ReadFields() {
    CFieldReader reader;
    const std::optional<int> index = reader.Byte(indexField_);
    const std::optional<int> value = reader.Byte(valueField_);
    const std::optional<int> gamma = reader.Byte(gammaField_, 0, kMaxGamma);
    if (!reader.Ok()) return false;
    index_ = *index;
    value_ = *value;
    gamma_ = *gamma;
    return true;
}

void CDialogDynamic::WriteFields() {
    indexField_->setText(QString::number(index_));
    valueField_->setText(QString::number(value_));
    gammaField_->setText(QString::number(gamma_));
}

void CDialogDynamic::accept() {
    if (!ReadFields()) return;
    graph_ = QPixmap();
    QDialog::accept();
}

void CDialogDynamic::reject() {
    graph_ = QPixmap();
    WriteFields();
    QDialog::reject();
}
