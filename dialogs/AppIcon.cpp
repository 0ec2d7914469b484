#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

QPixmap DrawAppIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(30, 40, 80), 1.5));
    p.setBrush(QColor(46, 104, 196));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
    QLinearGradient ramp(5, 0, 27, 0);
    ramp.setColorAt(0, Qt::black);
    ramp.setColorAt(1, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(ramp);
    p.drawRect(QRectF(5, 5, 22, 14));
    p.setBrush(QColor(255, 210, 60));
    for (int i = 0; i < 5; ++i) {
        const qreal h = 3 + (i % 3) * 2.5;
        p.drawRect(QRectF(6 + i * 4.2, 27 - h, 3, h));
    }
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(DrawAppIcon(size));
    return icon;
}
