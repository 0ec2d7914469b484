#include "CPropertySheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CPropertyPage.h"

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    tabs_ = new QTabWidget(this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Annuler", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(tabs_, &QTabWidget::currentChanged, this, &CPropertySheet::OnTabChanged);
}

void CPropertySheet::AddPage(CPropertyPage* page) { tabs_->addTab(page, page->Title()); }

void CPropertySheet::SetActivePage(int index) {
    tabs_->setCurrentIndex(index);
    shownTab_ = tabs_->currentIndex();
}

int CPropertySheet::ActivePage() const { return tabs_->currentIndex(); }

int CPropertySheet::exec() {
    for (int i = 0; i < tabs_->count(); ++i)
        static_cast<CPropertyPage*>(tabs_->widget(i))->ShowValues();
    return QDialog::exec();
}

void CPropertySheet::OnTabChanged(int index) {
    if (reverting_) return;
    if (!isVisible()) {  // nothing to check before the sheet shows
        shownTab_ = index;
        return;
    }
    // The page being left is checked while it shows, so its field at fault
    // can take the focus.
    reverting_ = true;
    tabs_->setCurrentIndex(shownTab_);
    if (static_cast<CPropertyPage*>(tabs_->widget(shownTab_))->SaveValues()) {
        tabs_->setCurrentIndex(index);
        shownTab_ = index;
    }
    reverting_ = false;
}

void CPropertySheet::accept() {
    auto* page = static_cast<CPropertyPage*>(tabs_->currentWidget());
    if (page && !page->SaveValues()) return;
    QDialog::accept();
}
