#include "app/MainFrm.h"

#include "app/ChildFrm.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QRegion>
#include <QScreen>
#include <QWindow>

#include <algorithm>

CMainFrame::CMainFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CMainFrame"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(Skins::Palette::Background));
    setPalette(pal);
    setAutoFillBackground(true);
    PreCreateWindow();

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) -> LRESULT {
        switch (LOWORD(w)) {
        case ID_CAPTION_MODE1: OnOpenMainView1(); return 0;
        case ID_CAPTION_MODE2: OnOpenMainView2(); return 0;
        case ID_SHOW_CAPTION_VIEW: OnOpenCaptionView(); return 0;
        default: return 0;
        }
    });

    // A screen that comes, goes, becomes the primary one or changes its resolution is the
    // display change of this window.
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        for (QScreen *screen : QGuiApplication::screens())
            WatchScreen(screen);
        connect(gui, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
            WatchScreen(screen);
            OnDisplayChange();
        });
        connect(gui, &QGuiApplication::screenRemoved, this, [this](QScreen *) { OnDisplayChange(); });
        connect(gui, &QGuiApplication::primaryScreenChanged, this, [this](QScreen *) { OnDisplayChange(); });
    }
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::WatchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this](const QRect &) { OnDisplayChange(); });
}

bool CMainFrame::PreCreateWindow()
{
    // No caption, border or sizing frame: the view draws its own title strip.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setGeometry(0, 0, kWidth, kHeight);
    setWindowTitle(QString::fromStdString(g_strProductName));
    return true;
}

QPoint CMainFrame::CentredOrigin(const QRect &area, QSize size)
{
    int x = area.left() + (area.width() - size.width()) / 2;
    int y = area.top() + (area.height() - size.height()) / 2;
    // Larger than the area: its top left stays on the screen.
    x = std::max(x, area.left());
    y = std::max(y, area.top());
    return {x, y};
}

int CMainFrame::OnCreate()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(CentredOrigin(screen->availableGeometry(), size()));
    return 0;
}

QRect CMainFrame::VisibleRect(QSize size)
{
    return QRect(QPoint(0, 0), size).adjusted(kRegionMargin, kRegionMargin, -kRegionMargin, -kRegionMargin);
}

int CMainFrame::OnDisplayChange()
{
    setGeometry(0, 0, kDisplayChangeWidth, kDisplayChangeHeight);
    show();
    raise();
    return 1;
}

void CMainFrame::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    setMask(QRegion(VisibleRect(size())));
    PlaceChild();
}

void CMainFrame::PlaceChild()
{
    if (m_child)
        m_child->setGeometry(VisibleRect(size()));
}

void CMainFrame::changeEvent(QEvent *e)
{
    // Restored or maximised again: the product name is the window's text once more.
    if (e->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized)) {
        const int mode = g_nViewMode.load();
        if (mode == 1 || mode == 2)
            setWindowTitle(QString::fromStdString(g_strProductName));
    }
    QWidget::changeEvent(e);
}

void CMainFrame::closeEvent(QCloseEvent *e)
{
    // Closed by the window system: no question, the same tear-down as the view's close.
    if (m_onClose)
        m_onClose();
    e->accept();
}

void CMainFrame::SetViewFactories(ViewFactory mainView, ViewFactory captionView)
{
    m_mainViewFactory = std::move(mainView);
    m_captionViewFactory = std::move(captionView);
}

CChildFrame *CMainFrame::OpenChild(QWidget *view)
{
    CloseActiveChild();
    m_child = new CChildFrame(this);
    m_child->SetView(view);
    PlaceChild();
    m_child->show();
    return m_child;
}

void CMainFrame::CloseActiveChild()
{
    if (!m_child)
        return;
    // The view goes with its frame (its destructor stops what it runs), once the event that
    // asked for this is over: the start page's own button may be the one asking.
    m_child->hide();
    m_child->deleteLater();
    m_child = nullptr;
}

void CMainFrame::OpenMainView(int mode)
{
    CloseActiveChild();
    g_nViewMode = mode;
    // Both commands switch the interface to English.
    SetUiLanguage(false);
    if (m_mainViewFactory) {
        auto *child = OpenChild(nullptr);
        child->SetView(m_mainViewFactory(child));
        child->raise();
    }
    setWindowTitle(QString::fromStdString(g_strProductName));
}

void CMainFrame::OnOpenMainView1()
{
    OpenMainView(1);
}

void CMainFrame::OnOpenMainView2()
{
    OpenMainView(2);
}

void CMainFrame::OnOpenCaptionView()
{
    CloseActiveChild();
    if (m_captionViewFactory) {
        auto *child = OpenChild(nullptr);
        child->SetView(m_captionViewFactory(child));
        child->raise();
    }
    setWindowTitle(QString::fromStdString(g_strProductName));
}
