#pragma once
// The document of one picture or a stack of pages: the pages with their
// history (CImageDocument), the file it came from, the modified flag, and the
// processing commands that change the pixels without changing the picture's
// size (DocumentCommands.cpp). Every page of a file is opened; each view
// shows a page of its own, and the active view's is the current one.
// Two notifications reach the views: picturesChanged (the picture may have
// changed size: views refit, command states follow) and coloursChanged (only
// the colour table changed: views repaint, nothing else, so a live preview
// costs one repaint).

#include <QObject>
#include <QString>
#include <optional>

#include "CommandTarget.h"
#include "ImageDocument.h"
#include "MeasureTable.h"
#include "PictureLosses.h"

class COrvexDoc : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    explicit COrvexDoc(QObject* parent = nullptr);

    bool OnNewDocument();
    // Reports its own errors; false when the file cannot be read or is refused.
    bool OnOpenDocument(const QString& path);
    // Reports its own errors; false on failure. Clears the modified flag on
    // success. A format that cannot hold the picture (PGM of a colour
    // picture) is refused with a message and nothing is written.
    bool OnSaveDocument(const QString& path, PictureFormat format = PictureFormat::Bmp);
    // The format "&Enregistrer" writes: the one the file was read in or last
    // saved in; none when that format is read only (JPEG), so a new name and
    // format are asked for.
    std::optional<PictureFormat> GetSaveFormat() const { return saveFormat_; }
    // What writing the picture over its own file would lose: what the file
    // held beyond the picture when it was read (nothing once the document
    // has been saved), and the colours of a colour PPM file whose picture
    // has become grey. "&Enregistrer" asks for a name when there is any.
    SPictureLosses LossesOnSave() const;
    // Whether `format` holds every page: each picture, and as many pages.
    bool CanHold(PictureFormat format) const;

    // The stack's pages are a TIFF's "Page"s, or a GIF's frames: "Image"s.
    QString PageWord() const;
    // "Page K / N" ("Image K / N") for the page at `index` (from 0).
    QString PageLabel(int index) const;
    // "TITLE - Page K / N" on a stack of several pages, else the title alone.
    QString WithPage(const QString& title, int index) const;
    // What the status bar says once the file is open (PictureLossText.h).
    QString OpeningNote() const;
    // The last answer to "Appliquer à toutes les pages ?", the next one's default.
    bool AllPagesAnswer() const { return allPagesAnswer_; }
    void SetAllPagesAnswer(bool allPages) { allPagesAnswer_ = allPages; }
    // Whether the last step ran on every page: undo then goes back on every page.
    bool LastRunOnAllPages() const { return lastRunOnAllPages_; }
    void SetLastRunOnAllPages(bool allPages) { lastRunOnAllPages_ = allPages; }

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true);

    QString GetPathName() const { return pathName_; }
    // Also titles the document with the file's name.
    void SetPathName(const QString& path);
    QString GetTitle() const { return title_; }
    void SetTitle(const QString& title);

    CImage* GetImage() { return core_.GetImage(); }
    const CImage* GetImage() const { return core_.GetImage(); }
    CImageDocument& Core() { return core_; }
    const CImageDocument& Core() const { return core_; }
    bool AddHistory(const QString& text);
    QString GetHistory() const;

    // The picture changed.
    void UpdateAllViews();
    // Only the colours changed.
    void UpdateColours();

signals:
    void picturesChanged();
    void coloursChanged();
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);
    // A measurement of the picture, for the results window.
    void measured(const CMeasureRow& row);

protected:
    CommandOwner OwnerKind() const override { return CommandOwner::Document; }
    SCommandContext OwnContext() const override;

private:
    CImageDocument core_;
    bool modified_ = false;
    QString pathName_;
    std::optional<PictureFormat> saveFormat_ = PictureFormat::Bmp;
    SPictureLosses fileLosses_;
    QString title_;
    bool allPagesAnswer_ = true;
    bool lastRunOnAllPages_ = false;
};
