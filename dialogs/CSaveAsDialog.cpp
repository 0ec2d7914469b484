#include "CSaveAsDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "PictureFormat.h"

CSaveAsDialog::CSaveAsDialog(QWidget* parent, const QString& suggestedName)
    : QFileDialog(parent, "Enregistrer sous", suggestedName) {
    setAcceptMode(QFileDialog::AcceptSave);
}

void CSaveAsDialog::SetLossesOf(const QString& path, const QString& sentences) {
    lossyPath_ = path;
    sentences_ = sentences;
}

void CSaveAsDialog::accept() {
    const QString chosen = selectedFiles().value(0);
    if (const QString why = refusal_ && !chosen.isEmpty() ? refusal_(chosen) : QString();
        !why.isEmpty()) {
        QMessageBox::warning(this, "Orvex", why);
        return;
    }
    const bool losing = !sentences_.isEmpty() && !chosen.isEmpty() &&
                        QFileInfo(chosen) == QFileInfo(lossyPath_) &&
                        WritableFormatFromPath(QFile::encodeName(chosen).toStdString());
    setOption(QFileDialog::DontConfirmOverwrite, losing);
    if (losing) {
        QMessageBox question(QMessageBox::Warning, windowTitle(),
                             QString("%1 existe déjà.\n%2\nVoulez-vous le remplacer ?")
                                 .arg(QFileInfo(chosen).fileName(), sentences_),
                             QMessageBox::Yes | QMessageBox::No, this);
        question.setDefaultButton(QMessageBox::No);
        if (question.exec() != QMessageBox::Yes) return;
    }
    QFileDialog::accept();
}
