#include "CListPickComboBox.h"

#include <QTimer>

CListPickComboBox::CListPickComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (!listClosing_) return;
        listClosing_ = false;
        emit pickedInList(row);
    });
}

void CListPickComboBox::hidePopup() {
    QComboBox::hidePopup();
    // A pick in the list follows within the same event, or nothing does.
    listClosing_ = true;
    QTimer::singleShot(0, this, [this] { listClosing_ = false; });
}
