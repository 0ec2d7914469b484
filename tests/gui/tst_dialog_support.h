#pragma once
// Helpers shared by the dialog tests: the engine's messages recorded, and the
// user's gestures (typing into a field, pressing a button by its label).

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>
#include <string>
#include <vector>

#include "Message.h"

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
