#pragma once
// "Rotation": a direction ("Horaire", "Anti-horaire") and a quarter-turn
// angle (90, 180, 270 degrees). After "OK" (exec returns 1) Angle() is the
// clockwise angle: anticlockwise 90 becomes 270. A right-click or Shift+F10
// opens a menu with "OK" and "Annuler".

#include <QDialog>

class QMenu;
class QRadioButton;

class CDialogRotation : public QDialog {
    Q_OBJECT
public:
    explicit CDialogRotation(QWidget* parent = nullptr);

    // 90, 180 or 270; clockwise once the dialog is accepted.
    int Angle() const { return angle_; }
    // 0 clockwise, 1 anticlockwise.
    int Direction() const { return direction_; }

    void accept() override;

    // The context menu, shown at `globalPos`; it deletes itself when closed.
    QMenu* ShowContextMenu(QPoint globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();

    int angle_ = 90;
    int direction_ = 0;
};
