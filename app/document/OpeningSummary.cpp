#include "OpeningSummary.h"

#include <QMessageBox>

namespace {

COpeningSummary* current = nullptr;

// The failures named before "et N autres": what a box shows on a screen.
constexpr int kNamedFailures = 15;

}  // namespace

COpeningSummary::COpeningSummary() : outer_(current) {
    if (!current) current = this;
}

COpeningSummary::~COpeningSummary() {
    if (current == this) current = outer_;
}

COpeningSummary* COpeningSummary::Current() { return current; }

QString COpeningSummary::Text() const {
    QStringList lines = failures_.mid(0, kNamedFailures);
    if (failures_.size() > kNamedFailures)
        lines << QString("... et %1 autres.").arg(failures_.size() - kNamedFailures);
    if (notPictures_ > 0) {
        if (!lines.isEmpty()) lines << QString();
        lines << (notPictures_ == 1
                      ? QString("1 fichier qui n'est pas une image a été ignoré.")
                      : QString("%1 fichiers qui ne sont pas des images ont été ignorés.")
                            .arg(notPictures_));
    }
    return lines.join('\n');
}

void COpeningSummary::Show(QWidget* parent) const {
    const QString text = Text();
    if (text.isEmpty()) return;
    if (failures_.isEmpty())
        QMessageBox::information(parent, "Orvex", text);
    else
        QMessageBox::warning(parent, "Orvex", text);
}
