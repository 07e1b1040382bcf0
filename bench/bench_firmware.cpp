// The full firmware update (DSP and MCU images) over loopback TCP against the simulated device,
// with the real worker, network link, update steps and reply parser; beside it, measured in the same
// run, the floor that the per-block exchange sets: one 65-byte report out and one acknowledgement
// back over the same link.
#include "link/FirmwareFile.h"
#include "link/FirmwareUpdate.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "link/LinkWorker.h"
#include "link/Net_Socket.h"
#include "platform/GlobalData.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimTcpServer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

class NetChannel : public IUpdateTransport {
public:
    explicit NetChannel(CNet_Socket &net) : m_net(net) {}
    bool IsOpen() const override { return m_net.IsReachable(); }
    bool Write(const HidReport &r) override { return m_net.Send(r.data(), r.size()); }
    int Read(std::uint8_t *buf, std::size_t cap, int timeoutMs) override
    {
        if (m_net.GetRecvTimeout() != timeoutMs)
            m_net.SetRecvTimeout(timeoutMs);
        int count = 0;
        const int code = m_net.Receive(count);
        if (count > 0) {
            const std::size_t n = std::min<std::size_t>(cap, static_cast<std::size_t>(count));
            std::memcpy(buf, m_net.RxBuffer(), n);
            return static_cast<int>(n);
        }
        return code == NET_TIMEDOUT ? 0 : -1;
    }
    bool Reconnect() override
    {
        m_net.Close();
        return m_net.Connect();
    }
    void Close() override { m_net.Close(); }

private:
    CNet_Socket &m_net;
};

FirmwareFile CombinedFile(std::size_t mcuBytes)
{
    std::vector<std::uint8_t> b = {'W', 'D', 'S', 'P'};
    b.resize(4 + kDspImageLength, 0x5A);
    b.push_back(0);
    for (char c : std::string("WMCU"))
        b.push_back(static_cast<std::uint8_t>(c));
    for (std::size_t i = 0; i < mcuBytes; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    FirmwareFile f;
    FirmwareFile::Parse(b, f);
    return f;
}

struct Rig {
    zksim::Device dev;
    zksim::TcpServer server{dev};
    CNet_Socket net;
    Rig()
    {
        g_strWifiIp = std::string("127.0.0.1");
        g_nWifiPort = server.Port();
        net.SetPinger([](const std::string &) { return true; });
        net.SetCheckPause(0);
        std::atomic<bool> running{true};
        net.CheckConnection(running);  // reachable
        net.Connect();
    }
};

// One stage frame out as a 65-byte report and its acknowledgement back, n times on the rig's
// connection; exchanges per second.
double StageExchangesPerSecond(Rig &rig, int n)
{
    HidReport report{};
    const std::uint8_t payload[48] = {};
    auto item = CFirmwareUpdateEngine::BuildStageFrame(IAP_DSP_DATA, payload, 1);
    item->NextHidReport(report);
    rig.net.SetRecvTimeout(1000);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) {
        rig.net.Send(report.data(), report.size());
        int count = 0;
        rig.net.Receive(count);
        benchmark::DoNotOptimize(count);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return n / took.count();
}

// The update, and beside it, in the same run and on the same connection, the floor its per-block
// exchange sets; "of_floor" is the update's block rate as a share of that floor.
void BM_FirmwareUpdateOverTcp(benchmark::State &state)
{
    const FirmwareFile file = CombinedFile(static_cast<std::size_t>(state.range(0)));
    Rig rig;
    NetChannel channel(rig.net);
    std::int64_t blocks = 0;
    double seconds = 0;
    for (auto _ : state) {
        ResetLinkState();
        CKTVCommand cmd;
        CFirmwareUpdateEngine engine;
        engine.Load(file);
        CFirmwareUpdater updater(cmd, engine, nullptr);
        UpdateTimings t;
        t.netFillerMs = 0;  // the boot-loader filler is a fixed 4 s on the device; not measured here
        updater.SetTimings(t);
        CLinkWorker worker(cmd);
        worker.SetTransport(LINK_TCP, &rig.net);
        worker.SetUpdateStep([&](int) { updater.NetUpdateStep(channel); });
        updater.SetStopRequested([&] { return worker.StopRequested(); });
        g_nLinkMode = LINK_TCP;
        g_bNetOpen = 1;
        g_bUpdating = 1;
        rig.dev.ClearRequests();
        const std::size_t before = rig.dev.Stages().size();
        const auto start = std::chrono::steady_clock::now();
        worker.StartCommThread();
        while (!g_bUpdateFinished.load())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        worker.StopCommThread(true);
        blocks += static_cast<std::int64_t>(rig.dev.Stages().size() - before);
    }
    g_nLinkMode = LINK_NONE;
    const double floor = StageExchangesPerSecond(rig, 4000);
    state.counters["blocks"] = benchmark::Counter(static_cast<double>(blocks) / state.iterations());
    state.counters["blocks_per_s"] = benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kIsRate);
    state.counters["floor_per_s"] = benchmark::Counter(floor);
    state.counters["of_floor"] = benchmark::Counter(seconds > 0 ? blocks / seconds / floor : 0);
}
BENCHMARK(BM_FirmwareUpdateOverTcp)->Arg(100 * 1024)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
