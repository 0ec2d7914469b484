#pragma once
// "Projection": one page made of the stack's, each pixel the "Maximum",
// "Minimum" or "Moyenne" (mean, rounded half up) of its values through the
// pages. After "OK" (exec returns 1) Kind() is the one chosen.

#include <QDialog>

#include "StackProjection.h"

class QButtonGroup;

class CDialogProjection : public QDialog {
    Q_OBJECT
public:
    explicit CDialogProjection(QWidget* parent = nullptr);

    ProjectionKind Kind() const { return kind_; }
    // Chooses as a click on its button does.
    void SetKind(ProjectionKind kind);

private:
    ProjectionKind kind_ = ProjectionKind::Maximum;
    QButtonGroup* kinds_;
};
