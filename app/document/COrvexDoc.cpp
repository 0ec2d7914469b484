#include "COrvexDoc.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "CWaitCursor.h"
#include "Message.h"
#include "OpeningSummary.h"
#include "PictureLossText.h"
#include "ReaderKindWords.h"

namespace {

const char* const kCaption = "Orvex";

// The report of a file that could not be opened, read or written, naming it.
QString FileErrorText(int error, const QString& path, const char* fallback) {
    const QString name = QFileInfo(path).fileName();
    switch (error) {
        case ENOENT:
            return QString("Impossible de trouver %1.").arg(name);
        case EACCES:
        case EPERM:
        case EROFS:
            return QString("L'accès à %1 a été refusé.").arg(name);
        case EISDIR:
        case ENOTDIR:
        case ENAMETOOLONG:
            return QString("%1 contient un chemin non valide.").arg(name);
        case ENOSPC:
        case EDQUOT:
            return QString("Espace disque insuffisant pour écrire %1.").arg(name);
        case EMFILE:
        case ENFILE:
            return QString("Impossible d'ouvrir %1 : trop de fichiers ouverts.").arg(name);
        case EIO:
            return QString("Erreur d'entrée/sortie lors de l'accès à %1.").arg(name);
        default:
            return QString::fromUtf8(fallback);
    }
}

void ReportFileError(const QString& text) {
    QMessageBox::warning(QApplication::activeWindow(), kCaption, text);
}

// A file not opened: named in the summary when many are opened at once.
void ReportOpenFailure(const QString& text) {
    if (COpeningSummary* summary = COpeningSummary::Current())
        summary->AddFailure(text);
    else
        ReportFileError(text);
}

// What a refused file is, as its reader named it in the parentheses of its
// problem ("unsupported TIFF file (CMYK)"): " (CMYK)", or nothing.
QString RefusedKind(const std::string& problem) {
    const std::size_t open = problem.find('('), close = problem.rfind(')');
    if (problem.rfind("unsupported", 0) != 0 || open == std::string::npos || close < open)
        return {};
    return " (" +
           FrenchKindWords(QString::fromStdString(problem.substr(open + 1, close - open - 1))) +
           ")";
}

// Why a file was read but not opened, when the engine has not said it.
QString UnreadableText(FileStatus status, PictureFormat format, const QString& path,
                       const std::string& problem) {
    const QString name = QFileInfo(path).fileName();
    if (status == FileStatus::UnknownFormat)
        return QString("Impossible d'ouvrir %1 : format de fichier inconnu.").arg(name);
    if (status == FileStatus::Damaged)
        return QString("Impossible d'ouvrir %1 : le fichier %2 est endommagé.")
            .arg(name, FormatName(format));
    if (format == PictureFormat::Bmp)
        return QString("Impossible d'ouvrir %1 : ce n'est pas un fichier BMP.").arg(name);
    return QString("Impossible d'ouvrir %1 : cette image %2 n'est pas prise en charge%3.")
        .arg(name, FormatName(format), RefusedKind(problem));
}

}  // namespace

QString RefusedSaveText(const CImage& image, PictureFormat format, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (!image.IsValid())
        return QString("Impossible d'enregistrer %1 : le document ne contient pas d'image.")
            .arg(name);
    if (const std::string reason = FormatRefusal(format, image, true); !reason.empty())
        return QString("Impossible d'enregistrer %1 au format %2 : %3")
            .arg(name, FormatName(format), QString::fromStdString(reason));
    return QString("Impossible d'enregistrer %1 au format %2.").arg(name, FormatName(format));
}

COrvexDoc::COrvexDoc(QObject* parent) : QObject(parent) {}

bool COrvexDoc::OnNewDocument() {
    SetModifiedFlag(false);
    return true;
}

bool COrvexDoc::OnOpenDocument(const QString& path) {
    // The engine's messages are held back until the wait cursor is gone, and
    // tell whether the engine said why it refused the file.
    std::vector<std::string> engineMessages;
    FileStatus status;
    int error = 0;
    {
        CWaitCursor wait;
        CScopedMessageSink hold([&](const std::string& text) { engineMessages.push_back(text); });
        status = core_.Open(QFile::encodeName(path).toStdString(), {1, 0});
        error = errno;
    }
    for (const std::string& text : engineMessages) ShowMessage(text);

    switch (status) {
        case FileStatus::Ok:
            break;
        case FileStatus::UnknownFormat:
        case FileStatus::Refused:
        case FileStatus::Damaged: {
            if (!engineMessages.empty()) return false;
            const PictureFormat format = core_.GetFileInfo().format;
            const std::string& problem = core_.GetFileInfo().problem;
            COpeningSummary* summary = COpeningSummary::Current();
            if (summary && status == FileStatus::UnknownFormat)
                summary->AddNotPicture();
            else if (status != FileStatus::UnknownFormat && format == PictureFormat::Bmp)
                ReportFileError(
                    UnreadableText(status, format, path, problem));  // BMP keeps its boxes
            else
                ReportOpenFailure(UnreadableText(status, format, path, problem));
            return false;
        }
        default:
            ReportOpenFailure(FileErrorText(error, path, "L'ouverture du document a échoué."));
            return false;
    }
    SetPathName(path);
    const PictureFormat read = core_.GetFileInfo().format;
    saveFormat_ = IsWritableFormat(read) ? std::optional(read) : std::nullopt;
    fileLosses_ = core_.GetFileInfo().losses;
    SetModifiedFlag(false);
    return true;
}

bool COrvexDoc::OnSaveDocument(const QString& path, PictureFormat format) {
    FileStatus status;
    int error = 0;
    std::string problem;
    {
        CWaitCursor wait;
        const std::string name = QFile::encodeName(path).toStdString();
        status = core_.SamplesRefusal(format).empty() ? core_.SaveSamples(name, format, problem)
                                                      : core_.Save(name, format, problem);
        error = errno;
    }
    switch (status) {
        case FileStatus::Ok:
            saveFormat_ = format;
            fileLosses_ = {};
            SetModifiedFlag(false);
            return true;
        case FileStatus::Refused:
            if (format != PictureFormat::Bmp) {
                ReportFileError(RefusedSaveText(*GetImage(), format, path));
                return false;
            }
            QMessageBox(QMessageBox::Information, "Orvex Processing",
                        "Couldn't save Bitmap Image : this file is not a valid one",
                        QMessageBox::Ok, QApplication::activeWindow())
                .exec();
            return false;
        case FileStatus::CannotOpen:
            ReportFileError(FileErrorText(error, path, "Nom de fichier non valide."));
            return false;
        default:
            ReportFileError(FileErrorText(error, path, "L'enregistrement du document a échoué."));
            return false;
    }
}

bool COrvexDoc::CanHold(PictureFormat format) const {
    if (core_.GetPageCount() > 1 && !FormatHoldsPages(format)) return false;
    const std::vector<SPicturePage>& pages = core_.GetPages();
    return std::all_of(pages.begin(), pages.end(),
                       [format](const SPicturePage& page) { return FormatHolds(format, *page.image); });
}

QString COrvexDoc::PageWord() const {
    return core_.GetFileInfo().format == FormatNamed("GIF") ? "Image" : "Page";
}

QString COrvexDoc::PageLabel(int index) const {
    return QString("%1 %2 / %3").arg(PageWord()).arg(index + 1).arg(core_.GetPageCount());
}

QString COrvexDoc::WithPage(const QString& title, int index) const {
    return core_.GetPageCount() > 1 ? title + " - " + PageLabel(index) : title;
}

QString COrvexDoc::OpeningNote() const {
    return ::OpeningNote(LossesOnSave(), core_.GetFileInfo().format,
                         !core_.GetFileInfo().stackNote.empty());
}

SPictureLosses COrvexDoc::LossesOnSave() const {
    SPictureLosses losses = fileLosses_;
    // Its format would take the picture, but the other of its pair suits it
    // (a colour PPM file made grey, which PGM keeps).
    losses.colours = saveFormat_ && FormatHolds(*saveFormat_, *GetImage()) &&
                     KeptFormat(saveFormat_, GetImage()) != *saveFormat_;
    // The file's own samples, kept, are written as they are where the format holds them.
    if (saveFormat_ && core_.SamplesRefusal(*saveFormat_).empty())
        losses.sampleBits = 8, losses.sampleKind = SampleKind::Unsigned;
    return losses;
}

void COrvexDoc::SetModifiedFlag(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void COrvexDoc::SetPathName(const QString& path) {
    pathName_ = path;
    SetTitle(QFileInfo(path).fileName());
}

void COrvexDoc::SetTitle(const QString& title) {
    if (title_ == title) return;
    title_ = title;
    emit titleChanged(title);
}

bool COrvexDoc::AddHistory(const QString& text) { return core_.AddHistory(text.toStdString()); }

QString COrvexDoc::GetHistory() const { return QString::fromStdString(core_.GetHistory()); }

void COrvexDoc::UpdateAllViews() { emit picturesChanged(); }

void COrvexDoc::UpdateColours() { emit coloursChanged(); }

SCommandContext COrvexDoc::OwnContext() const {
    SCommandContext context;
    context.Set(CommandOwner::Document, const_cast<COrvexDoc*>(this));
    return context;
}
