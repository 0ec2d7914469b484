#pragma once
// What the shell tests share: a started application with fresh settings in a
// temporary folder, small BMP files, answers to message boxes.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "AppSettings.h"
#include "CChildFrame.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexApp.h"
#include "COrvexDoc.h"
#include "CSplashWindow.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "MainFrameBars.h"
#include "Message.h"
#include "tst_dialog_support.h"

inline QStringList MenuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* action : bar->actions()) titles << action->text();
    return titles;
}

// Writes a small 8-bit grey BMP file.
inline void WriteGreyBmp(const QString& path, int width, int height) {
    const int stride = (width + 3) / 4 * 4;
    const quint32 offset = 14 + 40 + 256 * 4;
    const quint32 size = offset + stride * height;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << size << quint32(0) << offset;
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(8) << quint32(0)
        << quint32(stride * height) << qint32(2835) << qint32(2835) << quint32(256) << quint32(0);
    for (int i = 0; i < 256; ++i) out << quint8(i) << quint8(i) << quint8(i) << quint8(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x) out << quint8((x * 16 + y) & 0xFF);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Answers the next message box with the given button, counting the questions.
inline void AnswerNextBox(QMessageBox::StandardButton button, int* asked,
                          std::source_location step = std::source_location::current()) {
    Answer<QMessageBox>(
        [button, asked](QMessageBox& box) {
            ++*asked;
            box.button(button)->click();
        },
        step);
}

// The application as main() starts it, with "-Embedding" (no splash, no
// tip), its settings kept in a temporary folder.
class CShellApp {
public:
    void InitTestCase() {
        ConfigureSettings();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir_.path());
        // The tips file is looked for in the current folder; none here.
        QDir::setCurrent(configDir_.path());
    }

    COrvexApp* Start() {
        QSettings().clear();
        QSettings().setValue("Tip/StartUp", 1);
        app_ = new COrvexApp;
        if (!app_->InitInstance({"-Embedding"})) return nullptr;
        return app_;
    }

    void Stop() {
        app_->DocManager()->CloseAll(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        delete app_;
        app_ = nullptr;
    }

private:
    QTemporaryDir configDir_;
    COrvexApp* app_ = nullptr;
};
