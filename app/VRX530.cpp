#include "app/VRX530.h"

#include "app/CaptionView.h"
#include "app/ChildFrm.h"
#include "app/MainFrm.h"
#include "app/SplashWnd.h"
#include "app/Termination.h"
#include "app/VRX530Doc.h"
#include "app/VRX530View.h"
#include "controls/ConsoleStyle.h"
#include "controls/MessageBox.h"
#include "controls/SpeakerTypeMenu.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/InitGlobalData.h"
#include "model/LinkGroups.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/FirstFrame.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/StartupProbe.h"
#include "res/ProgramIcon.h"

#include <QApplication>
#include <QThreadPool>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <csignal>
#include <cstdlib>

namespace {

constexpr int kFillThreads = 2;

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string JoinCommandLine(int argc, char **argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            line.push_back(' ');
        line += argv[i] != nullptr ? argv[i] : "";
    }
    return line;
}

}  // namespace

CVRX530App::CVRX530App() = default;

CVRX530App::~CVRX530App() = default;

bool CVRX530App::IsRegistrationSwitch(std::string_view commandLine)
{
    // Every "-" or "/" starts a candidate; only the text from it to the very end is compared, so
    // the switch counts only as the last text of the line.
    for (std::size_t at = commandLine.find_first_of("-/"); at != std::string_view::npos;
         at = commandLine.find_first_of("-/", at + 1)) {
        const std::string_view rest = commandLine.substr(at + 1);
        if (EqualsNoCase(rest, "UnregServer") || EqualsNoCase(rest, "RegServer"))
            return true;
    }
    return false;
}

bool CVRX530App::IsChinesePrcLocale(std::string_view name)
{
    // language[_territory][.codeset][@modifier]; the BCP 47 form zh-CN is taken too.
    const std::size_t end = name.find_first_of(".@");
    const std::string_view tag = name.substr(0, end);
    return EqualsNoCase(tag, "zh_CN") || EqualsNoCase(tag, "zh-CN") || EqualsNoCase(tag, "zh_Hans_CN");
}

std::string CVRX530App::SessionLocale()
{
    for (const char *var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char *value = std::getenv(var); value != nullptr && value[0] != '\0')
            return value;
    return {};
}

int CVRX530App::FindFreeSlot()
{
    return ::FindFreeSlot();
}

int CVRX530App::DoMessageBox(const std::string &prompt, unsigned type, int helpId)
{
    CMessageBox box(prompt, type, g_strProductName, helpId);
    return box.DoModal();
}

QWidget *CVRX530App::CreateMainView(QWidget *parent)
{
    if (!m_doc) {
        m_doc = std::make_unique<CVRX530Doc>();
        m_doc->OnNewDocument();
    }
    m_view = new CVRX530View(m_doc->GetData(), m_hid, parent);
    QObject::connect(m_view, &QObject::destroyed, [this, view = m_view] {
        if (m_view == view)
            m_view = nullptr;
    });
    // The view's initial update runs before the window shows.
    m_view->OnInitialUpdate();
    return m_view;
}

bool CVRX530App::InitInstance()
{
    // A peer that closes its connection must not end the program through SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    // Numbers are written and read in the C locale whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (app) {
        ApplyConsolePalette(*app);  // dialogs left to the system look take the console's palette
        app->setWindowIcon(ProgramIcon());
        app->setDesktopFileName(QStringLiteral("zk470"));
    }
    // Qt's raster engine spreads large fills over the global thread pool, which starts one thread
    // per core at the first such fill (some 3 ms of the start on eight cores). The console's fills
    // gain nothing from more than two helpers, and nothing else of the program uses the pool.
    QThreadPool *pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(std::min(pool->maxThreadCount(), kFillThreads));
    // Every message box of the program, the model's and the link's included, is the skinned one.
    InstallMessageBoxService();

    // The link-group tables start empty, then the parameter state takes its defaults.
    for (std::size_t i = 0; i < 8; ++i) {
        g_ChannelModified[i] = 0;
        g_LinkGroupUsed[i] = 0;
        g_BtlPair[i] = 0;
        g_LinkGroupCount[i] = 0;
        g_LinkGroupMask[i] = 0;
    }
    InitGlobalData();
    ResetLinkState();
    m_fontconfig.Wait();  // the first font comes next
    InitQtGlobals();  // the shared fonts and the dialog brush
    g_menuSpeakerType.LoadMenu(CSpeakerTypeMenu::IDR_CHINESE);  // the page reloads it in its language

    // The language of the session's locale; the view's initial update puts a saved choice over it.
    g_bChinese = IsChinesePrcLocale(SessionLocale()) ? 1 : 0;
    LoadNetworkSettings(AppSettings());

    m_frame = new CMainFrame;
    m_frame->SetViewFactories([this](QWidget *parent) { return CreateMainView(parent); },
                              [](QWidget *parent) { return new CCaptionView(parent); });
    m_frame->OnCreate();
    // The view is made inside its frame: made alone and moved in, its 500 controls would take
    // their fonts and palettes twice.
    CChildFrame *child = m_frame->OpenChild(nullptr);
    child->SetView(CreateMainView(child));

    // SIGTERM, SIGINT, the end of the session and a close by the window system stop the link and
    // end the program, whatever window is up (the transfer popup refuses to close during a transfer).
    m_termination = std::make_unique<CTerminationHandler>([this] {
        if (m_view)
            m_view->Shutdown();
    });
    m_frame->SetCloseHandler([this] {
        if (m_view)
            m_view->Shutdown();
    });

    m_frame->show();
    // What the first frame left of the start-up heap is the allocator's again.
    AfterFirstFrame(m_frame, [this] { m_startupHeap.Release(); });
    InstallStartupProbe(m_frame);  // measuring hooks, off unless asked for (bench/bench_startup.cpp)
    return true;
}

int CVRX530App::ExitInstance(int code)
{
    if (m_view)
        m_view->Shutdown();
    m_termination.reset();
    delete m_frame;  // the child frame and the view with it
    m_frame = nullptr;
    m_view = nullptr;
    m_doc.reset();
    g_menuSpeakerType.DestroyMenu();
    return code;
}

namespace {
constexpr std::size_t kStartupHeap = 3 << 20;
}

int CVRX530App::Run(int argc, char **argv)
{
    if (IsRegistrationSwitch(JoinCommandLine(argc, argv)))
        return 0;
    // Layouts and skins are in pixels: no high-DPI scaling (set before the application exists).
    PrepareUiEnvironment();
    // The heap that the window's making and first frame take (about 3 MB) is made resident in
    // one call before any other thread runs, instead of a page fault at each new page.
    m_startupHeap.Reserve(kStartupHeap);
    // Fontconfig's configuration is read beside the making of the application object.
    m_fontconfig.Start();
    QApplication app(argc, argv);
    app.setApplicationName(QString::fromStdString(g_strProductName));
    // The show-splash wish of the command line is only stored: no splash is shown.
    CSplashWnd::EnableSplashScreen(false);
    if (!InitInstance())
        return ExitInstance(1);
    return ExitInstance(app.exec());
}
