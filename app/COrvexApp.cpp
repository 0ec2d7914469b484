#include "COrvexApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QTranslator>

#include "CDialogAbout.h"
#include "CDialogTip.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexDoc.h"
#include "CSplashWindow.h"
#include "CommandIds.h"
#include "Message.h"

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
    mainFrame_->SetApplicationTarget(this);
    docManager_ = new CDocManager(mainFrame_);
    connect(mainFrame_, &CMainFrame::filesDropped, this, [this](const QStringList& paths) {
        for (const QString& path : paths) docManager_->OpenDocument(path);
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
    if (!docManager_->SaveAllModified()) {
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
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    QPageSetupDialog dialog(printer_.get(), mainFrame_);
    dialog.exec();
}

bool COrvexApp::OnCommand(int id) {
    if (id >= cmd::FileMru1 && id < cmd::FileMru1 + CDocManager::kRecentFileCount) {
        docManager_->OpenRecentFile(id - cmd::FileMru1);
        return true;
    }
    COrvexDoc* active = mainFrame_->ActiveDocument();
    switch (id) {
        case cmd::FileNew:
            docManager_->NewDocument();
            return true;
        case cmd::FileOpen:
            docManager_->OpenWithDialog();
            return true;
        case cmd::FileClose:
            docManager_->CloseDocument(active);
            return true;
        case cmd::FileSave:
            if (active) docManager_->SaveDocument(active);
            return true;
        case cmd::FileSaveAs:
            if (active) docManager_->SaveDocumentAs(active);
            return true;
        case cmd::SaveAll:
            docManager_->SaveAllModified();
            return true;
        case cmd::FilePrintSetup:
            ShowPrinterSetup();
            return true;
        case cmd::BrowseFolder:
            docManager_->BrowseFolder();
            return true;
        case cmd::About: {
            CDialogAbout about(mainFrame_);
            about.exec();
            return true;
        }
        case cmd::AppExit:
            mainFrame_->close();
            return true;
        default:
            return false;
    }
}

std::optional<bool> COrvexApp::IsCommandEnabled(int id) const {
    if (!docManager_) return std::nullopt;  // still starting
    if (id >= cmd::FileMru1 && id < cmd::FileMru1 + CDocManager::kRecentFileCount)
        return id - cmd::FileMru1 < docManager_->RecentFiles().size();
    switch (id) {
        case cmd::FileNew:
        case cmd::FileOpen:
        case cmd::FilePrintSetup:
        case cmd::BrowseFolder:
        case cmd::About:
        case cmd::AppExit:
            return true;
        case cmd::FileClose:
        case cmd::FileSave:
        case cmd::FileSaveAs:
        case cmd::SaveAll:
            return mainFrame_->ActiveDocument() != nullptr;
        case cmd::Options:
            // The options sheet comes with the option dialogs.
            return false;
        default:
            return std::nullopt;
    }
}
