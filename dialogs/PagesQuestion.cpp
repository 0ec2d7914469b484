#include "PagesQuestion.h"

#include <QMessageBox>
#include <QPushButton>

std::optional<bool> AskAllPages(QWidget* parent, bool allPagesFirst) {
    QMessageBox box(QMessageBox::Question, "Orvex", "Appliquer à toutes les pages ?",
                    QMessageBox::NoButton, parent);
    QPushButton* thisPage = box.addButton("Cette page", QMessageBox::AcceptRole);
    QPushButton* allPages = box.addButton("Toutes les pages", QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton("Annuler", QMessageBox::RejectRole);
    box.setDefaultButton(allPagesFirst ? allPages : thisPage);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == allPages) return true;
    if (box.clickedButton() == thisPage) return false;
    return std::nullopt;
}
