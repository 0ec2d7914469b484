#include <QApplication>
#include <iostream>

#include "AppSettings.h"
#include "COrvexApp.h"
#include "CommandLineInfo.h"

int main(int argc, char** argv) {
    if (PrintCommandLineInfo({argv + 1, argv + argc}, std::cout)) return 0;
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName("orvex");  // the installed orvex.desktop
    ConfigureSettings();
    InstallFrameworkTranslations();
    InstallGuiMessageSink();
    COrvexApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return application.exec();
}
