#pragma once
// "Dynamique": the user picks a tone curve among seven shapes, sets the
// exponent of the two power curves and reads the output level of any input
// level. "Appliquer" (or Enter) returns 1 with the table last computed in
// Table(); "Annuler", Escape and the close box return 0.
//
// The graph is drawn off-screen and copied, so a repaint never recomputes it.

#include <QDialog>
#include <QPixmap>

#include "ToneCurve.h"

class QLineEdit;
class QToolButton;

class CDialogDynamic : public QDialog {
    Q_OBJECT
public:
    explicit CDialogDynamic(QWidget* parent = nullptr);

    const ToneTable& Table() const { return table_; }
    int CurveType() const { return curveType_; }
    int Gamma() const { return gamma_; }
    // The graph as drawn: 256 x 256, input along x, output upward.
    const QPixmap& Graph() const { return graph_; }

    void SelectCurve(int curveType);
    void GammaUp();
    void GammaDown();
    void IndexUp();
    void IndexDown();

    void accept() override;
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void ComputeTable();
    void DrawCurve();
    void OnGammaTextChanged(const QString& text);
    bool ReadFields();
    void WriteFields();
    QToolButton* ArrowButton(Qt::ArrowType arrow, const char* name, void (CDialogDynamic::*step)());

    int curveType_ = kCurveLinear;
    ToneTable table_{};
    int index_ = 0;
    int value_ = 0;
    int gamma_ = 2;
    QPixmap graph_;
    QLineEdit* indexField_ = nullptr;
    QLineEdit* valueField_ = nullptr;
    QLineEdit* gammaField_ = nullptr;
};
