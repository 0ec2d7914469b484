#include "CPropertyPage.h"

CPropertyPage::CPropertyPage(const QString& title, QWidget* parent)
    : QWidget(parent), title_(title) {}
