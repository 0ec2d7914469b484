#include "CDocManager.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include "CChildFrame.h"
#include "CMainFrame.h"
#include "COrvexDoc.h"
#include "CommandIds.h"
#include "CommandTable.h"

const QString CDocManager::kFileFilter = "Bitmap files (*.bmp);;Tous les fichiers (*.*)";

namespace {

QString CanonicalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

CDocManager::CDocManager(CMainFrame* frame) : QObject(frame), frame_(frame) {
    frame_->SetDocManager(this);
    LoadRecentFiles();
}

COrvexDoc* CDocManager::AddDocument(COrvexDoc* doc) {
    docs_ << doc;
    connect(doc, &COrvexDoc::titleChanged, frame_, &CMainFrame::UpdateTitles);
    connect(doc, &COrvexDoc::modifiedChanged, frame_, &CMainFrame::UpdateTitles);
    connect(doc, &COrvexDoc::modifiedChanged, frame_, &CMainFrame::UpdateCommandStates);
    connect(doc, &COrvexDoc::picturesChanged, frame_, &CMainFrame::UpdateCommandStates);
    CreateFrame(doc);
    emit documentsChanged();
    return doc;
}

void CDocManager::CreateFrame(COrvexDoc* doc) {
    auto* frame = new CChildFrame(doc);
    QMdiSubWindow* window = frame_->AddChildFrame(frame);
    window->installEventFilter(this);
    connect(frame, &QObject::destroyed, this, &CDocManager::RemoveUnusedDocuments,
            Qt::QueuedConnection);
    frame_->UpdateTitles();
}

COrvexDoc* CDocManager::NewDocument() {
    auto* doc = new COrvexDoc(this);
    if (!doc->OnNewDocument()) {
        delete doc;
        return nullptr;
    }
    doc->SetTitle(QString("Image%1").arg(++newDocumentCount_));
    return AddDocument(doc);
}

COrvexDoc* CDocManager::FindDocument(const QString& path) const {
    const QString wanted = CanonicalPath(path);
    for (COrvexDoc* doc : docs_) {
        if (!doc->GetPathName().isEmpty() && CanonicalPath(doc->GetPathName()) == wanted)
            return doc;
    }
    return nullptr;
}

COrvexDoc* CDocManager::OpenDocument(const QString& path) {
    if (COrvexDoc* open = FindDocument(path)) {
        const QList<CChildFrame*> frames = frame_->FramesOf(open);
        if (!frames.isEmpty()) frame_->Activate(frames.first());
        return open;
    }
    auto* doc = new COrvexDoc(this);
    if (!doc->OnOpenDocument(path)) {
        delete doc;
        return nullptr;
    }
    doc->SetPathName(QFileInfo(path).absoluteFilePath());
    doc->SetModifiedFlag(false);
    AddRecentFile(doc->GetPathName());
    return AddDocument(doc);
}

void CDocManager::OpenWithDialog() {
    const QString path = QFileDialog::getOpenFileName(frame_, "Ouvrir", QString(), kFileFilter);
    if (!path.isEmpty()) OpenDocument(path);
}

void CDocManager::BrowseFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(frame_, "Sélectionnez un répertoire de recherche");
    if (!folder.isEmpty()) OpenFolder(folder);
}

QStringList CDocManager::BmpFilesInFolder(const QString& folder) {
    QDir dir(folder);
    dir.setNameFilters({"*.bmp"});
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList paths;
    // QDir matches name filters without regard to case by default.
    for (const QString& name : dir.entryList()) paths << dir.filePath(name);
    return paths;
}

void CDocManager::OpenFolder(const QString& folder) {
    for (const QString& path : BmpFilesInFolder(folder)) OpenDocument(path);
}

bool CDocManager::SaveDocument(COrvexDoc* doc) {
    if (doc->GetPathName().isEmpty()) return SaveDocumentAs(doc);
    return doc->OnSaveDocument(doc->GetPathName());
}

bool CDocManager::SaveDocumentAs(COrvexDoc* doc) {
    QString suggested = doc->GetPathName();
    if (suggested.isEmpty()) suggested = doc->GetTitle() + ".bmp";
    QFileDialog dialog(frame_, "Enregistrer sous", suggested, kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("bmp");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().first();
    if (!doc->OnSaveDocument(path)) return false;
    doc->SetPathName(path);
    AddRecentFile(path);
    return true;
}

bool CDocManager::SaveModified(COrvexDoc* doc) {
    if (!doc->IsModified()) return true;
    const QString name = doc->GetPathName().isEmpty() ? doc->GetTitle() : doc->GetPathName();
    const auto answer = QMessageBox::question(
        frame_, "Orvex", QString("Enregistrer les modifications apportées à %1?").arg(name),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    return SaveDocument(doc);
}

bool CDocManager::SaveAllModified() {
    for (COrvexDoc* doc : QList<COrvexDoc*>(docs_)) {
        if (!SaveModified(doc)) return false;
    }
    return true;
}

void CDocManager::CloseFramesOf(COrvexDoc* doc) {
    closingWithoutQuestion_ = true;
    for (CChildFrame* frame : frame_->FramesOf(doc)) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(frame->parentWidget())) window->close();
    }
    closingWithoutQuestion_ = false;
}

void CDocManager::CloseDocument(COrvexDoc* doc) {
    if (doc && SaveModified(doc)) CloseFramesOf(doc);
}

void CDocManager::CloseAll(bool withSaving) {
    if (withSaving && !SaveAllModified()) return;
    for (COrvexDoc* doc : QList<COrvexDoc*>(docs_)) CloseFramesOf(doc);
}

void CDocManager::NewWindow(COrvexDoc* doc) { CreateFrame(doc); }

// Closing a document's last window asks about its changes first.
bool CDocManager::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && !closingWithoutQuestion_) {
        auto* window = qobject_cast<QMdiSubWindow*>(watched);
        auto* frame = window ? qobject_cast<CChildFrame*>(window->widget()) : nullptr;
        COrvexDoc* doc = frame ? frame->GetDocument() : nullptr;
        if (doc && frame_->FramesOf(doc).size() == 1 && !SaveModified(doc)) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CDocManager::RemoveUnusedDocuments() {
    bool removed = false;
    for (COrvexDoc* doc : QList<COrvexDoc*>(docs_)) {
        if (!frame_->FramesOf(doc).isEmpty()) continue;
        docs_.removeOne(doc);
        doc->deleteLater();
        removed = true;
    }
    frame_->UpdateTitles();
    frame_->UpdateCommandStates();
    if (removed) emit documentsChanged();
}

void CDocManager::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recentFiles_.removeAll(absolute);
    recentFiles_.prepend(absolute);
    while (recentFiles_.size() > kRecentFileCount) recentFiles_.removeLast();
    UpdateRecentFileActions();
    SaveRecentFiles();
}

void CDocManager::OpenRecentFile(int index) {
    if (index < 0 || index >= recentFiles_.size()) return;
    const QString path = recentFiles_[index];
    // A file that can no longer be opened leaves the list.
    if (!OpenDocument(path)) {
        recentFiles_.removeAll(path);
        UpdateRecentFileActions();
        SaveRecentFiles();
    }
}

void CDocManager::LoadRecentFiles() {
    QSettings settings;
    recentFiles_.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = settings.value(QString("Recent File List/File%1").arg(i)).toString();
        if (!path.isEmpty()) recentFiles_ << path;
    }
    UpdateRecentFileActions();
}

void CDocManager::SaveRecentFiles() const {
    QSettings settings;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QString("Recent File List/File%1").arg(i);
        if (i <= recentFiles_.size())
            settings.setValue(key, recentFiles_[i - 1]);
        else
            settings.remove(key);
    }
}

void CDocManager::UpdateRecentFileActions() {
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* action = CommandAction(cmd::FileMru1 + i);
        if (i < recentFiles_.size()) {
            QString shown = QDir::toNativeSeparators(recentFiles_[i]);
            action->setText(QString("&%1 %2").arg(i + 1).arg(shown.replace("&", "&&")));
            action->setVisible(true);
        } else {
            action->setText("Fichier récent");
            // The first entry stays as a greyed placeholder when the list is empty.
            action->setVisible(i == 0 && recentFiles_.isEmpty());
        }
    }
    frame_->UpdateCommandStates();
}
