#include "CDialogHistory.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "CDialogUnits.h"

CDialogHistory::CDialogHistory(const std::string& history, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Historique");
    const CDialogUnits units(font());
    setFixedSize(units.Size(223, 175));

    text_ = new QPlainTextEdit(this);
    text_->setObjectName("History");
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A long history stays reachable: the bar shows only when the lines overflow.
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->setPlainText(QString::fromStdString(history).remove(u'\r'));
    units.Place(text_, 10, 14, 200, 131);

    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    units.Place(ok, 165, 155, 45, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CDialogHistory::HistoryText() const { return text_->toPlainText(); }
