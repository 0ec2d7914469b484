#include "CDialogTip.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "Message.h"
#include "TipFileLocation.h"
#include "TipStrings.h"

namespace {

QPixmap LightBulb() {
    QPixmap picture(40, 53);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 80, 20), 1.5));
    p.setBrush(QColor(255, 238, 120));
    p.drawEllipse(QRectF(5, 3, 30, 30));
    p.setBrush(QColor(170, 170, 176));
    p.drawRect(QRectF(13, 33, 14, 12));
    p.drawLine(QPointF(13, 37), QPointF(27, 37));
    p.drawLine(QPointF(13, 41), QPointF(27, 41));
    p.setBrush(QColor(90, 90, 96));
    p.drawRect(QRectF(16, 45, 8, 4));
    return picture;
}

}  // namespace

CDialogTip::CDialogTip(QWidget* parent) : QDialog(parent) {
    QSettings settings;
    startUp_ = settings.value("Tip/StartUp", 0).toInt() == 0;
    BuildLayout();
    ReadFirstTip();
    nextButton_->setEnabled(file_.IsOpen());
}

CDialogTip::~CDialogTip() {
    if (!file_.IsOpen()) return;
    QSettings settings;
    settings.setValue("Tip/FilePos", file_.Position());
}

void CDialogTip::ReadFirstTip() {
    if (!file_.Open(FindTipFile())) {
        tipText_ = kTipFileMissing;
        tipLabel_->setText(tipText_);
        return;
    }
    QSettings settings;
    qint64 position = settings.value("Tip/FilePos", 0).toLongLong();
    const QString stamp = file_.TimeStamp();
    if (stamp != settings.value("Tip/TimeStamp").toString()) {
        position = 0;
        settings.setValue("Tip/TimeStamp", stamp);
    }
    if (!file_.Seek(position)) {
        ShowMessage(kTipReadError);
        return;
    }
    TakeNextTip();
}

void CDialogTip::TakeNextTip() {
    const std::optional<QString> tip = file_.NextTip();
    tipText_ = tip.value_or(kTipReadError);
    tipLabel_->setText(tipText_);
}

void CDialogTip::ShowNextTip() { TakeNextTip(); }

void CDialogTip::accept() {
    startUp_ = startUpBox_->isChecked();
    QDialog::accept();
    QSettings settings;
    settings.setValue("Tip/StartUp", startUp_ ? 0 : 1);
}

void CDialogTip::BuildLayout() {
    setWindowTitle("Conseil du jour");

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);

    auto* bulb = new QLabel(panel);
    bulb->setPixmap(LightBulb());
    auto* heading = new QLabel(kTipHeading, panel);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    tipLabel_ = new QLabel(panel);
    tipLabel_->setObjectName("TipText");
    tipLabel_->setWordWrap(true);
    tipLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tipLabel_->setMinimumSize(300, 110);

    auto* headingRow = new QHBoxLayout;
    headingRow->addWidget(bulb);
    headingRow->addWidget(heading, 1);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(16, 10, 16, 12);
    panelLayout->addLayout(headingRow);
    panelLayout->addWidget(tipLabel_, 1);

    startUpBox_ = new QCheckBox("Afficher au démarrage", this);
    startUpBox_->setChecked(startUp_);
    nextButton_ = new QPushButton("Suivant", this);
    auto* closeButton = new QPushButton("Fermer", this);
    closeButton->setDefault(true);
    connect(nextButton_, &QPushButton::clicked, this, &CDialogTip::ShowNextTip);
    connect(closeButton, &QPushButton::clicked, this, &CDialogTip::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startUpBox_);
    buttons->addStretch(1);
    buttons->addWidget(nextButton_);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);
}
