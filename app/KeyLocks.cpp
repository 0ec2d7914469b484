#include "KeyLocks.h"

#include <QDir>
#include <QFile>

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

}  // namespace

SKeyLocks ReadKeyLocks() {
    return {AnyLedLit("capslock"), AnyLedLit("numlock"), AnyLedLit("scrolllock")};
}
