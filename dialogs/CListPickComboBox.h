#pragma once
// A combo box that tells which row the user picked in its drop-down list.
// Qt hides the list before it makes the picked row current, and also takes an
// item's name typed in the edit field for a pick when the field loses the
// focus; only a row picked in the list counts here, told once it is current.

#include <QComboBox>

class CListPickComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CListPickComboBox(QWidget* parent = nullptr);
    void hidePopup() override;

signals:
    void pickedInList(int row);

private:
    bool listClosing_ = false;
};
