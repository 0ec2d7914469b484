#pragma once
// Helpers shared by the document and view tests: pictures on disk, and a
// catcher that records and closes the modal message boxes a command shows
// (dialogs are answered with Answer, tst_dialog_support.h).

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "COrvexDoc.h"
#include "COrvexView.h"
#include "Message.h"
#include "PictureFiles.h"
#include "tst_dialog_support.h"

inline QString BmpSuiteFolder(const char* kind) {
    return QDir(QFileInfo(QStringLiteral(__FILE__)).absolutePath())
        .filePath(QString("../data/bmpsuite/") + kind);
}

// Sets the picture to width x height with displayed pixel (x, y) = f(x, y).
template <typename F>
void MakePicture(CImage& image, int width, int height, F f) {
    image.CreateEmptyImage(width, height, 0);
    std::uint8_t* bits = image.GetBits(image.Lock());
    const int stride = CImage::GetWidthBytes(width);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[(height - 1 - y) * stride + x] = static_cast<std::uint8_t>(f(x, y));
}

// Level of displayed pixel (x, y) of an 8-bit picture.
inline int LevelAt(CImage& image, int x, int y) {
    const std::uint8_t* bits = image.GetBits(image.Lock());
    return bits[(image.GetHeight() - 1 - y) * CImage::GetWidthBytes(image.GetWidth()) + x];
}

// Writes a width x height 8-bit picture to `folder`/name and returns its path.
inline QString WritePicture(const QTemporaryDir& folder, const QString& name, int width,
                            int height) {
    CImage image;
    MakePicture(image, width, height, [](int x, int y) { return (x + 3 * y) % 256; });
    const QString path = folder.filePath(name);
    SaveBmpAt(image, path.toStdString());
    return path;
}

// A document holding a width x height picture with pixel (x, y) = (x + 3y) % 256.
inline void LoadPicture(COrvexDoc& doc, int width, int height) {
    MakePicture(*doc.GetImage(), width, height, [](int x, int y) { return (x + 3 * y) % 256; });
    doc.UpdateAllViews();
}

// Shows a widget at the given size and waits until it is on screen.
inline bool Shown(QWidget& widget, int width, int height) {
    widget.resize(width, height);
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

// Records and closes every modal message box shown while it lives.
class CBoxCatcher : public QObject {
public:
    struct Box {
        QString title, text;
        QMessageBox::Icon icon;
    };
    QList<Box> boxes;

    CBoxCatcher() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.append({box->windowTitle(), box->text(), box->icon()});
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
};

// Records the engine's messages while it lives.
class CEngineMessages {
public:
    QStringList texts;
    CEngineMessages()
        : sink_([this](const std::string& t) { texts.append(QString::fromStdString(t)); }) {}

private:
    CScopedMessageSink sink_;
};

// Counts the paints of a view's drawing surface.
class CPaintCounter : public QObject {
public:
    int count = 0;
    explicit CPaintCounter(COrvexView& view) { view.viewport()->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};
