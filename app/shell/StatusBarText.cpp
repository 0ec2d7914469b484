#include "StatusBarText.h"

#include <QLocale>

QString FormatDatePane(const QDateTime& when) {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(when.date(), "dddd, dd, MMMM yy ");
}

QString FormatTimePane(const QDateTime& when) {
    const int hour = when.time().hour();
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return QString("%1:%2  ")
               .arg(hour12, 2, 10, QChar('0'))
               .arg(when.time().minute(), 2, 10, QChar('0')) +
           (hour >= 12 ? "PM" : "AM ");
}
