#include "TipFileLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "TipStrings.h"

QString FindTipFile() {
    const QString name = kTipFileName;
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList candidates = {name, programFolder + "/" + name,
                              QDir::cleanPath(programFolder + "/../share/orvex/" + name)};
    const QString installed =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, "orvex/" + name);
    if (!installed.isEmpty()) candidates.append(installed);
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile()) return candidate;
    return name;
}
