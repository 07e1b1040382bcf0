// The program's main window as it starts: not connected, and connected to a simulated device over
// the in-process USB transport after the connection read.

#include "gallery/Gallery.h"
#include "platform/Settings.h"

#include "app/MainFrm.h"
#include "app/VRX530View.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "res/ProgramIcon.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>

#ifdef ZK_GALLERY_SIM
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#endif

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

// The main window with its view, started as the program starts it; the network check answers
// "unreachable", so only the given USB bus is looked at.
struct MainWindowRig {
    CKTV_Data doc;
    CMainFrame frame;
    CVRX530View *view;

    explicit MainWindowRig(IHidBackend &hid) : view(new CVRX530View(doc, &hid))
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_nLinkMode = LINK_NONE;  // the window before may have left its link's mode
        // The view starts in the saved language: save the picture's own.
        AppSettings().Write("DspMcu", "Language", Gallery::Chinese() ? "Chinese" : "English");
        view->Backend().Net().SetPinger([](const std::string &) { return false; });
        frame.OpenChild(view);
        view->OnInitialUpdate();
    }
    ~MainWindowRig() { view->Shutdown(); }

    // Runs events until the condition holds (at most the bound).
    static bool RunUntil(const std::function<bool()> &done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
        return done();
    }
};

}  // namespace

ZK_GALLERY(program_icon)
{
    Gallery::Sheet sheet(4, 280, 290, 1);
    for (int size : {16, 32, 64, 256})
        sheet.Add(QStringLiteral("%1 px").arg(size), ProgramIconPixmap(size).toImage());
    return sheet.Image();
}

ZK_GALLERY(main_window)
{
    NoDevices hid;
    MainWindowRig rig(hid);
    MainWindowRig::RunUntil([] { return false; }, 200);  // the automatic connection finds nothing
    return Gallery::Shot(rig.frame);
}

#ifdef ZK_GALLERY_SIM
ZK_GALLERY(main_window_connected)
{
    // The device holds the program's start-up values with the first output tuned.
    zksim::Device dev;
    {
        ResetDeviceImageGlobals();  // offline: the send frequencies are the frequencies
        ResetLinkState();
        CKTV_Data tuned;
        Gallery::ShapeOutput(*tuned.GetOut(0));
        tuned.FillImage();
        std::lock_guard lock(g_csImage);
        zksim::Image img{};
        std::copy(g_CurImage.bytes.begin(), g_CurImage.bytes.end(), img.begin());
        const std::string name = "Club";
        std::copy(name.begin(), name.end(), img.begin() + DeviceImage::kNameOffset);
        dev.SetCurrentImage(img);
    }
    zksim::HidDevice hid(dev);
    MainWindowRig rig(hid);
    const bool read = MainWindowRig::RunUntil(
        [&] { return rig.view->Controller().Connected() && g_bTransferring.load() == 0 && g_bDeviceOnline.load() != 0; },
        20000);
    if (!read) {
        std::fprintf(stderr, "connected=%d transferring=%d online=%d\n", int(rig.view->Controller().Connected()),
                     g_bTransferring.load(), g_bDeviceOnline.load());
        return {};
    }
    MainWindowRig::RunUntil([] { return false; }, 100);
    return Gallery::Shot(rig.frame);
}
#endif
