#include "KeyLocks.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#ifdef ORVEX_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace {

// A lock is on when any keyboard reports its LED lit.
bool AnyLedLit(const QString& suffix) {
    const QDir leds("/sys/class/leds");
    for (const QString& name : leds.entryList({"*::" + suffix}, QDir::Dirs | QDir::System)) {
        QFile brightness(leds.filePath(name + "/brightness"));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

#ifdef ORVEX_HAVE_X11
// The display server's own indicators, which follow the keyboard the user
// types on (a remote or virtual display included); false when the program
// does not run on an X server.
bool ReadFromXServer(SKeyLocks& locks) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return false;
    auto lit = [display](const char* name) {
        Bool on = False;
        const Atom atom = XInternAtom(display, name, False);
        return XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) && on;
    };
    locks = {lit("Caps Lock"), lit("Num Lock"), lit("Scroll Lock")};
    return true;
}
#endif

}  // namespace

SKeyLocks ReadKeyLocks() {
#ifdef ORVEX_HAVE_X11
    SKeyLocks locks;
    if (ReadFromXServer(locks)) return locks;
#endif
    return {AnyLedLit("capslock"), AnyLedLit("numlock"), AnyLedLit("scrolllock")};
}
