// The application object's start-up rules, the main window, the start page and the splash window.
#include "app/CaptionView.h"
#include "app/ChildFrm.h"
#include "app/MainFrm.h"
#include "app/SplashWnd.h"
#include "app/VRX530.h"
#include "app/VRX530View.h"
#include "controls/MessageBox.h"
#include "controls/SkinButton.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimTcpServer.h"
#include "tests/support/TestDoubles.h"

#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

TEST(StartupRules, RegistrationSwitchCountsOnlyAsTheLastTextOfTheCommandLine)
{
    const struct {
        const char *line;
        bool ends;
    } cases[] = {
        {"/usr/bin/zk470 /RegServer", true},
        {"/usr/bin/zk470 -regserver", true},
        {"zk470 /UNREGSERVER", true},
        {"zk470 -UnregServer", true},
        {"zk470 --RegServer", true},  // the text after the second hyphen is the switch
        {"/usr/bin/zk470", false},
        {"zk470 /RegServer now", false},
        {"zk470 /RegServer ", false},
        {"zk470 RegServer", false},
        {"zk470 /RegServers", false},
        {"zk470 /Reg", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CVRX530App::IsRegistrationSwitch(c.line), c.ends) << c.line;
}

TEST(StartupRules, OnlyTheMainlandChineseLocaleGivesTheChineseInterface)
{
    const struct {
        const char *locale;
        bool chinese;
    } cases[] = {
        {"zh_CN", true},       {"zh_CN.UTF-8", true}, {"zh_CN.GB2312", true}, {"zh_CN.gbk@euro", true},
        {"zh-CN", true},       {"zh_TW.UTF-8", false}, {"zh_SG.UTF-8", false}, {"zh_HK", false},
        {"zh", false},         {"en_US.UTF-8", false}, {"C", false},           {"", false},
        {"zh_CNX", false},     {"POSIX", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CVRX530App::IsChinesePrcLocale(c.locale), c.chinese) << c.locale;
}

TEST(StartupRules, SessionLocaleTakesLcAllThenLcMessagesThenLang)
{
    const char *vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char *v = std::getenv(vars[i]);
        had[i] = v != nullptr;
        saved[i] = v ? v : "";
    }
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
    ::setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(CVRX530App::SessionLocale(), "zh_CN.UTF-8");
    ::setenv("LC_ALL", "de_DE", 1);
    EXPECT_EQ(CVRX530App::SessionLocale(), "de_DE");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(CVRX530App::SessionLocale(), "en_US.UTF-8");
    for (int i = 0; i < 3; ++i)
        had[i] ? ::setenv(vars[i], saved[i].c_str(), 1) : ::unsetenv(vars[i]);
}

TEST(StartupRules, FindFreeSlotIsTheFirstUnusedGroup)
{
    ResetDeviceImageGlobals();
    g_LinkGroupUsed[0] = 1;
    g_LinkGroupUsed[1] = 1;
    g_LinkGroupUsed[3] = 1;
    EXPECT_EQ(CVRX530App::FindFreeSlot(), 2);
    for (auto &u : g_LinkGroupUsed)
        u = 1;
    EXPECT_EQ(CVRX530App::FindFreeSlot(), 0);
    ResetDeviceImageGlobals();
}

// ---- the main window -----------------------------------------------------------------------------

TEST(MainFrame, CentredOriginKeepsALargeWindowOnItsScreen)
{
    const QSize frame(CMainFrame::kWidth, CMainFrame::kHeight);
    const struct {
        QRect area;
        QPoint origin;
    } cases[] = {
        {QRect(0, 0, 1920, 1040), QPoint(358, 170)},
        {QRect(1920, 0, 1280, 1024), QPoint(1920 + 38, 162)},
        {QRect(0, 0, 1204, 699), QPoint(0, 0)},
        {QRect(0, 0, 1024, 600), QPoint(0, 0)},       // smaller than the window: top left on it
        {QRect(100, 50, 800, 600), QPoint(100, 50)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CMainFrame::CentredOrigin(c.area, frame), c.origin) << c.area.x() << "," << c.area.width();
}

TEST(MainFrame, IsFramelessWithItsInnerAreaVisibleAndMovesToTheCornerOnADisplayChange)
{
    QtTestApp();
    CMainFrame frame;
    EXPECT_TRUE(frame.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(frame.size(), QSize(1204, 699));
    frame.show();
    EXPECT_EQ(frame.mask(), QRegion(2, 2, 1200, 695));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("ZK-470"));

    auto *view = new QWidget;
    CChildFrame *child = frame.OpenChild(view);
    EXPECT_EQ(child->geometry(), QRect(2, 2, 1200, 695));
    EXPECT_EQ(view->geometry(), QRect(0, 0, 1200, 695));

    EXPECT_EQ(frame.OnDisplayChange(), 1);
    EXPECT_EQ(frame.geometry(), QRect(0, 0, 1254, 706));
    EXPECT_EQ(frame.mask(), QRegion(2, 2, 1250, 702));
    EXPECT_EQ(child->geometry(), QRect(2, 2, 1250, 702));
    EXPECT_EQ(view->size(), QSize(1200, 695)) << "the view keeps its skin's size";
}

TEST(MainFrame, RestoringSetsTheProductNameAgainAndAWindowSystemCloseRunsTheTearDown)
{
    QtTestApp();
    CMainFrame frame;
    frame.show();
    frame.setWindowTitle(QStringLiteral("other"));
    frame.setWindowState(Qt::WindowMinimized);
    frame.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("ZK-470"));

    int tornDown = 0;
    frame.SetCloseHandler([&] { ++tornDown; });
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(tornDown, 1);
}

TEST(MainFrame, StartPageCommandsOpenTheStartPageAndTheMainViewInEnglish)
{
    QtTestApp();
    SetUiLanguage(true);
    g_nViewMode = 1;
    CMainFrame frame;
    int views = 0;
    frame.SetViewFactories(
        [&](QWidget *parent) {
            ++views;
            auto *w = new QWidget(parent);
            w->setObjectName(QStringLiteral("main view"));
            return w;
        },
        [](QWidget *parent) { return new CCaptionView(parent); });
    frame.show();

    SendMessageTo(&frame, WM_COMMAND, CMainFrame::ID_SHOW_CAPTION_VIEW, 0);
    auto *page = qobject_cast<CCaptionView *>(frame.ActiveChild()->View());
    ASSERT_NE(page, nullptr);
    QPointer<CChildFrame> pageFrame = frame.ActiveChild();

    // The start page's right-hand button asks for view mode 1, the left-hand one for mode 2.
    page->Mode1Button()->click();
    EXPECT_EQ(views, 1);
    EXPECT_EQ(g_nViewMode.load(), 1);
    EXPECT_EQ(g_bChinese.load(), 0);
    EXPECT_EQ(frame.ActiveChild()->View()->objectName(), QStringLiteral("main view"));
    EXPECT_TRUE(WaitUntil([&] { return pageFrame.isNull(); }, 5000)) << "the start page is closed";

    SendMessageTo(&frame, WM_COMMAND, CMainFrame::ID_CAPTION_MODE2, 0);
    EXPECT_EQ(views, 2);
    EXPECT_EQ(g_nViewMode.load(), 2);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("ZK-470"));
    g_nViewMode = 1;
}

// ---- the splash window ---------------------------------------------------------------------------

TEST(SplashWindow, ShowsOnlyWhenEnabledAndGoesAtAKeyOrItsTime)
{
    QtTestApp();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("splash.png"));
    QImage img(120, 60, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(img.save(file));

    CSplashWnd::EnableSplashScreen(false);
    EXPECT_FALSE(CSplashWnd::ShowSplashScreen(500, file));
    CSplashWnd::EnableSplashScreen(true);
    EXPECT_FALSE(CSplashWnd::ShowSplashScreen(0, file)) << "a time-out of 0 is refused";
    EXPECT_FALSE(CSplashWnd::ShowSplashScreen(500, QString()));
    EXPECT_FALSE(CSplashWnd::ShowSplashScreen(500, dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);

    ASSERT_TRUE(CSplashWnd::ShowSplashScreen(60000, file));
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(CSplashWnd::Current()->size(), QSize(120, 60));
    EXPECT_FALSE(CSplashWnd::ShowSplashScreen(60000, file)) << "one at a time";
    QEvent paint(QEvent::Paint);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&paint));
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&key));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&key));

    ASSERT_TRUE(CSplashWnd::ShowSplashScreen(30, file));
    EXPECT_TRUE(WaitUntil([] { return CSplashWnd::Current() == nullptr; }, 5000)) << "gone after its time";
    CSplashWnd::EnableSplashScreen(false);
}

// ---- message boxes and the whole start-up ----------------------------------------------------------

TEST(Application, MessageBoxesShowAsTheSkinnedBoxWithTheHelpIdAsDisplayCode)
{
    QtTestApp();
    CVRX530App app;
    for (const bool chinese : {true, false}) {
        SetUiLanguage(chinese);
        QString title;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<CMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            box->OkButton()->click();  // Yes of a Yes/No box
        });
        EXPECT_EQ(app.DoMessageBox("Save?", MB_YESNO, 2001), IDYES);
        EXPECT_EQ(title, chinese ? QStringLiteral("警告") : QStringLiteral("Warning"));
    }
    SetUiLanguage(false);
}

namespace {

// A USB bus with no device of ours on it.
class NoDevices : public IHidBackend {
public:
    std::vector<HidDeviceInfo> Enumerate() override { return {}; }
    std::unique_ptr<IHidHandle> Open(const std::string &, OpenError &error) override
    {
        error = OpenError::NotFound;
        return nullptr;
    }
};

}  // namespace

TEST(Application, StartUpShowsTheCentredMainWindowWithItsViewConnectedToTheConfiguredDevice)
{
    QtTestApp();
    zksim::Device dev;
    zksim::TcpServer server(dev);
    CMemorySettings settings;
    settings.Write("Network", "Address", "127.0.0.1");
    settings.WriteInt("Network", "Port", server.Port());
    ScopedAppSettings scoped(settings);
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    g_nLinkMode = LINK_NONE;

    NoDevices hid;
    CVRX530App app;
    app.SetHidBackend(&hid);
    ASSERT_TRUE(app.InitInstance());
    ::unsetenv("LC_ALL");
    CMainFrame *frame = app.MainFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(app.View(), nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->size(), QSize(1204, 699));
    EXPECT_EQ(frame->pos(), CMainFrame::CentredOrigin(frame->screen()->availableGeometry(), frame->size()));
    EXPECT_EQ(app.View()->window(), frame);
    EXPECT_EQ(g_pMainView, app.View()) << "the initial update ran";
    EXPECT_EQ(g_strWifiIp.Get(), "127.0.0.1");
    EXPECT_EQ(g_bChinese.load(), 1) << "zh_CN with no saved language: Chinese";

    // The reachability check finds the device's address and the view opens the network link.
    EXPECT_TRUE(WaitUntil([&] { return app.View()->Controller().Connected() && g_bDeviceOnline.load() != 0; }, 60000));

    EXPECT_EQ(app.ExitInstance(0), 0);
    EXPECT_EQ(app.MainFrame(), nullptr);
    SetUiLanguage(false);
    g_nLinkMode = LINK_NONE;
}
