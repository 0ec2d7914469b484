#pragma once
// The application object: start-up (command line, settings, main window,
// splash, tip of the day) and the commands that need no open document: new,
// open, recent files, printer setup, folder browsing, save all, options,
// about, exit. It is the last target of the command routing.

#include <QObject>
#include <QStringList>

#include "CommandTarget.h"

class CDocManager;
class CMainFrame;

// The splash and the start-up tip are shown unless the command line holds
// "Embedding" or "Automation" after "/" or "-" (any letter case). Nothing
// else on the command line has any effect.
bool ShowSplashForCommandLine(const QStringList& arguments);

class COrvexApp : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    COrvexApp();
    ~COrvexApp() override;

    // Builds and shows the main window; false when it cannot be made.
    // arguments are the command line without the program's name.
    bool InitInstance(const QStringList& arguments);
    // Writes the settings kept for the next run.
    void ExitInstance();

    CMainFrame* MainFrame() const { return mainFrame_; }
    CDocManager* DocManager() const { return docManager_; }

    // "&Configuration de l'impression...": the printer and page used by every
    // print and preview of the run.
    void ShowPrinterSetup();

protected:
    CommandOwner OwnerKind() const override { return CommandOwner::Application; }
    SCommandContext OwnContext() const override;
    // Every event passes by the splash first, which never consumes it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCloseRequested(bool* accepted);

    CMainFrame* mainFrame_ = nullptr;
    CDocManager* docManager_ = nullptr;
};

// Loads the framework's French texts when they are installed.
void InstallFrameworkTranslations();

// Installs the engine's message sink: a modal box captioned "Orvex".
void InstallGuiMessageSink();
