#include "app/SplashWnd.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimerEvent>

namespace {

bool g_splashEnabled = false;
QPointer<CSplashWnd> g_splash;

}  // namespace

void CSplashWnd::EnableSplashScreen(bool enable)
{
    g_splashEnabled = enable;
}

bool CSplashWnd::SplashEnabled()
{
    return g_splashEnabled;
}

CSplashWnd *CSplashWnd::Current()
{
    return g_splash.data();
}

CSplashWnd::CSplashWnd(const QPixmap &bitmap, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_bitmap(bitmap)
{
    setObjectName(QStringLiteral("CSplashWnd"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    resize(bitmap.size());
}

CSplashWnd::~CSplashWnd() = default;

bool CSplashWnd::ShowSplashScreen(int timeoutMs, const QString &bitmapFile, QWidget *parent)
{
    if (!g_splashEnabled || g_splash || bitmapFile.isEmpty() || timeoutMs <= 0)
        return false;
    QPixmap bitmap(bitmapFile);
    if (bitmap.isNull())
        return false;
    auto *splash = new CSplashWnd(bitmap, parent);
    const QRect over = parent ? parent->window()->frameGeometry()
                              : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                                  : QRect(QPoint(0, 0), bitmap.size()));
    splash->move(over.center() - QPoint(bitmap.width() / 2, bitmap.height() / 2));
    g_splash = splash;
    splash->show();
    splash->repaint();
    splash->m_timerId = splash->startTimer(timeoutMs);
    return true;
}

bool CSplashWnd::SetBitmapFile(const QString &bitmapFile)
{
    QPixmap bitmap(bitmapFile);
    if (!g_splash || bitmap.isNull())
        return false;
    g_splash->m_bitmap = bitmap;
    g_splash->resize(bitmap.size());
    g_splash->update();
    return true;
}

bool CSplashWnd::PreTranslateAppMessage(const QEvent *event)
{
    if (!g_splash || !event)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        HideSplashScreen();
        return true;
    default:
        return false;
    }
}

void CSplashWnd::HideSplashScreen()
{
    CSplashWnd *splash = g_splash.data();
    if (!splash)
        return;
    g_splash = nullptr;
    QWidget *main = splash->parentWidget() ? splash->parentWidget()->window() : nullptr;
    splash->killTimer(splash->m_timerId);
    splash->close();  // deletes it
    if (main)
        main->update();
}

void CSplashWnd::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_bitmap);
}

void CSplashWnd::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_timerId)
        HideSplashScreen();
}
