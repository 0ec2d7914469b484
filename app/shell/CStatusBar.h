#pragma once
// The main window's status bar: the message pane ("Prêt" or the prompt of
// the command under the pointer), the readout of the pixel under the mouse,
// the "MAJ", "NUM" and "DEF" lock
// indicators, the date and the time. The clock panes are resized to their
// text and refreshed at least every 10 seconds. While a menu is open the
// message pane covers the whole bar, so long prompts stay readable.

#include <QStatusBar>

class QLabel;
class QTimer;

class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kClockIntervalMs = 10000;

    explicit CStatusBar(QWidget* parent = nullptr);

    // Shows a command prompt, or "Prêt" when the text is empty.
    void SetPrompt(const QString& text);
    QString Prompt() const;

    // The readout of the pixel under the mouse, in a pane of its own that
    // widens to its longest text and never narrows, so a mouse move repaints
    // that pane only.
    void SetReadout(const QString& text);
    QLabel* ReadoutPane() const { return readoutPane_; }

    // Covers the whole bar with the message pane while a menu is open.
    void SetMenuOpen(bool open);
    bool IsMenuOpen() const { return menuOpen_; }

    // Refreshes the lock indicators and the clock panes.
    void RefreshPanes();

    QLabel* DatePane() const { return datePane_; }
    QLabel* TimePane() const { return timePane_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddPane(const QString& name);
    static int PaneWidth(const QLabel* pane, const QString& text);
    static void SetPaneText(QLabel* pane, const QString& text);
    static void SetLockPane(QLabel* pane, const QString& name, bool on);

    QLabel* messagePane_;
    QLabel* readoutPane_;
    QLabel* capsPane_;
    QLabel* numPane_;
    QLabel* scrollPane_;
    QLabel* datePane_;
    QLabel* timePane_;
    QTimer* clock_;
    bool menuOpen_ = false;
};
