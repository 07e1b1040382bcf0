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
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Sets and unsets environment variables for a scope and puts back what was there before.
class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;
    ~ScopedEnv()
    {
        for (const auto &[name, value] : m_saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    void Set(const std::string &name, const std::optional<std::string> &value)
    {
        if (std::none_of(m_saved.begin(), m_saved.end(), [&](const auto &s) { return s.first == name; })) {
            const char *old = std::getenv(name.c_str());
            m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        }
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class UsbLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        scratch = fs::path(out ? out : "/tmp") / ("usb-" + std::to_string(::getpid()));
        fs::create_directories(scratch);
        fs::permissions(scratch, fs::perms::owner_all);
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
        fs::remove_all(scratch, ec);
    }
    void Step(CUsbHid &usb)
    {
        std::lock_guard lock(g_csLink);
        usb.NormalStep(cmd, [] { return BuildSystemRequestFrame(SYS_STATUS, 0); });
    }

    fs::path scratch;  // this test process's own folders
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

TEST_F(UsbLink, InstancesSharingOneSettingsFileAgreeWhateverTheirEnvironment)
{
    // One settings file, reached by instances started from different sessions: with and without a
    // runtime folder, with one that everybody may write to, with another home.
    const fs::path folder = scratch / "config" / "ZK-470";
    CFileSettings shared((folder / "QX-ZK-470-GV1.00_GB2312.conf").string());
    ScopedAppSettings useTheFile{shared};
    const fs::path ownRuntime = scratch / "run-own", openRuntime = scratch / "run-open", otherHome = scratch / "home2";
    for (const fs::path &dir : {ownRuntime, openRuntime, otherHome})
        fs::create_directories(dir);
    fs::permissions(ownRuntime, fs::perms::owner_all);
    fs::permissions(openRuntime, fs::perms::all);
    fs::permissions(otherHome, fs::perms::owner_all);

    struct Env {
        std::optional<fs::path> runtime;  // nullopt: unset
        std::optional<fs::path> home;     // nullopt: the test's own
    };
    enum class End { Closes, UnmarksLate, Dies };  // how the first instance lets the device go
    struct Case {
        const char *name;
        Env first, second;
        End end;
    } cases[] = {
        {"a runtime folder, then none", {ownRuntime, {}}, {{}, {}}, End::Closes},
        {"none, then one open to all", {{}, {}}, {openRuntime, {}}, End::Dies},
        {"a runtime folder, then another home", {ownRuntime, {}}, {{}, otherHome}, End::UnmarksLate},
    };
    const std::string path = zksim::HidDevice::kPath;
    const std::string ownHome = std::getenv("HOME");
    const auto mark = [&] { return shared.Read("USB", path); };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv env;
        const auto as = [&](const Env &e) {
            env.Set("XDG_RUNTIME_DIR", e.runtime ? std::optional<std::string>(e.runtime->string()) : std::nullopt);
            env.Set("HOME", e.home ? e.home->string() : ownHome);
        };
        CUsbHid first(hid), second(hid);
        as(c.first);
        g_strDevicePath = std::string();
        ASSERT_TRUE(first.OpenUsbLink());
        EXPECT_EQ(fs::path(CUsbHid::LockFilePath(path)).parent_path(), fs::canonical(folder));

        as(c.second);
        g_strDevicePath = std::string();
        EXPECT_FALSE(second.IsUsbPathFree(path));
        EXPECT_FALSE(second.OpenUsbLink());
        EXPECT_EQ(mark(), std::optional<std::string>("0")) << "the first one's mark stays";

        // The first lets the device go (a process that dies loses its lock the same way).
        as(c.first);
        g_strDevicePath = path;
        first.CloseDevice();
        if (c.end == End::Closes)
            first.UnmarkUsbPath();
        as(c.second);
        ASSERT_TRUE(second.OpenUsbLink());
        if (c.end == End::UnmarksLate) {
            as(c.first);
            first.UnmarkUsbPath();
        }
        EXPECT_EQ(mark(), std::optional<std::string>("0")) << "the second one's mark stays";

        as(c.second);
        second.CloseDevice();
        second.UnmarkUsbPath();
        EXPECT_FALSE(mark().has_value());
    }
}

TEST_F(UsbLink, LockFilesLieWhereTheSettingsFileLivesAndFollowNoLink)
{
    // The settings file kept elsewhere through a link, as dotfile managers keep it: the locks go
    // where it really lives, also before its first write.
    ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", (scratch / "config").string());
    const fs::path file = DefaultSettingsPath();
    const fs::path dotfiles = scratch / "dotfiles";
    fs::create_directories(file.parent_path());
    fs::create_directories(dotfiles);
    fs::permissions(dotfiles, fs::perms::owner_all);
    fs::create_symlink(dotfiles / file.filename(), file);
    const fs::path lock = CUsbHid::LockFilePath(zksim::HidDevice::kPath);
    EXPECT_EQ(lock.parent_path(), fs::canonical(dotfiles));
    EXPECT_EQ(fs::path(CUsbHid::LockFilePath("/dev/hidraw3")).filename(), "zk470-usb-_dev_hidraw3.lock");

    // A link planted where the lock file goes is not followed: nothing is made at its target, and
    // the device still opens (the in-use mark alone keeps instances apart then).
    const fs::path target = scratch / "planted-target";
    fs::create_symlink(target, lock);
    CUsbHid usb(hid);
    EXPECT_TRUE(usb.OpenUsbLink());
    EXPECT_FALSE(fs::exists(target));
    usb.CloseDevice();
    fs::remove(lock);

    // The lock file itself is the user's alone.
    ASSERT_TRUE(usb.OpenUsbLink());
    EXPECT_EQ(fs::status(lock).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    usb.CloseDevice();
}

TEST_F(UsbLink, RootSharingAUsersSettingsFileLocksInThatUsersFolder)
{
    // Root started with a user's environment (su keeps XDG_CONFIG_HOME) shares that user's settings
    // file, so it shares the locks too, and leaves the lock files it makes there to the user.
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as two users needs root";
    constexpr uid_t kUser = 65534;
    std::string top = (fs::temp_directory_path() / "zk470-usb-root-XXXXXX").string();
    ASSERT_NE(::mkdtemp(top.data()), nullptr);
    struct RemoveTop {
        fs::path dir;
        ~RemoveTop() { fs::remove_all(dir); }
    } removeTop{top};
    fs::permissions(top, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path config = fs::path(top) / "config", folder = config / "ZK-470";
    fs::create_directories(folder);
    ASSERT_EQ(::chown(config.c_str(), kUser, kUser), 0);
    ASSERT_EQ(::chown(folder.c_str(), kUser, kUser), 0);
    ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", config.string());
    struct AsUser {
        AsUser() { EXPECT_EQ(::seteuid(kUser), 0); }
        ~AsUser() { EXPECT_EQ(::seteuid(0), 0); }
    };

    const std::string path = zksim::HidDevice::kPath;
    CUsbHid root(hid), user(hid);
    ASSERT_TRUE(root.OpenUsbLink());
    const std::string lock = CUsbHid::LockFilePath(path);
    ASSERT_EQ(fs::path(lock).parent_path(), folder);
    struct stat st{};
    ASSERT_EQ(::stat(lock.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kUser);
    {
        AsUser asUser;
        EXPECT_EQ(CUsbHid::LockFilePath(path), lock);
        g_strDevicePath = std::string();
        EXPECT_FALSE(user.OpenUsbLink());
    }
    EXPECT_EQ(settings.Read("USB", path), std::optional<std::string>("0"));

    root.CloseDevice();  // as when root's instance dies: its mark stays, its lock goes
    {
        AsUser asUser;
        EXPECT_TRUE(user.OpenUsbLink());
        user.CloseDevice();
    }
}

TEST_F(UsbLink, WithoutALockFileTheInUseMarkAloneDecidesAndStays)
{
    // The settings folder is open to everybody, so no lock file is made there.
    ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", (scratch / "config").string());
    const fs::path folder = fs::path(DefaultSettingsPath()).parent_path();
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::all);
    ASSERT_EQ(CUsbHid::LockFilePath(zksim::HidDevice::kPath), "");

    CUsbHid first(hid), second(hid);
    ASSERT_TRUE(first.OpenUsbLink());
    EXPECT_FALSE(second.IsUsbPathFree(zksim::HidDevice::kPath)) << "the other instance's mark says busy";
    EXPECT_FALSE(second.OpenUsbLink());
    g_strDevicePath = std::string(zksim::HidDevice::kPath);
    second.UnmarkUsbPath();
    EXPECT_EQ(settings.Read("USB", zksim::HidDevice::kPath), std::optional<std::string>("0")) << "and stays";
    EXPECT_FALSE(first.IsUsbPathFree(zksim::HidDevice::kPath)) << "held by this instance itself";
    EXPECT_TRUE(first.ReopenUsbLink()) << "its own mark does not keep the instance out";

    first.CloseDevice();
    first.UnmarkUsbPath();
    g_strDevicePath = std::string();
    EXPECT_TRUE(second.OpenUsbLink());
    second.CloseDevice();
    EXPECT_TRUE(fs::is_empty(folder)) << "no lock file made";
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
