#include "link/FirmwareUpdate.h"

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "link/LinkWorker.h"
#include "platform/GlobalData.h"
#include "platform/ViewServices.h"
#include "tests/sim/DeviceSim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

FirmwareFile McuFile(std::size_t n)
{
    Bytes b = {'W', 'M', 'C', 'U'};
    for (std::size_t i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    FirmwareFile f;
    EXPECT_EQ(FirmwareFile::Parse(b, f), FirmwareFile::Result::Ok);
    return f;
}

FirmwareFile CombinedFile(std::size_t mcuBytes, bool withMcu = true)
{
    Bytes b = {'W', 'D', 'S', 'P'};
    for (std::size_t i = 0; i < kDspImageLength; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 7));
    b.push_back(0);
    if (withMcu) {
        for (char c : std::string("WMCU"))
            b.push_back(static_cast<std::uint8_t>(c));
        for (std::size_t i = 0; i < mcuBytes; ++i)
            b.push_back(static_cast<std::uint8_t>(0x80 + i));
    }
    FirmwareFile f;
    EXPECT_EQ(FirmwareFile::Parse(b, f), FirmwareFile::Result::Ok);
    return f;
}

struct Item {
    int stage;
    int index;
    Bytes frame;
    Bytes payload() const { return Bytes(frame.begin() + 14, frame.end() - 2); }
};

// Runs the refill until it has nothing more to add, taking every item as the device would.
std::vector<Item> Drain(CFirmwareUpdateEngine &engine, std::size_t maxItems = 20000)
{
    CKTVCommand queue;
    std::vector<Item> out;
    for (;;) {
        engine.QueueNextUpdateFrames(queue);
        if (queue.GetCount() == 0)
            break;
        while (CSendData *f = queue.GetFront()) {
            out.push_back({f->GetCommand(), f->GetIndex(), f->Frame()});
            queue.PopFront();
        }
        if (out.size() > maxItems)
            break;
    }
    return out;
}

std::vector<int> Stages(const std::vector<Item> &items)
{
    std::vector<int> s;
    for (const auto &i : items)
        s.push_back(i.stage);
    return s;
}

}  // namespace

TEST(FirmwareEngine, McuOnlyImageOf100Bytes)
{
    CFirmwareUpdateEngine engine;
    engine.Load(McuFile(100));
    EXPECT_EQ(g_bMcuImagePresent.load(), 1);
    const auto items = Drain(engine);
    EXPECT_EQ(Stages(items), (std::vector<int>{IAP_ENTER, HEXApply, HEXStart, HEXData, HEXData, HEXEnd}));
    // The entry item: 24 pairs 43 11 in a 64-byte frame.
    ASSERT_EQ(items[0].frame.size(), 64u);
    EXPECT_EQ(items[0].payload()[0], 0x43);
    EXPECT_EQ(items[0].payload()[47], 0x11);
    EXPECT_EQ(items[1].frame.size(), 32u);
    EXPECT_EQ(items[2].payload(), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(items[3].payload().front(), 4);
    const Bytes last = items[4].payload();
    ASSERT_EQ(last.size(), 48u);
    EXPECT_EQ(last.front(), 52);
    EXPECT_EQ(last.back(), 99);  // exactly 48 image bytes, no 0xFF
    EXPECT_EQ(items[5].payload(), Bytes{FirmwareFile::McuChecksum(McuFile(100).mcu)});
    // Every stage moves the progress, the end stage included.
    for (std::size_t i = 1; i < items.size(); ++i)
        EXPECT_GT(items[i].index, 0) << i;
}

TEST(FirmwareEngine, ShortMcuImagePadsTheLastBlockWithFF)
{
    CFirmwareUpdateEngine engine;
    engine.Load(McuFile(5));
    const auto items = Drain(engine);
    EXPECT_EQ(Stages(items), (std::vector<int>{IAP_ENTER, HEXApply, HEXStart, HEXData, HEXEnd}));
    const Bytes data = items[3].payload();
    EXPECT_EQ(data[0], 4);
    EXPECT_TRUE(std::all_of(data.begin() + 1, data.end(), [](std::uint8_t b) { return b == 0xFF; }));
}

TEST(FirmwareEngine, GoldenEndStageFrame)
{
    auto item = CFirmwareUpdateEngine::BuildStageFrame(HEXEnd, Bytes{0x72}, 3);
    ASSERT_TRUE(item);
    const Bytes expect = {0x91, 0x91, 0x91, 0xEE, 0xA1, 0x01, 0x00, 0x09, 0x39, 0x00, 0x00, 0x00, 0x01, 0x00,
                          0x72, 0xA1 ^ 0x01 ^ 0x09 ^ 0x39 ^ 0x01 ^ 0x72, 0xAA};
    EXPECT_EQ(item->Frame(), expect);
    EXPECT_EQ(item->GetCommand(), HEXEnd);
    EXPECT_EQ(item->GetIndex(), 3);
}

TEST(FirmwareEngine, CombinedFileSendsDspThenMcu)
{
    const std::size_t mcuBytes = 1000;
    CFirmwareUpdateEngine engine;
    engine.Load(CombinedFile(mcuBytes));
    EXPECT_EQ(engine.McuState(), 1);
    const auto items = Drain(engine);
    const auto stages = Stages(items);
    ASSERT_GE(stages.size(), 4u);
    EXPECT_EQ(stages[0], IAP_ENTER);
    EXPECT_EQ(stages[1], HEXApply);
    EXPECT_EQ(stages[2], IAP_DSP_REQUEST_INFO);
    EXPECT_EQ(std::count(stages.begin(), stages.end(), IAP_DSP_DATA), 5958);
    EXPECT_EQ(std::count(stages.begin(), stages.end(), HEXApply), 1);
    EXPECT_EQ(std::count(stages.begin(), stages.end(), HEXStart), 1);
    EXPECT_EQ(std::count(stages.begin(), stages.end(), HEXData), static_cast<long>((mcuBytes - 4 + 47) / 48));
    EXPECT_EQ(stages.back(), HEXEnd);

    // The last DSP block: address 262,108, 35 image bytes, 9 zeros.
    const auto lastDsp = std::find_if(items.rbegin(), items.rend(), [](const Item &i) { return i.stage == IAP_DSP_DATA; });
    const Bytes p = lastDsp->payload();
    ASSERT_EQ(p.size(), 48u);
    EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24, 262108);
    EXPECT_EQ(p[4], static_cast<std::uint8_t>(262108 * 7));
    EXPECT_TRUE(std::all_of(p.begin() + 39, p.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(engine.DspAddress(), 262108u);
}

TEST(FirmwareEngine, DspOnlyFileEndsWithTheEndStage)
{
    CFirmwareUpdateEngine engine;
    engine.Load(CombinedFile(0, false));
    EXPECT_EQ(g_bMcuImagePresent.load(), 0);
    const auto items = Drain(engine);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back().stage, HEXEnd);
    EXPECT_EQ(items.back().payload(), Bytes{kMcuChecksumSeed});
    EXPECT_GT(items.back().index, 0);
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const Item &i) { return i.stage == HEXStart; }), 0);
}

// ---- update steps against the simulated device -------------------------------------------------

namespace {

// The simulated device behind a fake USB or TCP channel. USB replies come back as 65-byte reports.
struct SimTransport : IUpdateTransport {
    zksim::Device &dev;
    bool usb;
    bool open = true;
    bool dropped = false;    // the device closed the connection after its last answer
    bool restarting = false;  // and stays away for now: sends and reconnects fail
    int reconnects = 0;
    std::deque<Bytes> pending;
    explicit SimTransport(zksim::Device &d, bool isUsb) : dev(d), usb(isUsb) {}
    bool IsOpen() const override { return open; }
    bool Write(const HidReport &r) override
    {
        if (dropped && restarting)
            return false;
        auto resp = dev.Receive(r.data(), r.size());
        for (auto &c : resp.chunks)
            pending.push_back(c);
        dropped = dropped || resp.close;
        return true;
    }
    int Read(std::uint8_t *buf, std::size_t cap, int timeoutMs) override
    {
        if (pending.empty() && dropped)
            return -1;
        if (pending.empty())
            return Silence(timeoutMs);
        Bytes c = pending.front();
        pending.pop_front();
        if (usb) {
            std::fill(buf, buf + cap, 0);
            std::copy_n(c.begin(), std::min<std::size_t>(c.size(), 64), buf + 1);
            return static_cast<int>(cap);
        }
        const std::size_t n = std::min(cap, c.size());
        std::copy_n(c.begin(), n, buf);
        return static_cast<int>(n);
    }
    bool Reconnect() override
    {
        ++reconnects;
        if (dropped && restarting)
            return false;
        dropped = false;
        dev.ResetReceiver();
        pending.clear();
        return open;
    }
    void Close() override {}
    // Nothing arrives: returns at once, or waits out the time-out like a real link when asked to.
    virtual int Silence(int timeoutMs)
    {
        (void)timeoutMs;
        return 0;
    }
};

// A link whose waits take as long as the device's silence does.
struct RealTimeTransport : SimTransport {
    using SimTransport::SimTransport;
    int Silence(int timeoutMs) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return 0;
    }
};

struct Recorder : IMessageTarget {
    std::vector<unsigned> msgs;
    std::vector<unsigned> all;
    void PostMessage(unsigned m, WPARAM, LPARAM) override
    {
        all.push_back(m);
        if (m == WM_LINK_ERROR)
            msgs.push_back(m);
    }
};

struct UpdateRig {
    zksim::Device dev;
    CKTVCommand queue;
    CFirmwareUpdateEngine engine;
    Recorder view;
    CFirmwareUpdater updater{queue, engine, &view};
    int suspends = 0;
    UpdateRig()
    {
        ResetLinkState();
        UpdateTimings t;
        t.usbFillerMs = t.netFillerMs = 20;
        t.fillerPaceMs = 1;
        t.restartWaitMs = t.resetWaitMs = t.resendWaitMs = 0;
        t.limitScale = 0.001;
        updater.SetTimings(t);
        queue.SetOwner(&view);
        updater.SetSuspend([this] { ++suspends; });
    }
    // Runs steps until the end stage is taken or the link error is posted.
    bool Run(IUpdateTransport &t, bool usb, int maxSteps = 20000)
    {
        for (int i = 0; i < maxSteps && !g_bUpdateFinished.load() && view.msgs.empty(); ++i)
            usb ? updater.UsbUpdateStep(t) : updater.NetUpdateStep(t);
        return g_bUpdateFinished.load() != 0;
    }
};

}  // namespace

TEST(FirmwareSteps, WholeMcuUpdateOverUsbAndTcp)
{
    for (bool usb : {true, false}) {
        UpdateRig rig;
        rig.engine.Load(McuFile(200));
        SimTransport t(rig.dev, usb);
        EXPECT_TRUE(rig.Run(t, usb)) << usb;
        EXPECT_TRUE(rig.view.msgs.empty());
        EXPECT_EQ(std::count(rig.view.all.begin(), rig.view.all.end(), WM_LINK_UPDATE_DONE), 1);
        const Bytes stages = rig.dev.Stages();
        ASSERT_FALSE(stages.empty());
        EXPECT_EQ(stages.front(), HEXApply) << "the filler is not a frame";
        EXPECT_EQ(stages.back(), HEXEnd);
        EXPECT_EQ(t.reconnects, usb ? 1 : 0) << "USB reopens the device after the start stage";
    }
}

TEST(FirmwareSteps, EachStageFailureEndsInTheLinkErrorNotAHang)
{
    struct Case {
        std::uint8_t stage;
        zksim::Device::StageFault fault;
    } cases[] = {
        {HEXStart, zksim::Device::StageFault::Ignore},  {HEXData, zksim::Device::StageFault::Refuse},
        {HEXEnd, zksim::Device::StageFault::Ignore},    {HEXEnd, zksim::Device::StageFault::Refuse},
        {IAP_DSP_DATA, zksim::Device::StageFault::Ignore},
    };
    for (bool usb : {true, false}) {
        for (const Case &c : cases) {
            UpdateRig rig;
            rig.engine.Load(c.stage == IAP_DSP_DATA ? CombinedFile(10) : McuFile(200));
            // Fail the stage on every attempt.
            for (int i = 0; i < 5; ++i)
                rig.dev.FailStage(c.stage, c.fault);
            SimTransport t(rig.dev, usb);
            // FailStage acts once; keep re-arming it while the steps run.
            bool finished = false;
            for (int i = 0; i < 20000 && !finished && rig.view.msgs.empty(); ++i) {
                rig.dev.FailStage(c.stage, c.fault);
                usb ? rig.updater.UsbUpdateStep(t) : rig.updater.NetUpdateStep(t);
                finished = g_bUpdateFinished.load();
            }
            EXPECT_FALSE(finished) << "usb " << usb << " stage " << int(c.stage) << " fault " << int(c.fault);
            ASSERT_EQ(rig.view.msgs.size(), 1u) << "usb " << usb << " stage " << int(c.stage);
            EXPECT_EQ(rig.view.msgs[0], WM_LINK_ERROR);
        }
    }
}

TEST(FirmwareSteps, UsbDeviceGoneMidUpdateIsAFailure)
{
    UpdateRig rig;
    rig.engine.Load(McuFile(500));
    struct Vanishing : SimTransport {
        using SimTransport::SimTransport;
        bool gone = false;
        bool Write(const HidReport &r) override
        {
            gone = gone || r[9] == HEXData;
            return SimTransport::Write(r);
        }
        int Read(std::uint8_t *buf, std::size_t cap, int ms) override
        {
            if (gone)
                return -1;  // unplugged while a data stage waits
            return SimTransport::Read(buf, cap, ms);
        }
    } t(rig.dev, true);
    EXPECT_FALSE(rig.Run(t, true, 2000));
    ASSERT_EQ(rig.view.msgs.size(), 1u);
    EXPECT_EQ(rig.view.msgs[0], WM_LINK_ERROR);
}

TEST(FirmwareSteps, TcpEndStageSucceedsOnItsAnswerOrADroppedConnection)
{
    using Fault = zksim::Device::StageFault;
    struct Case {
        const char *name;
        bool faulty;
        Fault fault;
        bool succeeds;
    } cases[] = {
        {"acknowledged", false, Fault::Refuse, true},
        {"module restarts and drops the connection", true, Fault::Close, true},
        {"silent for the whole wait", true, Fault::Ignore, false},
        {"refused", true, Fault::Refuse, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        UpdateRig rig;
        rig.engine.Load(McuFile(200));
        if (c.faulty)
            rig.dev.FailStage(HEXEnd, c.fault);  // once: a second send of the end stage would be taken
        SimTransport t(rig.dev, false);
        t.restarting = true;
        EXPECT_EQ(rig.Run(t, false), c.succeeds);
        EXPECT_EQ(std::count(rig.view.all.begin(), rig.view.all.end(), WM_LINK_UPDATE_DONE), c.succeeds ? 1 : 0);
        EXPECT_EQ(rig.view.msgs.size(), c.succeeds ? 0u : 1u);
        const Bytes stages = rig.dev.Stages();
        EXPECT_EQ(std::count(stages.begin(), stages.end(), HEXEnd), 1) << "the end stage is sent once";
    }
}

TEST(FirmwareSteps, StopDuringASilentStageEndsTheStepWithinASecond)
{
    for (bool usb : {true, false}) {
        SCOPED_TRACE(usb ? "USB" : "TCP");
        UpdateRig rig;
        UpdateTimings t = rig.updater.Timings();
        t.limitScale = 1.0;  // the erase stage waits 40 s (USB) or 50 s (TCP) for its answer
        rig.updater.SetTimings(t);
        rig.engine.Load(CombinedFile(10));
        rig.dev.FailStage(IAP_DSP_REQUEST_INFO, zksim::Device::StageFault::Ignore);
        RealTimeTransport link(rig.dev, usb);
        CLinkWorker worker(rig.queue);
        rig.updater.SetStopRequested([&] { return worker.StopRequested(); });
        worker.SetUpdateStep([&](int) { usb ? rig.updater.UsbUpdateStep(link) : rig.updater.NetUpdateStep(link); });
        g_nLinkMode = usb ? LINK_USB : LINK_TCP;
        g_bNetOpen = 1;
        g_bUpdating = 1;
        worker.StartCommThread();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        auto erasing = [&] {
            const Bytes s = rig.dev.Stages();
            return std::find(s.begin(), s.end(), IAP_DSP_REQUEST_INFO) != s.end();
        };
        while (!erasing() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(erasing());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the step waits for the answer

        const auto t0 = std::chrono::steady_clock::now();
        worker.StopCommThread(true);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
        EXPECT_TRUE(rig.view.msgs.empty()) << "a stop is no link failure";
        g_nLinkMode = LINK_NONE;
        g_bUpdating = 0;
    }
}
