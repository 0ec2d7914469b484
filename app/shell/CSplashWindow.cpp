#include "CSplashWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cmath>

namespace {
bool splashEnabled = false;
CSplashWindow* currentSplash = nullptr;

// Draws in 16 flat colours, true to the original 16-colour artwork.
QColor Shade(int index) {
    static const QColor colours[16] = {
        {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},  {128, 0, 0}, {128, 0, 128},
        {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},    {0, 255, 0}, {0, 255, 255},
        {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255}};
    return colours[index & 15];
}
}  // namespace

void CSplashWindow::EnableSplashScreen(bool enable) { splashEnabled = enable; }

CSplashWindow* CSplashWindow::Current() { return currentSplash; }

void CSplashWindow::ShowSplashScreen(QWidget* owner) {
    if (!splashEnabled || currentSplash) return;
    currentSplash = new CSplashWindow(owner);
    currentSplash->show();
    currentSplash->repaint();
}

void CSplashWindow::PreTranslateAppMessage(const QEvent* event) {
    if (!currentSplash) return;
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            currentSplash->HideSplashScreen();
            break;
        default:
            break;
    }
}

CSplashWindow::CSplashWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(SplashPicture()),
      owner_(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(picture_.size() / picture_.devicePixelRatio());
    QScreen* screen =
        owner && owner->isVisible() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                       : screen                    ? screen->geometry()
                                                   : QRect(0, 0, width(), height());
    move(area.center() - rect().center());
    QTimer::singleShot(kDisplayMs, this, &CSplashWindow::HideSplashScreen);
}

CSplashWindow::~CSplashWindow() {
    if (currentSplash == this) currentSplash = nullptr;
}

void CSplashWindow::HideSplashScreen() {
    if (currentSplash == this) currentSplash = nullptr;
    close();
    if (owner_) owner_->repaint();
}

void CSplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

QPixmap CSplashWindow::SplashPicture() {
    constexpr int kWidth = 576, kHeight = 390;
    QPixmap picture(kWidth, kHeight);
    picture.fill(Shade(1));
    QPainter p(&picture);
    // Bands of the grey scale across the top, the program's subject.
    for (int i = 0; i < 4; ++i)
        p.fillRect(i * kWidth / 4, 0, kWidth / 4 + 1, 24,
                   Shade(i == 0   ? 0
                         : i == 1 ? 8
                         : i == 2 ? 7
                                  : 15));
    // A false-colour ramp along the bottom.
    const int ramp[] = {1, 9, 3, 11, 2, 10, 14, 6, 12, 4, 13, 5};
    for (int i = 0; i < 12; ++i)
        p.fillRect(i * kWidth / 12, kHeight - 24, kWidth / 12 + 1, 24, Shade(ramp[i]));
    // A histogram in the background.
    for (int i = 0; i < 48; ++i) {
        const double x = (i - 24) / 9.0;
        const int h = int(190 * std::exp(-x * x / 2)) + 6;
        p.fillRect(40 + i * 10, kHeight - 40 - h, 8, h, Shade(3));
    }
    QFont title("Sans");
    title.setPixelSize(96);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Shade(0));
    p.drawText(QRect(6, 56, kWidth, 140), Qt::AlignHCenter | Qt::AlignVCenter, "Orvex");
    p.setPen(Shade(14));
    p.drawText(QRect(0, 50, kWidth, 140), Qt::AlignHCenter | Qt::AlignVCenter, "Orvex");
    QFont subtitle("Sans");
    subtitle.setPixelSize(22);
    p.setFont(subtitle);
    p.setPen(Shade(15));
    p.drawText(QRect(0, 190, kWidth, 40), Qt::AlignHCenter, "Traitement d'images 8 bits");
    subtitle.setPixelSize(14);
    p.setFont(subtitle);
    p.setPen(Shade(7));
    p.drawText(QRect(0, 300, kWidth - 20, 30), Qt::AlignRight | Qt::AlignVCenter, "Chargement...");
    return picture;
}
