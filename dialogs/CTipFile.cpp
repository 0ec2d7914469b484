#include "CTipFile.h"

#include <QFileInfo>
#include <QLocale>

#include "Message.h"
#include "TipStrings.h"

bool CTipFile::Open(const QString& path) {
    file_.setFileName(path);
    return file_.open(QIODevice::ReadOnly);
}

QString CTipFile::TimeStamp() const {
    const QFileInfo info(file_);
    QDateTime stamp = info.birthTime();
    if (!stamp.isValid()) stamp = info.lastModified();
    const QLocale c = QLocale::c();
    return c.toString(stamp, "ddd MMM ") + QString("%1").arg(stamp.date().day(), 2) +
           c.toString(stamp, " hh:mm:ss yyyy");
}

bool CTipFile::IsSkipped(const QByteArray& line) {
    const char first = line.isEmpty() ? '\n' : line.front();
    return first == ' ' || first == '\t' || first == '\n' || first == '\r' || first == ';';
}

std::optional<QString> CTipFile::NextTip() {
    if (!IsOpen()) return std::nullopt;
    bool wrapped = false;
    char buffer[kMaxLineBytes + 1];
    for (;;) {
        const qint64 length = file_.readLine(buffer, sizeof buffer);
        if (length <= 0) {
            if (wrapped) return std::nullopt;
            wrapped = true;
            if (!file_.seek(0)) ShowMessage(kTipReadError);
            continue;
        }
        const QByteArray line(buffer, length);
        if (!IsSkipped(line)) return QString::fromUtf8(line).replace("\r\n", "\n");
    }
}
