#pragma once
// The program's main window: a frameless top-level window of 1204 x 699 pixels whose visible area
// is the inner 1200 x 695 (a 2-pixel margin is masked off), so that only the main view's skin
// shows. It is centred on its screen where the window system lets a program place its windows
// (X11; on Wayland the compositor places it), and a change of the screens moves it to the top left
// at 1254 x 706. Its one child frame carries the main view; the view draws the title strip and
// drags the window.
//
// It also carries the start page's commands: 8000 and 8001 open the main view in view mode 1 or 2,
// 32774 opens the start page. Nothing in the program sends them.

#include "platform/WinCompat.h"

#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>

class CChildFrame;
class QScreen;

class CMainFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 1204, kHeight = 699;
    static constexpr int kDisplayChangeWidth = 1254, kDisplayChangeHeight = 706;
    static constexpr int kRegionMargin = 2;  // masked off on each side
    static constexpr int ID_CAPTION_MODE1 = 8000, ID_CAPTION_MODE2 = 8001, ID_SHOW_CAPTION_VIEW = 32774;

    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Size, position and window flags before the window is first shown.
    bool PreCreateWindow();
    // Centres the window on its screen; 0.
    int OnCreate();
    // The window's visible region for its size: the rectangle less the margin on every side.
    static QRect VisibleRect(QSize size);
    // Where a window of this size is centred in the area, kept inside it at the top left when it
    // does not fit (as a centred window is kept on its monitor).
    static QPoint CentredOrigin(const QRect &area, QSize size);
    // After a change of the screens: top left, 1254 x 706, raised and shown; 1.
    int OnDisplayChange();

    // The start page's commands.
    void OnOpenMainView1();
    void OnOpenMainView2();
    void OnOpenCaptionView();

    // What the commands open in a new child frame: the main view (with its document) and the start
    // page. Set by the application; each returns the new widget, made with the given parent.
    using ViewFactory = std::function<QWidget *(QWidget *parent)>;
    void SetViewFactories(ViewFactory mainView, ViewFactory captionView);
    // Runs when the window is closed by the window system (Alt+F4, the window list, the end of the
    // session): the tear-down, without the view's exit question.
    void SetCloseHandler(std::function<void()> handler) { m_onClose = std::move(handler); }

    // The child frame that carries the current view (null when none).
    CChildFrame *ActiveChild() const { return m_child; }
    // Places a new child frame with this view in it, closing the current one.
    CChildFrame *OpenChild(QWidget *view);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void CloseActiveChild();
    void OpenMainView(int mode);
    void WatchScreen(QScreen *screen);
    void PlaceChild();

    CChildFrame *m_child = nullptr;
    ViewFactory m_mainViewFactory;
    ViewFactory m_captionViewFactory;
    std::function<void()> m_onClose;
};
