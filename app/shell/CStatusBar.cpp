#include "CStatusBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "KeyLocks.h"
#include "StatusBarText.h"

namespace {
const QString kReady = "Prêt";
}

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    messagePane_ = new QLabel(kReady, this);
    messagePane_->setObjectName("MessagePane");
    messagePane_->setMinimumWidth(1);
    addWidget(messagePane_, 1);
    readoutPane_ = AddPane("ReadoutPane");
    readoutPane_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetPaneText(readoutPane_, "x 0000  y 0000  niveau 000");
    // Fixed in both directions, a label does not ask the bar to lay itself
    // out again (and repaint every pane) when its text changes.
    readoutPane_->setFixedHeight(readoutPane_->sizeHint().height());
    readoutPane_->clear();
    capsPane_ = AddPane("CapsPane");
    numPane_ = AddPane("NumPane");
    scrollPane_ = AddPane("ScrollPane");
    datePane_ = AddPane("DatePane");
    timePane_ = AddPane("TimePane");

    clock_ = new QTimer(this);
    clock_->setInterval(kClockIntervalMs);
    connect(clock_, &QTimer::timeout, this, &CStatusBar::RefreshPanes);
    clock_->start();
    // Lock keys change the indicators at once, not at the next tick.
    qApp->installEventFilter(this);
    RefreshPanes();
}

QLabel* CStatusBar::AddPane(const QString& name) {
    auto* pane = new QLabel(this);
    pane->setObjectName(name);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    addPermanentWidget(pane);
    return pane;
}

int CStatusBar::PaneWidth(const QLabel* pane, const QString& text) {
    const int margins = 2 * (pane->frameWidth() + pane->margin()) + 6;
    return pane->fontMetrics().horizontalAdvance(text) + margins;
}

void CStatusBar::SetPaneText(QLabel* pane, const QString& text) {
    pane->setText(text);
    // Each pane is exactly as wide as its text, so it follows long names.
    pane->setFixedWidth(PaneWidth(pane, text));
}

// A lock pane keeps the width of its name and shows it only while the lock is on.
void CStatusBar::SetLockPane(QLabel* pane, const QString& name, bool on) {
    SetPaneText(pane, name);
    if (!on) pane->clear();
}

void CStatusBar::SetPrompt(const QString& text) {
    messagePane_->setText(text.isEmpty() ? kReady : text);
}

QString CStatusBar::Prompt() const { return messagePane_->text(); }

void CStatusBar::SetReadout(const QString& text) {
    if (PaneWidth(readoutPane_, text) > readoutPane_->maximumWidth())
        SetPaneText(readoutPane_, text);
    else
        readoutPane_->setText(text);
}

void CStatusBar::SetMenuOpen(bool open) {
    if (menuOpen_ == open) return;
    menuOpen_ = open;
    for (QLabel* pane : {readoutPane_, capsPane_, numPane_, scrollPane_, datePane_, timePane_})
        pane->setVisible(!open);
    if (!open) SetPrompt({});
}

void CStatusBar::RefreshPanes() {
    const SKeyLocks locks = ReadKeyLocks();
    SetLockPane(capsPane_, "MAJ", locks.caps);
    SetLockPane(numPane_, "NUM", locks.num);
    SetLockPane(scrollPane_, "DEF", locks.scroll);
    const QDateTime now = QDateTime::currentDateTime();
    SetPaneText(datePane_, FormatDatePane(now));
    SetPaneText(timePane_, FormatTimePane(now));
}

bool CStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            QTimer::singleShot(0, this, &CStatusBar::RefreshPanes);
    }
    return QStatusBar::eventFilter(watched, event);
}
