// The application's commands, which need no open document: new, open, recent
// files, close, save, folder browsing, printer setup, options, about, exit
// (see CommandRow.h for how to add one). The rows join the command table
// when the program loads.

#include "CDialogAbout.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexApp.h"
#include "CRunOptions.h"
#include "CSheetOptions.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "CommandTable.h"

namespace {

using SApplicationCommand = SCommandRowOf<COrvexApp>;

constexpr auto Ctrl = Qt::ControlModifier;

bool Always(const COrvexApp&) { return true; }

bool HasDocument(const COrvexApp& app) { return app.MainFrame()->ActiveDocument() != nullptr; }

SApplicationCommand RecentFile(int index) {
    return {
        cmd::FileMru1 + index,
        {"Fichier récent", "Ouvre ce document", "Fichier récent"},
        [index](const COrvexApp& app) { return index < app.DocManager()->RecentFiles().size(); },
        [index](COrvexApp& app) { app.DocManager()->OpenRecentFile(index); }};
}

// The run's perspective values shown in the "Options" sheet; kept when the
// sheet is confirmed, for the rest of the run.
void EditOptions(COrvexApp&) {
    PerspectiveParams& values = CRunOptions::Get().perspective;
    CSheetOptions sheet("Options", nullptr, 0);
    sheet.Perspective().SetValues(values);
    if (sheet.exec() == 1) values = sheet.Perspective().Values();
}

QList<SApplicationCommand> ApplicationCommandRows() {
    return {
        {cmd::FileNew,
         {"&Nouveau\tCtrl+N",
          "Crée un nouveau document",
          "Nouveau",
          {QKeySequence(Ctrl | Qt::Key_N)},
          {"document-new", icons::FileNew}},
         Always,
         [](COrvexApp& app) { app.DocManager()->NewDocument(); }},
        {cmd::FileOpen,
         {"&Ouvrir...\tCtrl+O",
          "Ouvre un document existant",
          "Ouvrir",
          {QKeySequence(Ctrl | Qt::Key_O)},
          {"document-open", icons::FileOpen}},
         Always,
         [](COrvexApp& app) { app.DocManager()->OpenWithDialog(); }},
        {cmd::FileClose,
         {"&Fermer", "Ferme le document actif", "Fermer"},
         HasDocument,
         [](COrvexApp& app) {
             app.DocManager()->CloseDocument(app.MainFrame()->ActiveDocument());
         }},
        {cmd::FileSave,
         {"&Enregistrer\tCtrl+S",
          "Enregistre le document actif",
          "Enregistrer",
          {QKeySequence(Ctrl | Qt::Key_S)},
          {"document-save", icons::FileSave}},
         HasDocument,
         [](COrvexApp& app) { app.DocManager()->SaveDocument(app.MainFrame()->ActiveDocument()); }},
        {cmd::FileSaveAs,
         {"En&registrer sous...", "Enregistre le document actif sous un nouveau nom",
          "Enregistrer sous"},
         HasDocument,
         [](COrvexApp& app) {
             app.DocManager()->SaveDocumentAs(app.MainFrame()->ActiveDocument());
         }},
        {cmd::SaveAll,
         {"Enregistrer tous les fichiers modifiés", "Enregistre tous les documents modifiés",
          "Enregistrer tout"},
         HasDocument,
         [](COrvexApp& app) { app.DocManager()->SaveAllModified(); }},
        {cmd::BrowseFolder,
         {"&Browser un dossier...",
          "Ouvre toutes les images d'un dossier",
          "Browser un dossier",
          {},
          {nullptr, icons::BrowseFolder}},
         Always,
         [](COrvexApp& app) { app.DocManager()->BrowseFolder(); }},
        {cmd::FilePrintSetup,
         {"&Configuration de l'impression...", "Change les options d'impression et d'imprimante",
          "Configuration de l'impression"},
         Always,
         [](COrvexApp& app) { app.ShowPrinterSetup(); }},
        RecentFile(0),
        RecentFile(1),
        RecentFile(2),
        RecentFile(3),
        {cmd::AppExit,
         {"&Quitter", "Quitte l'application et propose d'enregistrer les documents", "Quitter"},
         Always,
         [](COrvexApp& app) { app.MainFrame()->close(); }},
        {cmd::Options,
         {"&Options...", "Modifie les options du programme", "Options"},
         Always,
         EditOptions},
        {cmd::About,
         {"&A propos de Orvex...",
          "Affiche des informations sur le programme, le numéro de version et le copyright",
          "A propos de",
          {},
          {nullptr, icons::About}},
         Always,
         [](COrvexApp& app) {
             CDialogAbout about(app.MainFrame());
             about.exec();
         }},
    };
}

QList<SCommandRow> ApplicationRows() {
    return RowsOf(CommandOwner::Application, ApplicationCommandRows());
}

[[maybe_unused]] const bool added = (AddCommandRows(ApplicationRows), true);

}  // namespace
