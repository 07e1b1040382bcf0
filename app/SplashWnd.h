#pragma once
// A splash window: a bitmap file shown centred for a time, gone at the first key or mouse press.
// The program never shows one; start-up only passes on the command line's wish.

#include <QPixmap>
#include <QString>
#include <QWidget>

class QEvent;

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimer = 1;

    // Stores whether a splash may be shown at all.
    static void EnableSplashScreen(bool enable);
    static bool SplashEnabled();
    // Shows the bitmap file centred over the parent (or the screen) for timeoutMs. False without
    // effect when splashes are not enabled, one is already up, no file is named, the time-out is
    // 0 or the file does not load.
    static bool ShowSplashScreen(int timeoutMs, const QString &bitmapFile, QWidget *parent = nullptr);
    // The splash window that is up, or null.
    static CSplashWnd *Current();
    // Hides the splash on a key or mouse press (true: the event was taken); false otherwise.
    static bool PreTranslateAppMessage(const QEvent *event);
    // Shows another bitmap file in the splash that is up.
    static bool SetBitmapFile(const QString &bitmapFile);
    // Closes the splash (it deletes itself) and repaints the main window.
    static void HideSplashScreen();

protected:
    void paintEvent(QPaintEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

private:
    explicit CSplashWnd(const QPixmap &bitmap, QWidget *parent);
    ~CSplashWnd() override;

    QPixmap m_bitmap;
    int m_timerId = 0;
};
