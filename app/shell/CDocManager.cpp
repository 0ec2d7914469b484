#include "CDocManager.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFile>
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
#include "CResultsWindow.h"
#include "CSaveAsDialog.h"
#include "CStatusBar.h"
#include "CWaitCursor.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "OpeningSummary.h"
#include "PictureLossText.h"
#include "SampleWindowText.h"

QString CDocManager::OpenFilter() {
    QStringList patterns, filters;
    for (PictureFormat format : PictureFormats()) {
        for (const std::string& extension : FormatExtensions(format, true))
            patterns << "*." + QString::fromStdString(extension);
        filters << QString::fromStdString(FormatFilter(format, true));
    }
    return "Toutes les images (" + patterns.join(' ') + ");;" + filters.join(";;") +
           ";;Tous les fichiers (*.*)";
}

namespace {

// The filter "Enregistrer sous" offers for a format it writes.
QString SaveFilterOf(PictureFormat format) { return QString::fromStdString(FormatFilter(format)); }

// The format written through a filter of "Enregistrer sous".
PictureFormat FormatOfFilter(const QString& filter) {
    for (PictureFormat format : WritablePictureFormats())
        if (filter == SaveFilterOf(format)) return format;
    return PictureFormat::Bmp;
}

// "BMP (.bmp), PNG (.png), TIFF (.tif, .tiff), ... et PPM (.ppm)".
QString WrittenFormatsText() {
    std::vector<std::string> formats;
    for (PictureFormat format : WritablePictureFormats()) {
        std::vector<std::string> extensions;
        for (const std::string& extension : FormatExtensions(format))
            extensions.push_back("." + extension);
        formats.push_back(FormatName(format) + std::string(" (") + JoinWords(extensions, ", ") +
                          ")");
    }
    return QString::fromStdString(JoinWords(formats, " et "));
}

QString DefaultSuffix(PictureFormat format) { return QString(FormatExtension(format)).mid(1); }

// The format first offered: the one the picture is kept in, from the
// document's own format; the one that keeps any picture as it is when its
// file held more than the picture.
PictureFormat OfferedFormat(const COrvexDoc& doc) {
    const bool heldMore = doc.LossesOnSave().AnyFromRead();
    const PictureFormat kept =
        KeptFormat(heldMore ? std::nullopt : doc.GetSaveFormat(), doc.GetImage());
    // A stack goes into a format of pages.
    return doc.CanHold(kept) ? kept : FormatNamed("TIFF").value_or(kept);
}

// The name first offered: the document's own, with the extension of the
// offered format when that is not the one "&Enregistrer" would write.
// Why a document's own file is not written over: what the file holds that
// the picture does not give back, or that its format cannot hold the picture.
QString WhyAnotherName(const COrvexDoc& doc) {
    if (doc.GetPathName().isEmpty()) return {};
    const QString name = QFileInfo(doc.GetPathName()).fileName();
    const SPictureLosses losses = doc.LossesOnSave();
    QString what;
    if (losses.pages > losses.pagesKept)
        what = QString("%1 pages").arg(losses.pages);
    else if (losses.Deeper())
        what = QString::fromStdString("des niveaux " + SampleDepthWords(losses));
    else if (losses.samples > 1)
        what = QString("%1 échantillons par pixel").arg(losses.samples);
    else if (losses.alpha)
        what = "de la transparence";
    else if (losses.colours)
        what = "des couleurs";
    if (!what.isEmpty()) return QString("%1 contient %2 : choisissez un autre nom").arg(name, what);
    if (!doc.GetSaveFormat())
        return QString("Orvex n'enregistre pas au format de %1 : choisissez un autre nom")
            .arg(name);
    if (!FormatHolds(*doc.GetSaveFormat(), *doc.GetImage()))
        return QString("le format de %1 ne peut pas contenir l'image : choisissez un autre nom")
            .arg(name);
    if (!doc.CanHold(*doc.GetSaveFormat()))
        return QString("le format de %1 ne contient qu'une page : choisissez un autre nom")
            .arg(name);
    return {};
}

// The document's own name, or with another format's extension; when its
// file is not to be written over, a name no file has yet ("photo-1.png").
QString SuggestedName(const COrvexDoc& doc, PictureFormat format) {
    if (doc.GetPathName().isEmpty()) return doc.GetTitle() + FormatExtension(format);
    const QFileInfo file(doc.GetPathName());
    QString name = doc.GetSaveFormat() == format
                       ? doc.GetPathName()
                       : file.dir().filePath(file.completeBaseName() + FormatExtension(format));
    if (WhyAnotherName(doc).isEmpty()) return name;
    for (int n = 1; QFileInfo::exists(name); ++n)
        name = file.dir().filePath(
            QString("%1-%2%3").arg(file.completeBaseName()).arg(n).arg(FormatExtension(format)));
    return name;
}

// Why the picture cannot be written as `path`; empty when it can.
QString SaveRefusal(const COrvexDoc& doc, const QString& path) {
    const auto format = WritableFormatFromPath(QFile::encodeName(path).toStdString());
    if (!format)
        return QString("Impossible d'enregistrer %1 : Orvex enregistre les images aux formats %2.")
            .arg(QFileInfo(path).fileName(), WrittenFormatsText());
    if (!FormatHolds(*format, *doc.GetImage()))
        return RefusedSaveText(*doc.GetImage(), *format, path);
    if (!doc.CanHold(*format))
        return QString(
                   "Impossible d'enregistrer %1 au format %2 : ce format ne contient qu'une page "
                   "et la pile en a %3 (Pile > Extraire la page).")
            .arg(QFileInfo(path).fileName(), FormatName(*format))
            .arg(doc.Core().GetPageCount());
    return {};
}

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
    connect(doc, &COrvexDoc::measured, frame_->Results(), &CResultsWindow::AddRow);
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

COrvexDoc* CDocManager::NewDocumentFrom(const std::function<bool(CImageDocument&)>& fill) {
    auto* doc = new COrvexDoc(this);
    bool made = false;
    {
        CWaitCursor wait;
        made = fill(doc->Core());
    }
    if (!made) {
        delete doc;
        return nullptr;
    }
    doc->SetTitle(QString("Image%1").arg(++newDocumentCount_));
    doc->SetModifiedFlag();
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
    AddDocument(doc);
    // Said once: the next prompt takes its place.
    if (const QString note = doc->OpeningNote();
        !note.isEmpty())
        frame_->StatusBar()->SetPrompt(note);
    return doc;
}

void CDocManager::OpenWithDialog() {
    const QString path = QFileDialog::getOpenFileName(frame_, "Ouvrir", QString(), OpenFilter());
    if (!path.isEmpty()) OpenDocument(path);
}

void CDocManager::BrowseFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(frame_, "Sélectionnez un répertoire de recherche");
    if (!folder.isEmpty()) OpenFolder(folder);
}

void CDocManager::OpenFolder(const QString& folder) {
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList paths;
    for (const QString& name : dir.entryList()) paths << dir.filePath(name);
    OpenFiles(paths);
}

void CDocManager::OpenFiles(const QStringList& paths) {
    COpeningSummary summary;
    for (const QString& path : paths) OpenDocument(path);
    summary.Show(frame_);
}

bool CDocManager::SaveDocument(COrvexDoc* doc) {
    // A picture its own format cannot hold (a PBM file's picture blurred)
    // is given a name and a format that can.
    if (doc->GetPathName().isEmpty() || !doc->GetSaveFormat() || doc->LossesOnSave().Any() ||
        !doc->CanHold(*doc->GetSaveFormat()))
        return SaveDocumentAs(doc);
    return doc->OnSaveDocument(doc->GetPathName(), *doc->GetSaveFormat());
}

bool CDocManager::SaveDocumentAs(COrvexDoc* doc) {
    const PictureFormat offered = OfferedFormat(*doc);
    QStringList filters;
    for (PictureFormat format : WritablePictureFormats())
        if (doc->CanHold(format)) filters << SaveFilterOf(format);
    CSaveAsDialog dialog(frame_, SuggestedName(*doc, offered));
    dialog.SetRefusal([doc](const QString& chosen) { return SaveRefusal(*doc, chosen); });
    if (const QString why = WhyAnotherName(*doc); !why.isEmpty())
        dialog.setWindowTitle("Enregistrer sous - " + why);
    if (!doc->GetPathName().isEmpty())
        dialog.SetLossesOf(
            doc->GetPathName(),
            LossSentences(doc->LossesOnSave(), QFileInfo(doc->GetPathName()).fileName()));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(SaveFilterOf(offered));
    // A name typed without extension gets the chosen filter's.
    dialog.setDefaultSuffix(DefaultSuffix(offered));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const PictureFormat format = FormatOfFilter(filter);
        dialog.setDefaultSuffix(DefaultSuffix(format));
        // A name that already has a format's extension takes the new one.
        const QString typed = dialog.selectedFiles().value(0);
        if (WritableFormatFromPath(QFile::encodeName(typed).toStdString()))
            dialog.selectFile(QFileInfo(typed).completeBaseName() + FormatExtension(format));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().first();
    const auto format = WritableFormatFromPath(QFile::encodeName(path).toStdString());
    if (const QString why = SaveRefusal(*doc, path); !why.isEmpty() || !format) {
        QMessageBox::warning(frame_, "Orvex", why);
        return false;
    }
    if (!doc->OnSaveDocument(path, *format)) return false;
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
