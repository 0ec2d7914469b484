#pragma once
// The start-up picture: a borderless 576 x 390 window centred on the screen,
// hidden by the first key or mouse press anywhere in the program (the press
// still reaches its window) or 750 ms after it appeared. At most one exists.

#include <QPixmap>
#include <QWidget>

class CSplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDisplayMs = 750;

    // Set from the command line at start-up; no splash is made while clear.
    static void EnableSplashScreen(bool enable);
    // Creates and shows the splash, owned by the given window, when enabled
    // and none exists yet.
    static void ShowSplashScreen(QWidget* owner);
    // Offered every event of the program first: a key or button press hides
    // the splash. Never consumes the event.
    static void PreTranslateAppMessage(const QEvent* event);
    static CSplashWindow* Current();

    ~CSplashWindow() override;

    // Closes the splash (it deletes itself) and repaints its owner.
    void HideSplashScreen();

    // The picture, drawn once in code.
    static QPixmap SplashPicture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit CSplashWindow(QWidget* owner);

    QPixmap picture_;
    QWidget* owner_;
};
