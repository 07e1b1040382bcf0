#pragma once
// The link end to end for a test: the simulated device behind loopback TCP and the in-process HID
// transport, the real command object, worker, transports and reply parser, and a view's message
// queue pumped on the test thread as the view's message loop would pump it.
#include "app/DeviceSync.h"
#include "app/LinkBackend.h"
#include "app/LinkController.h"
#include "app/ViewDispatch.h"

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimTcpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace std::chrono_literals;

// A view's message queue: posted from any thread, pumped on the test thread.
struct MessageQueue : IMessageTarget {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::tuple<unsigned, WPARAM, LPARAM>> q;
    void PostMessage(unsigned msg, WPARAM w, LPARAM l) override
    {
        std::lock_guard g(m);
        q.emplace_back(msg, w, l);
        cv.notify_all();
    }
    bool Take(std::tuple<unsigned, WPARAM, LPARAM> &out, std::chrono::milliseconds wait)
    {
        std::unique_lock g(m);
        if (!cv.wait_for(g, wait, [&] { return !q.empty(); }))
            return false;
        out = q.front();
        q.pop_front();
        return true;
    }
};

struct NoPopupView : ILinkView {
    int connectedShown = -1;
    int popupChoice = 0;
    std::vector<std::pair<int, std::string>> lastPopup;
    std::string tip;
    void ShowConnectedState(bool c) override { connectedShown = c; }
    void HideTransferPopup() override {}
    int PopupMenu(const std::vector<std::pair<int, std::string>> &items) override
    {
        lastPopup = items;
        return popupChoice;
    }
    void SetUpdateTip(const std::string &t) override { tip = t; }
    bool UpdateDialogOpen() override { return true; }
};

struct DocHost : ISyncHost {
    CKTV_Data &doc;
    std::function<void()> disconnect;
    explicit DocHost(CKTV_Data &d) : doc(d) {}
    void ResetChanges() override { doc.ResetChanges(0); }
    void FillImage() override { doc.FillImage(); }
    int loads = 0;  // device presets unpacked into the records
    void LoadFromImage(int preset) override
    {
        doc.LoadFromImage(g_CurImage, preset);
        ++loads;
    }
    void ApplySpeakerTypes() override {}
    void SetTransferRange(int) override {}
    void ShowTransferPopup(int) override {}
    void SetTransferFactoryResetMode() override {}
    void RefreshAfterPresetRead() override {}
    void SetInputSource(int, int) override {}
    void SelectAssignedChannel() override {}
    void ShowNetworkSettings() override {}
    bool ConfirmFactoryReset() override { return true; }
    // The all-presets save dialog (a test may put the real command in its place).
    std::function<bool()> choose = [] { return true; };
    bool ChooseAllPresetsFile() override { return choose(); }
    void ShowLinkFailure() override {}
    void Disconnect() override { disconnect(); }
    void ClearNetReachable() override {}
};

// Each test keeps its USB in-use marks to itself, in memory; its lock files go to the test process's
// private settings folder, so tests may run in parallel.
struct IsolatedLinkState {
    CMemorySettings settings;
    IsolatedLinkState() { SetAppSettings(&settings); }
    ~IsolatedLinkState() { SetAppSettings(nullptr); }
};

class LinkE2E : public ::testing::Test {
protected:
    IsolatedLinkState isolated;
    zksim::Device dev;
    zksim::TcpServer server{dev};
    zksim::HidDevice hid{dev};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    MessageQueue view;
    std::unique_ptr<CKTV_Data> doc;
    CKTVCommand command;
    LinkSession session;
    NoPopupView linkView;
    std::unique_ptr<DocHost> host;
    std::unique_ptr<CDeviceSync> sync;
    std::unique_ptr<CLinkBackend> backend;
    std::unique_ptr<CLinkController> ctrl;
    // The view's handler of the messages the link dispatch leaves (WM_DEV_ALLPRESETS_RECEIVED).
    std::function<void(unsigned)> otherMessage;

    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        g_strWifiIp = std::string("127.0.0.1");
        g_nWifiPort = server.Port();
        g_strDevicePath = std::string();
        g_pNotifyView = &view;
        doc = std::make_unique<CKTV_Data>();
        command.SetOwner(&view);
        host = std::make_unique<DocHost>(*doc);
        sync = std::make_unique<CDeviceSync>(command, session, *host);
        backend = std::make_unique<CLinkBackend>(command, doc.get(), hid, &view);
        backend->Net().SetPinger([](const std::string &) { return true; });
        backend->Net().SetCheckPause(20);
        UpdateTimings t;
        t.usbFillerMs = t.netFillerMs = 50;
        t.restartWaitMs = 100;
        t.resetWaitMs = t.resendWaitMs = 50;
        t.limitScale = 0.05;
        backend->Updater().SetTimings(t);
        ctrl = std::make_unique<CLinkController>(command, session, *backend, linkView, *sync, &view);
        host->disconnect = [this] { ctrl->OnConnectButton(); };
    }
    void TearDown() override
    {
        ctrl->Shutdown();
        backend.reset();
        g_pNotifyView = nullptr;
    }

    // Pumps posted messages until pred holds. The limit only bounds a failing test: a loaded
    // machine (the whole suite in parallel beside other builds) may take many times the usual second.
    bool PumpUntil(const std::function<bool()> &pred, std::chrono::milliseconds limit = 60s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!pred()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::tuple<unsigned, WPARAM, LPARAM> m;
            if (view.Take(m, 10ms) &&
                !DispatchLinkMessage(*ctrl, *sync, std::get<0>(m), std::get<1>(m), std::get<2>(m)) && otherMessage)
                otherMessage(std::get<0>(m));
        }
        return true;
    }
    bool Idle()
    {
        std::lock_guard lock(g_csLink);
        if (g_bTransferring.load() || command.GetCount() > 1)
            return false;
        // Only the status poll may be waiting.
        const CSendData *front = command.GetFront();
        return !front || (front->Frame()[7] == OBJ_SYSTEM && front->Frame()[8] == SYS_STATUS);
    }
    bool ConnectOverTcp()
    {
        hid.Unplug();
        const int loadsBefore = host->loads;
        ctrl->OnAutoConnect();
        // Until the connection read's preset is in the records, so an edit made next is not
        // overwritten by it.
        return PumpUntil([&] { return g_bDeviceOnline.load() && !g_bTransferring.load() && host->loads > loadsBefore; });
    }
    int CountRequests(int cmd, int type, int channel)
    {
        int n = 0;
        for (const auto &f : dev.Requests())
            n += f.cmd == cmd && f.type == type && f.channel == channel;
        return n;
    }
};

