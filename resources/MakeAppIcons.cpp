// Writes the program's icon, drawn in code, as the PNG files a Linux desktop
// looks for: orvex-<size>.png in the folder given, one per size. The files
// in resources/icons are its output; run it again after changing the icon:
//   cmake --build build/release --target orvex-icons
//   QT_QPA_PLATFORM=offscreen build/release/resources/orvex-icons resources/icons

#include <QGuiApplication>
#include <QTextStream>

#include "AppIcon.h"
#include "DesktopIconSizes.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: orvex-icons FOLDER\n";
        return 2;
    }
    for (int size : kDesktopIconSizes) {
        const QString path = arguments[1] + QString("/orvex-%1.png").arg(size);
        if (!DrawAppIcon(size).save(path, "PNG")) {
            QTextStream(stderr) << "orvex-icons: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
