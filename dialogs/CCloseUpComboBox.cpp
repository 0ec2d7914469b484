#include "CCloseUpComboBox.h"

void CCloseUpComboBox::showPopup() {
    QComboBox::showPopup();
    open_ = true;
}

void CCloseUpComboBox::hidePopup() {
    QComboBox::hidePopup();
    // Qt also hides the list when the window closes; only a list that was
    // open closes up.
    if (!open_) return;
    open_ = false;
    emit closedUp();
}
