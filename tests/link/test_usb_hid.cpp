// The USB HID transport against the simulated device behind an in-process HID backend: identity,
// in-use marks between instances, access refused, reports, and the write and read steps' limits.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/HidApiBackend.h"
#include "link/LinkState.h"
#include "link/UsbHid.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class UsbLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        // Lock files per test process: parallel tests must not see each other's devices.
        runtimeDir = std::filesystem::path(out ? out : "/tmp") / ("usb-locks-" + std::to_string(::getpid()));
        std::filesystem::create_directories(runtimeDir);
        ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_strDevicePath = std::string();
        g_pNotifyView = &view;
        cmd.SetOwner(&view);
    }
    void TearDown() override
    {
        g_pNotifyView = nullptr;
        g_nLinkMode = LINK_NONE;
        std::error_code ec;
        std::filesystem::remove_all(runtimeDir, ec);
    }
    void Step(CUsbHid &usb)
    {
        std::lock_guard lock(g_csLink);
        usb.NormalStep(cmd, [] { return BuildSystemRequestFrame(SYS_STATUS, 0); });
    }

    std::filesystem::path runtimeDir;
    CMemorySettings settings;
    ScopedAppSettings scoped{settings};
    zksim::Device device;
    zksim::HidDevice hid{device};
    CRecordingMessageTarget view;
    CKTVCommand cmd;
};

TEST(HidApi, SystemEnumerationAndMissingDevice)
{
    CHidApiBackend backend;
    for (const HidDeviceInfo &d : backend.Enumerate())
        EXPECT_EQ(d.vendor, CUsbHid::kVendor);  // only our vendor and product are asked for
    IHidBackend::OpenError error = IHidBackend::OpenError::None;
    EXPECT_EQ(backend.Open("/dev/zk470-no-such-hidraw", error), nullptr);
    EXPECT_EQ(error, IHidBackend::OpenError::NotFound);
}

TEST_F(UsbLink, OnlyTheProductIdentityIsListed)
{
    CUsbHid usb(hid);
    EXPECT_TRUE(usb.EnumerateHidDevices());
    EXPECT_EQ(g_arrHidPaths.Get(), std::vector<std::string>{zksim::HidDevice::kPath});
    hid.SetRelease(0x0201);
    EXPECT_FALSE(usb.EnumerateHidDevices());
    EXPECT_TRUE(g_arrHidPaths.empty());
}

TEST_F(UsbLink, TwoInstancesShareOneDeviceThroughTheInUseMark)
{
    CUsbHid first(hid), second(hid);
    ASSERT_TRUE(first.OpenUsbLink());
    EXPECT_EQ(g_nLinkMode.load(), LINK_USB);
    EXPECT_EQ(settings.Read("USB", zksim::HidDevice::kPath), std::optional<std::string>("0"));

    g_strDevicePath = std::string();
    EXPECT_FALSE(second.IsUsbPathFree(zksim::HidDevice::kPath));
    EXPECT_FALSE(second.OpenUsbLink());
    EXPECT_TRUE(g_strDevicePath.Get().empty());

    g_strDevicePath = std::string(zksim::HidDevice::kPath);
    first.CloseDevice();
    first.UnmarkUsbPath();
    EXPECT_FALSE(settings.Read("USB", zksim::HidDevice::kPath).has_value());
    EXPECT_TRUE(second.OpenUsbLink());
}

TEST_F(UsbLink, MarksLeftBehindDoNotBlockTheDevice)
{
    // An instance that crashed left its mark, but its lock died with it.
    settings.Write("USB", zksim::HidDevice::kPath, "0");
    CUsbHid usb(hid);
    EXPECT_TRUE(usb.IsUsbPathFree(zksim::HidDevice::kPath));
    EXPECT_FALSE(settings.Read("USB", zksim::HidDevice::kPath).has_value());

    // With no matching device present, every mark is stale, whoever left it.
    settings.Write("USB", zksim::HidDevice::kPath, "0");
    settings.Write("USB", "/dev/hidraw9", "0");
    hid.Unplug();
    g_bUsbOpen = 1;
    EXPECT_FALSE(usb.EnumerateHidDevices());
    EXPECT_TRUE(settings.Keys("USB").empty());
    EXPECT_EQ(g_bUsbOpen.load(), 0);
}

TEST_F(UsbLink, InUseLockLivesInAFolderOfTheUsersOwnAndFollowsNoLink)
{
    namespace fs = std::filesystem;
    const fs::path home = runtimeDir / "home";
    fs::create_directories(home);
    const char *oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", home.c_str(), 1);
    const fs::path own = home / ".cache" / "ZK-470";

    // The session's runtime folder when it is private; a shared one (sudo and su leave none, or a
    // world-writable one) is never used, and neither is /tmp: the user's own folder instead.
    struct Case {
        const char *name;
        const char *runtime;  // null: unset
        fs::perms mode;
        bool usesRuntime;
    } cases[] = {
        {"private runtime folder", "rt-private", fs::perms::owner_all, true},
        {"no runtime folder", nullptr, fs::perms::none, false},
        {"world-writable runtime folder", "rt-shared", fs::perms::all, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.runtime) {
            const fs::path rt = runtimeDir / c.runtime;
            fs::create_directories(rt);
            fs::permissions(rt, c.mode);
            ::setenv("XDG_RUNTIME_DIR", rt.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        const fs::path lock = CUsbHid::LockFilePath("/dev/hidraw3");
        EXPECT_EQ(lock.parent_path(), c.usesRuntime ? runtimeDir / c.runtime : own);
        EXPECT_EQ(lock.filename(), "zk470-usb-_dev_hidraw3.lock");
    }
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);

    // A link planted where the lock file goes is not followed: nothing is created at its target,
    // and the device still opens (the in-use mark alone keeps instances apart then).
    const fs::path lock = CUsbHid::LockFilePath(zksim::HidDevice::kPath);
    const fs::path target = runtimeDir / "planted-target";
    fs::create_symlink(target, lock);
    CUsbHid usb(hid);
    EXPECT_TRUE(usb.OpenUsbLink());
    EXPECT_FALSE(fs::exists(target));
    usb.CloseDevice();
    fs::remove(lock);

    // The lock file itself is the user's alone.
    ASSERT_TRUE(usb.OpenUsbLink());
    EXPECT_EQ(fs::status(lock).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    usb.CloseDevice();

    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
}

TEST_F(UsbLink, WithoutALockFileTheInUseMarkAloneDecidesAndStays)
{
    // No private folder: no runtime folder, and ~/.cache a link to elsewhere.
    namespace fs = std::filesystem;
    const fs::path home = runtimeDir / "home-no-lock";
    const fs::path elsewhere = runtimeDir / "elsewhere";
    fs::create_directories(home);
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, home / ".cache");
    struct RestoreEnv {
        std::optional<std::string> home = std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
        std::string runtime;
        ~RestoreEnv()
        {
            if (home)
                ::setenv("HOME", home->c_str(), 1);
            else
                ::unsetenv("HOME");
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
    } restore{.runtime = runtimeDir.string()};
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    ASSERT_EQ(CUsbHid::LockFilePath(zksim::HidDevice::kPath), "");

    CUsbHid first(hid), second(hid);
    ASSERT_TRUE(first.OpenUsbLink());
    EXPECT_FALSE(second.IsUsbPathFree(zksim::HidDevice::kPath)) << "the other instance's mark says busy";
    EXPECT_FALSE(second.OpenUsbLink());
    EXPECT_EQ(settings.Read("USB", zksim::HidDevice::kPath), std::optional<std::string>("0")) << "and stays";
    EXPECT_FALSE(first.IsUsbPathFree(zksim::HidDevice::kPath)) << "held by this instance itself";
    EXPECT_TRUE(first.ReopenUsbLink()) << "its own mark does not keep the instance out";

    first.CloseDevice();
    first.UnmarkUsbPath();
    g_strDevicePath = std::string();
    EXPECT_TRUE(second.OpenUsbLink());
    second.CloseDevice();
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "nothing written through the link";
}

TEST_F(UsbLink, ReopenFindsTheRestartedDeviceUnderItsNewNode)
{
    CUsbHid usb(hid);
    ASSERT_TRUE(usb.OpenUsbLink());
    ASSERT_EQ(g_strDevicePath.Get(), zksim::HidDevice::kPath);

    // The device restarts (as after the firmware update's start stage) and comes back under another
    // hidraw node, while the UI thread looks at the device list.
    hid.Unplug();
    const std::string moved = std::string(zksim::HidDevice::kPath) + "-loader";
    hid.Replug(moved);
    std::atomic<bool> reading{true};
    std::thread ui([&] {
        while (reading)
            for (const std::string &p : g_arrHidPaths.Get())
                EXPECT_FALSE(p.empty());
    });
    const bool reopened = usb.ReopenUsbLink();
    reading = false;
    ui.join();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(g_strDevicePath.Get(), moved);
    EXPECT_EQ(g_arrHidPaths.Get(), std::vector<std::string>{moved});

    cmd.Add(BuildSystemRequestFrame(SYS_STATUS, 0));
    Step(usb);
    EXPECT_EQ(cmd.GetCount(), 0);
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
}

TEST_F(UsbLink, PresentButUnreadableDeviceIsReportedAsSuch)
{
    hid.SetAccessDenied(true);
    CUsbHid usb(hid);
    EXPECT_FALSE(usb.OpenUsbLink());
    EXPECT_TRUE(usb.AccessDenied());
    EXPECT_NE(CUsbHid::AccessDeniedText(false).find("70-zk470.rules"), std::string::npos);
    EXPECT_NE(CUsbHid::AccessDeniedText(true).find("70-zk470.rules"), std::string::npos);
    hid.SetAccessDenied(false);
    EXPECT_TRUE(usb.OpenUsbLink());
    EXPECT_FALSE(usb.AccessDenied());
}

TEST_F(UsbLink, BlockWriteGoesOutAsFiveReportsAndItsAnswerIsParsed)
{
    CUsbHid usb(hid);
    ASSERT_TRUE(usb.OpenUsbLink());
    cmd.Add(BuildImageBlockFrame(0, OBJ_OUTPUT, 3, true));
    Step(usb);
    EXPECT_EQ(hid.ReportsWritten(), 5u);
    EXPECT_EQ(cmd.GetCount(), 0);
    ASSERT_EQ(device.RequestCount(), 1u);
    EXPECT_EQ(device.Requests()[0].payload.size(), 296u);
}

TEST_F(UsbLink, ReadLimitsEndInALinkErrorReportedAsAFailure)
{
    CUsbHid usb(hid);
    usb.SetReadLimits(200, 150);
    ASSERT_TRUE(usb.OpenUsbLink());

    // Silence: the report wait ends the step with the link error, and the step reports no answer.
    device.SetSilent(true);
    cmd.Add(BuildSystemRequestFrame(SYS_STATUS, 0));
    const auto start = Clock::now();
    ASSERT_TRUE(usb.UsbWriteStep(cmd, {}));
    EXPECT_FALSE(usb.UsbReadStep(cmd, start));
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 1);
    EXPECT_EQ(cmd.GetCount(), 1);

    // A refusal ends the step at once, without the link error: the head is rewound for the next step.
    view.Clear();
    device.SetSilent(false);
    device.RefuseNext(1);
    cmd.GetFront()->SetRetryCount(0);
    ASSERT_TRUE(usb.UsbWriteStep(cmd, {}));
    EXPECT_TRUE(usb.UsbReadStep(cmd, Clock::now()));
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 0);
    ASSERT_EQ(cmd.GetCount(), 1);
    EXPECT_TRUE(cmd.GetFront()->IsNaked());
    EXPECT_EQ(cmd.GetFront()->GetSendPosition(), 0);
}

// A device whose answer arrives as reports at scripted times after the request was written.
class PacedHid : public IHidBackend, public IHidHandle {
public:
    std::vector<HidDeviceInfo> Enumerate() override
    {
        return {{"/dev/paced", CUsbHid::kVendor, CUsbHid::kProduct, CUsbHid::kRelease}};
    }
    std::unique_ptr<IHidHandle> Open(const std::string &, OpenError &error) override
    {
        error = OpenError::None;
        struct Ref : IHidHandle {
            explicit Ref(PacedHid &d) : dev(d) {}
            int Write(const HidReport &r) override { return dev.Write(r); }
            int Read(HidReport &r, int ms) override { return dev.Read(r, ms); }
            PacedHid &dev;
        };
        return std::make_unique<Ref>(*this);
    }
    int Write(const HidReport &) override
    {
        written = Clock::now();
        next = 0;
        return static_cast<int>(kHidReportSize);
    }
    int Read(HidReport &report, int timeoutMs) override
    {
        if (next >= script.size())
            return std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs)), 0;
        const auto due = written + script[next].first;
        if (due > Clock::now() + std::chrono::milliseconds(timeoutMs))
            return std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs)), 0;
        std::this_thread::sleep_until(due);
        report = script[next++].second;
        return static_cast<int>(kHidReportSize);
    }
    std::vector<std::pair<std::chrono::milliseconds, HidReport>> script;
    Clock::time_point written;
    std::size_t next = 0;
};

TEST_F(UsbLink, AnswerMustStartInTimeAndCompleteWithinTheFrameLimit)
{
    // A 312-byte block answer travels in five reports.
    const zksim::Bytes reply = zksim::BuildFrame(REPLY_DATA, 0, OBJ_OUTPUT, 0, 0, zksim::Bytes(296, 7));
    std::vector<HidReport> reports;
    for (std::size_t at = 0; at < reply.size(); at += kHidReportPayload) {
        HidReport r{};
        std::copy(reply.begin() + at, reply.begin() + std::min(reply.size(), at + kHidReportPayload), r.begin() + 1);
        reports.push_back(r);
    }
    struct Case {
        const char *name;
        int gapMs;  // between reports
        bool answered;
    } cases[] = {
        {"reports 40 ms apart", 40, true},        // every wait and the whole frame within the limits
        {"frame still incomplete at the limit", 110, false},  // the fourth report comes at 330 ms
        {"silence between reports", 450, false},  // one wait runs out
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PacedHid paced;
        for (std::size_t i = 0; i < reports.size(); ++i)
            paced.script.push_back({std::chrono::milliseconds(c.gapMs * static_cast<int>(i)), reports[i]});
        CUsbHid usb(paced);
        usb.SetReadLimits(400, 300);
        ASSERT_TRUE(usb.OpenUsbLink());
        view.Clear();
        cmd.RemoveAll();
        cmd.Add(BuildRequestFrame(0, OBJ_OUTPUT, 0, true, false));
        const auto start = Clock::now();
        ASSERT_TRUE(usb.UsbWriteStep(cmd, {}));
        EXPECT_EQ(usb.UsbReadStep(cmd, start), c.answered);
        EXPECT_EQ(cmd.GetCount(), c.answered ? 0 : 1);
        EXPECT_EQ(view.Count(WM_LINK_ERROR), c.answered ? 0 : 1);
        usb.CloseDevice();
    }
}

TEST_F(UsbLink, AnItemWhoseAnswerIsIgnoredIsNotSentForEver)
{
    CUsbHid usb(hid);
    ASSERT_TRUE(usb.OpenUsbLink());
    // The device answers with a frame the parser ignores: the read step ends, the item stays.
    device.IgnorableNext(10);
    cmd.Add(BuildSystemRequestFrame(SYS_STATUS, 0));
    for (int i = 0; i < 6; ++i)
        Step(usb);
    EXPECT_EQ(device.RequestCount(), 2u);
    EXPECT_EQ(view.Count(WM_LINK_ERROR), 1);
}

TEST_F(UsbLink, UnpluggedDeviceFailsTheStepAndIsReopenedWhenBack)
{
    CUsbHid usb(hid);
    ASSERT_TRUE(usb.OpenUsbLink());
    Step(usb);
    hid.Unplug();
    Step(usb);  // writes fail: nothing half-sent stays behind
    EXPECT_EQ(cmd.GetFront()->GetSendPosition(), 0);
    hid.Replug();
    ASSERT_TRUE(usb.ReopenUsbLink());
    Step(usb);
    EXPECT_EQ(cmd.GetCount(), 0);
    EXPECT_EQ(hid.Opens(), 2);
}

}  // namespace
