#pragma once
// Shows a cursor over every window for the lifetime of the object, above any
// shown before it: the wait cursor while a command works, the normal pointer
// over it while a message waits for the user.

#include <QApplication>

class COverrideCursor {
public:
    explicit COverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~COverrideCursor() { QApplication::restoreOverrideCursor(); }
    COverrideCursor(const COverrideCursor&) = delete;
    COverrideCursor& operator=(const COverrideCursor&) = delete;
};

class CWaitCursor : public COverrideCursor {
public:
    CWaitCursor() : COverrideCursor(Qt::WaitCursor) {}
};
