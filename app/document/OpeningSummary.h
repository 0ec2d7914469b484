#pragma once
// Opening many files at once (a folder, several files dropped): the pictures
// that cannot be opened, in formats other than BMP, are named with why in one
// message at the end instead of a box each, and the files of no known format
// are only counted. BMP refusals keep the engine's own boxes.

#include <QString>
#include <QStringList>

class QWidget;

class COpeningSummary {
public:
    // Gathers until it is destroyed; a summary opened inside another one
    // adds to the outer one.
    COpeningSummary();
    ~COpeningSummary();
    COpeningSummary(const COpeningSummary&) = delete;
    COpeningSummary& operator=(const COpeningSummary&) = delete;

    // The summary gathering now, or null: the failures are then told at once.
    static COpeningSummary* Current();

    // The full sentence naming the file and why it was not opened.
    void AddFailure(const QString& text) { failures_ << text; }
    void AddNotPicture() { ++notPictures_; }

    // Empty when every file was opened.
    QString Text() const;
    // One box with Text(), when there is anything to say.
    void Show(QWidget* parent) const;

private:
    COpeningSummary* outer_;
    QStringList failures_;
    int notPictures_ = 0;
};
