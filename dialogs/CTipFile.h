#pragma once
// The tips file "Orvex.tip": one tip per line. Lines starting with a space,
// a tab, ";" or that are empty are skipped; lines longer than 999 bytes are
// read in pieces of 999 bytes. After the last tip the first one comes back.

#include <QFile>
#include <QString>
#include <optional>

class CTipFile {
public:
    static constexpr qint64 kMaxLineBytes = 999;

    bool Open(const QString& path);
    bool IsOpen() const { return file_.isOpen(); }

    // The file's creation time (its modification time where the file system
    // keeps none) in the form "Wed Jul 10 14:03:55 2024".
    QString TimeStamp() const;

    bool Seek(qint64 position) { return file_.seek(position); }
    qint64 Position() const { return file_.pos(); }

    // The next tip with its line break, wrapping to the start of the file
    // once. Nothing when a whole pass over the file finds no tip, so a file
    // without tips cannot loop for ever.
    std::optional<QString> NextTip();

private:
    static bool IsSkipped(const QByteArray& line);

    QFile file_;
};
