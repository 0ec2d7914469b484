#pragma once
// "Fenêtre": the window that makes a deep picture's 8-bit levels from its
// file's values. The histogram of the values with the window's ends as two
// marks to drag, the ends as numbers, "Auto" and "Saturé 0,35 %" (ends the
// caller has computed, the latter with 0.35 % of the values beyond each end), "Appliquer" (exec
// returns 1, Low() and High() then hold the ends, low <= high) and "Annuler". Every change of the
// ends is announced with windowChanged, for a live preview the caller shows and takes back.

#include <QDialog>
#include <optional>
#include <utility>

#include "PictureLosses.h"
#include "ValueHistogram.h"

class CSampleWindowPlot;
class QLineEdit;

using ValueWindow = std::pair<double, double>;

class CDialogSampleWindow : public QDialog {
    Q_OBJECT
public:
    CDialogSampleWindow(const SValueHistogram& histogram, SampleKind kind, ValueWindow current,
                        std::optional<ValueWindow> automatic, std::optional<ValueWindow> saturated,
                        QWidget* parent = nullptr);

    double Low() const { return low_; }
    double High() const { return high_; }
    CSampleWindowPlot* Plot() const { return plot_; }

    void SetWindow(double low, double high);
    void accept() override;

signals:
    void windowChanged(double low, double high);

private:
    // The ends typed; with `tell`, the first field at fault says why and takes the focus.
    std::optional<ValueWindow> ReadFields(bool tell);
    QString Text(double value) const;

    SampleKind kind_;
    double low_, high_;
    CSampleWindowPlot* plot_;
    QLineEdit* lowField_;
    QLineEdit* highField_;
};
