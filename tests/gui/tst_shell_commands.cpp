// Menus, toolbars, context menus, accelerators and the enabling of commands.

#include "tst_shell_support.h"

class TestShellCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { shell_.InitTestCase(); }
    void init() { QVERIFY((app_ = shell_.Start())); }
    void cleanup() { shell_.Stop(); }

    void menuBarSwitchesBetweenNoDocumentAndDocumentMenus();
    void menuLettersAreUniqueInEachMenu();
    void commandsWithoutHandlerAreDisabled();
    void contextMenuCloseAllItemsFollowTheActiveWindow();
    void toolbarsHoldTheirButtonsInOrder();
    void acceleratorsReachTheirCommands();
    void marksOnlyWhereTheyMeanSomething();

private:
    CShellApp shell_;
    COrvexApp* app_ = nullptr;
};

void TestShellCommands::menuBarSwitchesBetweenNoDocumentAndDocumentMenus() {
    CMainFrame* frame = app_->MainFrame();
    QCOMPARE(MenuTitles(frame->menuBar()), QStringList({"&Fichier", "&Affichage", "Ai&de"}));
    COrvexDoc* doc = app_->DocManager()->NewDocument();
    QVERIFY(doc);
    QCOMPARE(MenuTitles(frame->menuBar()),
             QStringList({"&Fichier", "&Edition", "&Affichage", "&Image", "Pa&lette", "&Traitement",
                          "Anal&yse", "Pile", "&Perspective", "&Outils", "Fe&nêtre", "Ai&de"}));
    app_->DocManager()->CloseAll(false);
    QTRY_COMPARE(MenuTitles(frame->menuBar()).size(), 3);
}

// Alt+letter, then a letter, opens one item: two items of a menu sharing a
// letter would only move between them.
void TestShellCommands::menuLettersAreUniqueInEachMenu() {
    app_->DocManager()->NewDocument();
    QList<QMenu*> menus;
    for (QAction* title : app_->MainFrame()->menuBar()->actions()) menus << title->menu();
    for (int m = 0; m < menus.size(); ++m) {
        QMap<QChar, QString> taken;
        for (QAction* item : menus[m]->actions()) {
            if (item->menu()) menus << item->menu();
            const QChar letter(int(QKeySequence::mnemonic(item->text())[0].key()));
            if (letter.isNull()) continue;
            QVERIFY2(!taken.contains(letter),
                     qPrintable(menus[m]->title() + ": " + taken[letter] + " / " + item->text()));
            taken[letter] = item->text();
        }
    }
}

void TestShellCommands::commandsWithoutHandlerAreDisabled() {
    CMainFrame* frame = app_->MainFrame();
    frame->UpdateCommandStates();
    QVERIFY(!CommandAction(cmd::Unassigned)->isEnabled());
    QVERIFY(!CommandAction(cmd::SaveAll)->isEnabled());
    QVERIFY(CommandAction(cmd::Options)->isEnabled());  // always, with or without a picture
    QVERIFY(CommandAction(cmd::FileNew)->isEnabled());
    app_->DocManager()->NewDocument();
    QVERIFY(!CommandAction(cmd::EditCut)->isEnabled());
    QVERIFY(!CommandAction(cmd::StructuringElement)->isEnabled());
    QVERIFY(CommandAction(cmd::SaveAll)->isEnabled());
    QVERIFY(CommandAction(cmd::CloseAllNoSave)->isEnabled());
    CommandAction(cmd::FileNew)->trigger();
    QCOMPARE(app_->DocManager()->Documents().size(), 2);
    // A disabled command does nothing even when asked for directly.
    const int documents = app_->DocManager()->Documents().size();
    frame->RouteCommand(cmd::EditCut);
    QCOMPARE(app_->DocManager()->Documents().size(), documents);
}

void TestShellCommands::contextMenuCloseAllItemsFollowTheActiveWindow() {
    CMainFrame* frame = app_->MainFrame();
    QMenu* closeAll = nullptr;
    for (QMenu* menu : frame->ContextMenu()->findChildren<QMenu*>()) {
        if (menu->title() == "Fermer tout ") closeAll = menu;
    }
    QVERIFY(closeAll);
    QCOMPARE(closeAll->actions().size(), 2);
    frame->UpdateCommandStates();
    for (QAction* item : closeAll->actions()) QVERIFY(!item->isEnabled());
    app_->DocManager()->NewDocument();
    for (QAction* item : closeAll->actions()) QVERIFY(item->isEnabled());
    QCOMPARE(closeAll->actions()[0]->text(), QString("Sauvegarde"));
}

void TestShellCommands::toolbarsHoldTheirButtonsInOrder() {
    CMainFrame* frame = app_->MainFrame();
    QCOMPARE(frame->ImageToolBar()->windowTitle(), QString("Image"));
    QList<int> shown;
    for (QAction* action : frame->ImageToolBar()->actions())
        shown << (action->isSeparator() ? 0 : action->data().toInt());
    QCOMPARE(shown, ImageToolBarIds());
    for (int id : MainToolBarIds() + ImageToolBarIds()) {
        if (id == 0) continue;
        QVERIFY2(!CommandAction(id)->icon().isNull(), qPrintable(QString::number(id)));
    }
    QCOMPARE(CommandAction(cmd::Negative)->toolTip(), QString("Inverse"));
    QCOMPARE(CommandAction(cmd::Negative)->statusTip(), QString("Inverse la dynamique de l'image"));
    // "&Barre d'outils" hides the main toolbar only.
    frame->show();
    frame->RouteCommand(cmd::ViewToolbar);
    QVERIFY(frame->MainToolBar()->isHidden());
    QVERIFY(!frame->ImageToolBar()->isHidden());
    QVERIFY(!CommandAction(cmd::ViewToolbar)->isChecked());
}

void TestShellCommands::acceleratorsReachTheirCommands() {
    CMainFrame* frame = app_->MainFrame();
    frame->show();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    app_->DocManager()->NewDocument();
    frame->UpdateCommandStates();
    const QList<std::pair<int, QKeyCombination>> keys = {
        {cmd::ZoomPlus, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus},
        {cmd::ZoomMinus, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus},
        {cmd::ZoomNormal, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_1},
        // The main-keyboard twins shown in the menu, which are also what X11
        // delivers for the keypad keys held with Ctrl.
        {cmd::ZoomPlus, Qt::ControlModifier | Qt::Key_Plus},
        {cmd::ZoomMinus, Qt::ControlModifier | Qt::Key_Minus},
        {cmd::ZoomNormal, Qt::ControlModifier | Qt::Key_1},
        {cmd::EditUndo, Qt::AltModifier | Qt::Key_Backspace},
        {cmd::EditCopy, Qt::ControlModifier | Qt::Key_Insert},
        {cmd::ZoomAuto, Qt::ControlModifier | Qt::Key_F}};
    for (const auto& [id, key] : keys) {
        QAction* action = CommandAction(id);
        action->setEnabled(true);
        QSignalSpy spy(action, &QAction::triggered);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : frame,
                        key.key(), key.keyboardModifiers());
        QVERIFY2(spy.count() == 1, qPrintable(QString::number(id)));
    }
}

void TestShellCommands::marksOnlyWhereTheyMeanSomething() {
    // "Ajouter à l'image..." adds a bar; it is no setting to tick.
    QVERIFY(!CommandAction(cmd::PaletteBar)->isCheckable());
    // The window list marks the active window and shows no box beside the others.
    app_->DocManager()->NewDocument();
    app_->DocManager()->NewDocument();
    QMenu* windowMenu = nullptr;
    for (QAction* action : app_->MainFrame()->menuBar()->actions())
        if (action->text() == "Fe&nêtre") windowMenu = action->menu();
    QVERIFY(windowMenu);
    emit windowMenu->aboutToShow();
    QList<QAction*> list;
    for (QAction* action : windowMenu->actions())
        if (action->text().startsWith("&1 ") || action->text().startsWith("&2 ")) list << action;
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0]->isCheckable(), false);
    QVERIFY(list[1]->isCheckable() && list[1]->isChecked());
}

QTEST_MAIN(TestShellCommands)
#include "tst_shell_commands.moc"
