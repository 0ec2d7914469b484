#include "COrvexApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QTranslator>

#include "CDialogTip.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "CResultsWindow.h"
#include "CSplashWindow.h"
#include "CWaitCursor.h"
#include "Message.h"
#include "PrintPicture.h"

bool ShowSplashForCommandLine(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (!argument.startsWith('/') && !argument.startsWith('-')) continue;
        const QString name = argument.mid(1);
        if (name.compare("Embedding", Qt::CaseInsensitive) == 0 ||
            name.compare("Automation", Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

void InstallFrameworkTranslations() {
    static QTranslator translator;
    // The framework's own dialogs (file, page setup, message-box buttons)
    // speak French like the rest of the program, where the translation is
    // installed.
    if (translator.load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

void InstallGuiMessageSink() {
    SetMessageSink([](const std::string& text) {
        QMessageBox box(QMessageBox::Warning, "Orvex", QString::fromStdString(text),
                        QMessageBox::Ok, QApplication::activeWindow());
        const COverrideCursor arrow(Qt::ArrowCursor);
        box.exec();
    });
}

COrvexApp::COrvexApp() = default;

COrvexApp::~COrvexApp() {
    qApp->removeEventFilter(this);
    delete mainFrame_;
}

bool COrvexApp::InitInstance(const QStringList& arguments) {
    const bool showSplash = ShowSplashForCommandLine(arguments);
    CSplashWindow::EnableSplashScreen(showSplash);
    qApp->installEventFilter(this);

    mainFrame_ = new CMainFrame;
    docManager_ = new CDocManager(mainFrame_);
    mainFrame_->SetApplication(this);
    connect(mainFrame_, &CMainFrame::filesDropped, this, [this](const QStringList& paths) {
        if (paths.size() == 1)
            docManager_->OpenDocument(paths.first());
        else
            docManager_->OpenFiles(paths);
    });
    connect(mainFrame_, &CMainFrame::closeRequested, this, &COrvexApp::OnCloseRequested);
    mainFrame_->show();
    mainFrame_->repaint();
    // Files handed over by the desktop ("Open with", a double click); the
    // switches are no files.
    for (const QString& argument : arguments)
        if (QFileInfo(argument).isFile() || !(argument.startsWith('/') || argument.startsWith('-')))
            docManager_->OpenDocument(argument);

    if (showSplash) {
        CDialogTip tip;
        if (tip.ShowAtStartUp()) tip.exec();
    }
    return true;
}

void COrvexApp::ExitInstance() {
    if (docManager_) docManager_->SaveRecentFiles();
}

void COrvexApp::OnCloseRequested(bool* accepted) {
    if (!mainFrame_->Results()->AskToSave() || !docManager_->SaveAllModified()) {
        *accepted = false;
        return;
    }
    docManager_->CloseAll(false);
    ExitInstance();
}

bool COrvexApp::eventFilter(QObject* watched, QEvent* event) {
    CSplashWindow::PreTranslateAppMessage(event);
    return QObject::eventFilter(watched, event);
}

void COrvexApp::ShowPrinterSetup() {
    QPageSetupDialog dialog(&RunPrinter(), mainFrame_);
    dialog.exec();
}

SCommandContext COrvexApp::OwnContext() const {
    SCommandContext context;
    context.Set(CommandOwner::Application, const_cast<COrvexApp*>(this));
    return context;
}
