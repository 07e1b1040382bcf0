// The link against the simulated device over loopback TCP and the in-process HID transport: the
// connection read (19 frames) and 1,000 queued item writes, with the real worker and its 5 ms pause
// between steps. Reports frames per second beside that pause's floor (one frame per step: at most
// 200 frames per second).

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "link/LinkWorker.h"
#include "link/Net_Socket.h"
#include "link/UsbHid.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimTcpServer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace {

constexpr double kFloorFramesPerSecond = 1000.0 / CLinkWorker::kStepPauseMs;

class LinkRig {
public:
    explicit LinkRig(int mode) : m_mode(mode)
    {
        m_lockDir = std::filesystem::temp_directory_path() / ("zk470-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_lockDir);
        // The USB lock files go beside the settings file: a folder of the run's own, not the home's.
        ::setenv("XDG_CONFIG_HOME", m_lockDir.c_str(), 1);
        SetAppSettings(&m_settings);
        ResetDeviceImageGlobals();
        ResetLinkState();
        m_cmd.SetOwner(&m_view);
        m_worker.SetTransport(LINK_USB, &m_usb);
        m_worker.SetTransport(LINK_TCP, &m_net);
        m_worker.SetNextChange([] { return std::unique_ptr<CSendData>(); });  // idle: nothing to poll
        if (mode == LINK_TCP) {
            g_strWifiIp = "127.0.0.1";
            g_nWifiPort = m_server.Port();
            m_net.SetPinger([](const std::string &) { return true; });
            m_net.SetCheckPause(0);
            std::atomic<bool> running{true};
            m_net.CheckConnection(running);
            m_ok = m_net.Connect();
            g_nLinkMode = LINK_TCP;
            g_bNetOpen = 1;
        } else {
            m_ok = m_usb.OpenUsbLink();
        }
        m_worker.StartCommThread();
    }
    ~LinkRig()
    {
        m_worker.StopCommThread(true);
        m_net.Close();
        m_usb.CloseDevice();
        g_nLinkMode = LINK_NONE;
        SetAppSettings(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(m_lockDir, ec);
    }
    bool Ok() const { return m_ok; }

    // Queues the frames under the lock, then waits until the device has answered all of them.
    template <class Fill> void Run(Fill fill)
    {
        {
            std::lock_guard lock(g_csLink);
            fill(m_cmd);
        }
        for (;;) {
            {
                std::lock_guard lock(g_csLink);
                if (m_cmd.GetCount() == 0)
                    return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

private:
    int m_mode;
    bool m_ok = false;
    std::filesystem::path m_lockDir;
    CMemorySettings m_settings;
    zksim::Device m_device;
    zksim::TcpServer m_server{m_device};
    zksim::HidDevice m_hid{m_device};
    CRecordingMessageTarget m_view;
    CKTVCommand m_cmd;
    CUsbHid m_usb{m_hid};
    CNet_Socket m_net;
    CLinkWorker m_worker{m_cmd};
};

// The read after a matching version: six stored names, five system values, eight output blocks.
void QueueConnectionRead(CKTVCommand &cmd)
{
    for (int p = 1; p <= kMachinePresetCount; ++p)
        cmd.Add(BuildSystemRequestFrame(SYS_NAME, p));
    for (std::size_t i = 0; i + 1 < g_SysReadList.size(); ++i)
        cmd.Add(BuildSystemRequestFrame(g_SysReadList[i], 0));
    for (int ch = 0; ch < static_cast<int>(DeviceImage::kOutCount); ++ch)
        cmd.Add(BuildRequestFrame(0, OBJ_OUTPUT, ch, true, false));
}

void QueueItemWrites(CKTVCommand &cmd)
{
    for (int i = 0; i < 1000; ++i)
        cmd.Add(BuildImageItemFrame(OBJ_OUTPUT, i % 8, i % 31));
}

void Report(benchmark::State &state, int framesPerRun)
{
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(framesPerRun) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["pause_bound_frames_per_s"] = kFloorFramesPerSecond;
}

void BM_ConnectionRead(benchmark::State &state)
{
    LinkRig rig(static_cast<int>(state.range(0)));
    if (!rig.Ok()) {
        state.SkipWithError("link did not open");
        return;
    }
    for (auto _ : state)
        rig.Run(QueueConnectionRead);
    Report(state, 19);
}

void BM_ItemWrites1000(benchmark::State &state)
{
    LinkRig rig(static_cast<int>(state.range(0)));
    if (!rig.Ok()) {
        state.SkipWithError("link did not open");
        return;
    }
    for (auto _ : state)
        rig.Run(QueueItemWrites);
    Report(state, 1000);
}

// The parser alone: status replies and 296-byte output blocks, bytes per second.
void BM_ParseReplies(benchmark::State &state)
{
    ResetDeviceImageGlobals();
    const bool blocks = state.range(0) != 0;
    const zksim::Bytes frame = blocks ? zksim::BuildFrame(0x53, 0, OBJ_OUTPUT, 3, 0, zksim::Bytes(296, 9))
                                      : zksim::BuildFrame(0x53, 0, OBJ_SYSTEM, SYS_STATUS, 0, zksim::Bytes(15, 9));
    CKTVCommand cmd;
    std::lock_guard lock(g_csLink);
    for (auto _ : state) {
        cmd.Add(BuildSystemRequestFrame(SYS_STATUS, 0));
        benchmark::DoNotOptimize(cmd.OnNetData(frame.data(), static_cast<int>(frame.size())));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.size()));
}
BENCHMARK(BM_ParseReplies)->Arg(0)->Arg(1);

// Argument: link mode (1 USB through the in-process HID device, 2 TCP over loopback).
BENCHMARK(BM_ConnectionRead)->Arg(LINK_USB)->Arg(LINK_TCP)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ItemWrites1000)->Arg(LINK_USB)->Arg(LINK_TCP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
