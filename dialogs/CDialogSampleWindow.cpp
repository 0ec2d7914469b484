#include "CDialogSampleWindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "CFieldReader.h"
#include "CSampleWindowPlot.h"
#include "Message.h"
#include "SampleWindowText.h"

namespace {

// The values across the plot: the file's, and any end offered beyond them.
std::pair<double, double> ShownRange(const SValueHistogram& histogram,
                                     std::initializer_list<std::optional<ValueWindow>> ends) {
    double low = histogram.low, high = histogram.high;
    for (const std::optional<ValueWindow>& window : ends) {
        if (!window) continue;
        low = std::min(low, window->first);
        high = std::max(high, window->second);
    }
    return {low, high};
}

}  // namespace

CDialogSampleWindow::CDialogSampleWindow(const SValueHistogram& histogram, SampleKind kind,
                                         ValueWindow current, std::optional<ValueWindow> automatic,
                                         std::optional<ValueWindow> saturated, QWidget* parent)
    : QDialog(parent), kind_(kind), low_(current.first), high_(current.second) {
    setWindowTitle("Fenêtre");
    const auto [shownLow, shownHigh] = ShownRange(histogram, {current, automatic, saturated});
    plot_ = new CSampleWindowPlot(histogram, shownLow, shownHigh, kind != SampleKind::Float, this);
    connect(plot_, &CSampleWindowPlot::windowDragged, this, &CDialogSampleWindow::SetWindow);

    lowField_ = new QLineEdit(this);
    lowField_->setObjectName("Low");
    highField_ = new QLineEdit(this);
    highField_->setObjectName("High");
    for (QLineEdit* field : {lowField_, highField_})
        connect(field, &QLineEdit::editingFinished, this, [this] {
            if (const std::optional<ValueWindow> typed = ReadFields(false))
                SetWindow(typed->first, typed->second);
        });
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel("Bas :", this));
    ends->addWidget(lowField_);
    ends->addSpacing(16);
    ends->addWidget(new QLabel("Haut :", this));
    ends->addWidget(highField_);
    ends->addStretch();

    auto* buttons = new QHBoxLayout;
    auto offer = [this, buttons](const QString& label, std::optional<ValueWindow> window) {
        auto* button = new QPushButton(label, this);
        button->setAutoDefault(false);
        button->setEnabled(window.has_value());
        if (window)
            connect(button, &QPushButton::clicked, this,
                    [this, window] { SetWindow(window->first, window->second); });
        buttons->addWidget(button);
    };
    offer("Auto", automatic);
    offer("Saturé 0,35 %", saturated);
    buttons->addStretch();
    auto* apply = new QPushButton("Appliquer", this);
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Annuler", this);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plot_, 1);
    layout->addLayout(ends);
    layout->addLayout(buttons);
    SetWindow(low_, high_);
}

QString CDialogSampleWindow::Text(double value) const {
    return QString::fromStdString(SampleValueText(value, kind_));
}

void CDialogSampleWindow::SetWindow(double low, double high) {
    const bool changed = low != low_ || high != high_;
    low_ = low;
    high_ = high;
    lowField_->setText(Text(low));
    highField_->setText(Text(high));
    plot_->SetWindow(low, high);
    if (changed) emit windowChanged(low, high);
}

// Numbers, whole ones for integer samples, put in order.
std::optional<ValueWindow> CDialogSampleWindow::ReadFields(bool tell) {
    double ends[2];
    QLineEdit* fields[2] = {lowField_, highField_};
    for (int i = 0; i < 2; ++i) {
        const std::optional<double> value = ParseFieldNumber(fields[i]->text());
        const bool whole = value && std::isfinite(*value) &&
                           (kind_ == SampleKind::Float || *value == std::trunc(*value));
        if (!whole) {
            if (!tell) return std::nullopt;
            ShowMessage(kind_ == SampleKind::Float ? "Tapez un nombre."
                                                   : "Tapez un nombre entier.");
            fields[i]->setFocus();
            fields[i]->selectAll();
            return std::nullopt;
        }
        ends[i] = *value;
    }
    return ValueWindow{std::min(ends[0], ends[1]), std::max(ends[0], ends[1])};
}

// Ends typed and not yet confirmed by Enter are taken too.
void CDialogSampleWindow::accept() {
    const std::optional<ValueWindow> typed = ReadFields(true);
    if (!typed) return;
    SetWindow(typed->first, typed->second);
    QDialog::accept();
}
