#include "AppSettings.h"

#include <QCoreApplication>
#include <QSettings>

void ConfigureSettings() {
    QCoreApplication::setOrganizationName("Orvex");
    QCoreApplication::setApplicationName("Orvex");
    QSettings::setDefaultFormat(QSettings::IniFormat);
}
