#include "CDialogAbout.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "AppIcon.h"

QString CDialogAbout::AboutText() {
    const QStringList lines = {"",
                               "Orvex 95",
                               "",
                               "Atelier de traitement d'images 8 bits",
                               "Palettes, mesures, filtres, morphologie",
                               "et rendu en perspective",
                               "",
                               "Version du 7 décembre 2026",
                               ""};
    QString text;
    for (const QString& line : lines) text += line + "\r\n";
    return text;
}

CDialogAbout::CDialogAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle("A propos de Orvex 95");
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    text_ = new QTextEdit(this);
    text_->setReadOnly(true);
    text_->setPlainText(QString(AboutText()).remove('\r'));
    text_->selectAll();
    text_->setAlignment(Qt::AlignCenter);
    text_->setTextCursor(QTextCursor(text_->document()));
    text_->setMinimumSize(240, 190);

    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(text_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
}
