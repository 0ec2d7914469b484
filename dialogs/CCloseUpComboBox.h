#pragma once
// A combo box that says when its drop-down list closes, whether or not the
// user picked another item.

#include <QComboBox>

class CCloseUpComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
    void hidePopup() override;

signals:
    void closedUp();

private:
    bool open_ = false;
};
