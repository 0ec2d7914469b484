#pragma once
// Helpers shared by the dialog tests: the engine's messages recorded, the
// user's gestures (typing into a field, pressing a button by its label), and
// the one way a test answers a modal window.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <source_location>
#include <string>
#include <type_traits>
#include <vector>

#include "Message.h"

// How long a step may take to find its window and answer it.
constexpr int kAnswerMs = 10000;

// Closes every modal window, the innermost first.
inline void CloseModalWindows() {
    for (int i = 0; i < 16 && QApplication::activeModalWidget(); ++i) {
        QWidget* window = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else if (!window->close())
            window->hide();
    }
}

// One answer to a modal window: looked for until it is up, then `act` plays
// the user's part and whatever it leaves open is closed. A step whose window
// never comes, or that does not end within kAnswerMs (a window it opened
// waits for an answer nobody gives), closes every modal window and fails the
// test, naming the step by the line that asked for it: nothing hangs.
class CModalAnswer : public QObject {
public:
    CModalAnswer(std::function<QWidget*()> find, std::function<void(QWidget&)> act,
                 const char* what, std::source_location step)
        : QObject(qApp), find_(std::move(find)), act_(std::move(act)), what_(what), step_(step) {
        poll_.callOnTimeout(this, &CModalAnswer::Poll);
        poll_.start(5);
        deadline_.setSingleShot(true);
        deadline_.callOnTimeout(this, &CModalAnswer::GiveUp);
        deadline_.start(kAnswerMs);
    }
    bool Answered() const { return answered_; }
    // The window did not come, and the test knows it already.
    void Withdraw() { Finish(); }

private:
    void Poll() {
        QWidget* window = find_();
        if (window == nullptr || !window->isVisible()) return;
        poll_.stop();
        answered_ = true;
        QPointer<QWidget> answeredWindow(window);
        act_(*window);
        if (answeredWindow && answeredWindow->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(answeredWindow.data()))
                dialog->reject();
            else
                answeredWindow->close();
        }
        Finish();
    }
    void GiveUp() {
        CloseModalWindows();
        const QString message = QString("step at line %1: %2 %3; every modal window closed")
                                    .arg(step_.line())
                                    .arg(what_, answered_ ? "did not end" : "never came up");
        QTest::qFail(qPrintable(message), step_.file_name(), int(step_.line()));
        Finish();
    }
    void Finish() {
        poll_.stop();
        deadline_.stop();
        deleteLater();
    }

    QTimer poll_, deadline_;
    std::function<QWidget*()> find_;
    std::function<void(QWidget&)> act_;
    QString what_;
    std::source_location step_;
    bool answered_ = false;
};

// Answers the next modal window of class W with `act` (see CModalAnswer).
template <class W>
QPointer<CModalAnswer> Answer(std::function<void(W&)> act,
                              std::source_location step = std::source_location::current()) {
    return new CModalAnswer([] { return qobject_cast<W*>(QApplication::activeModalWidget()); },
                            [act](QWidget& window) { act(static_cast<W&>(window)); },
                            W::staticMetaObject.className(), step);
}

// Runs `dialog` modally while `act` answers it; its result.
template <class W>
int ExecAnswering(W& dialog, std::type_identity_t<std::function<void(W&)>> act,
                  std::source_location step = std::source_location::current()) {
    Answer<W>(std::move(act), step);
    return dialog.exec();
}

// Records every message shown while it lives.
struct SRecordedMessages {
    std::vector<std::string> texts;
    CScopedMessageSink sink{[this](const std::string& text) { texts.push_back(text); }};
};

// The button of `dialog` showing `label`, or null.
inline QAbstractButton* ButtonLabelled(QWidget* dialog, const QString& label) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->text() == label) return button;
    return nullptr;
}

inline void Press(QWidget* dialog, const QString& label) {
    QAbstractButton* button = ButtonLabelled(dialog, label);
    QVERIFY2(button != nullptr, qPrintable(label));
    QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(label));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces the field's text as the user would: select all, then type.
inline void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Shows the dialog and waits until it has the focus, so that focus moves can
// be checked.
inline bool ShowActive(QWidget* dialog) {
    dialog->show();
    dialog->activateWindow();
    return QTest::qWaitForWindowActive(dialog);
}

// Expands the tree down to the item whose labels are `path` (separated by
// spaces) and clicks it; false when there is no such item.
inline bool PickTreeItem(QTreeWidget* tree, const QString& path) {
    QTreeWidgetItem* item = nullptr;
    for (const QString& label : path.split(u' ')) {
        const int count = item ? item->childCount() : tree->topLevelItemCount();
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* child = item ? item->child(i) : tree->topLevelItem(i);
            if (child->text(0) == label) next = child;
        }
        if (next == nullptr) return false;
        if (item) item->setExpanded(true);
        item = next;
    }
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    return tree->currentItem() == item;
}
