#include "MdiArrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void TileSubWindows(QMdiArea* area, Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area->subWindowList()) {
        if (window->isMinimized()) continue;
        if (window->isMaximized()) window->showNormal();
        windows << window;
    }
    if (windows.isEmpty()) return;
    const QRect space = area->viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QRect cell;
        if (orientation == Qt::Horizontal) {
            const int top = space.height() * i / count;
            cell = QRect(0, top, space.width(), space.height() * (i + 1) / count - top);
        } else {
            const int left = space.width() * i / count;
            cell = QRect(left, 0, space.width() * (i + 1) / count - left, space.height());
        }
        windows[i]->setGeometry(cell);
    }
}

void ArrangeIcons(QMdiArea* area) {
    const QRect space = area->viewport()->rect();
    int x = 0, y = space.bottom();
    for (QMdiSubWindow* window : area->subWindowList()) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > space.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}
