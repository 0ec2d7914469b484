#pragma once
// The open documents and their windows: new ("Image1", "Image2" ...), open
// (a file already open is activated instead), save and save as, closing with
// the question "Enregistrer les modifications apportées à %1?", save all,
// close all, a second window on a document, the four-entry recent-file list
// and the opening of every picture of a folder. A document closes with its
// last window.

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class CChildFrame;
class CMainFrame;
class COrvexDoc;
class CImageDocument;
class QMdiSubWindow;

class CDocManager : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 4;
    // The open dialog's filters: every picture, each format, every file.
    static QString OpenFilter();

    explicit CDocManager(CMainFrame* frame);

    COrvexDoc* NewDocument();
    // A new document whose stack `fill` makes (a page extracted, a
    // projection, pictures assembled), modified as never saved. Null when
    // `fill` fails: the engine has said why.
    COrvexDoc* NewDocumentFrom(const std::function<bool(CImageDocument&)>& fill);
    // Opens a file in a new window, or activates the window of the document
    // already holding it. Null when the file cannot be opened (the document
    // has said why).
    COrvexDoc* OpenDocument(const QString& path);
    // "&Ouvrir...": the open dialog, then OpenDocument.
    void OpenWithDialog();
    // "&Browser un dossier...": the folder dialog, then OpenFolder.
    void BrowseFolder();
    // Opens every picture of a folder (not recursive): every file whose
    // first bytes are those of a format Orvex reads, whatever its name.
    void OpenFolder(const QString& folder);
    // Opens each file; the ones not opened are told in one message at the
    // end (OpeningSummary.h).
    void OpenFiles(const QStringList& paths);

    // Saves under the document's name in its format, asking for a name when
    // it has none, its format is read only (JPEG) or writing over its file
    // would lose something (LossesOnSave).
    bool SaveDocument(COrvexDoc* doc);
    // The format comes from the name's extension; a name typed without one
    // gets the chosen filter's.
    bool SaveDocumentAs(COrvexDoc* doc);
    // Asks "Enregistrer les modifications apportées à %1?" for a modified
    // document; false when the user cancels or the save fails.
    bool SaveModified(COrvexDoc* doc);
    // Asks for each modified document in turn; false when one is cancelled.
    bool SaveAllModified();

    // "&Fermer": asks about the document, then closes all its windows.
    void CloseDocument(COrvexDoc* doc);
    // "Fermer &tout": with saving, the question for each modified document
    // first (Cancel keeps every window open); without, no question at all
    // and the changes are lost.
    void CloseAll(bool withSaving);
    // "&Nouvelle fenêtre": another window on the same document.
    void NewWindow(COrvexDoc* doc);

    QList<COrvexDoc*> Documents() const { return docs_; }
    COrvexDoc* FindDocument(const QString& path) const;

    QStringList RecentFiles() const { return recentFiles_; }
    void OpenRecentFile(int index);
    // Reads and writes the "Recent File List" section of the settings.
    void LoadRecentFiles();
    void SaveRecentFiles() const;

signals:
    void documentsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    COrvexDoc* AddDocument(COrvexDoc* doc);
    void CreateFrame(COrvexDoc* doc);
    void CloseFramesOf(COrvexDoc* doc);
    void RemoveUnusedDocuments();
    void AddRecentFile(const QString& path);
    void UpdateRecentFileActions();

    CMainFrame* frame_;
    QList<COrvexDoc*> docs_;
    QStringList recentFiles_;
    int newDocumentCount_ = 0;
    bool closingWithoutQuestion_ = false;
};
