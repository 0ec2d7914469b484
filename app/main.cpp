#include <QApplication>

#include "AppSettings.h"
#include "COrvexApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName("orvex");  // the installed orvex.desktop
    ConfigureSettings();
    InstallFrameworkTranslations();
    InstallGuiMessageSink();
    COrvexApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return application.exec();
}
