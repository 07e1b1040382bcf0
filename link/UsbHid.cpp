#include "link/UsbHid.h"

#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kNotifyMainLimitMs = 50000;
constexpr int kReadSliceMs = 100;
constexpr int kMaxWriteAttempts = 2;
constexpr int kDrainReports = 64;

// One lock file per device path in the user's runtime folder: held while an instance has the
// device open, released by the system when the instance ends, however it ends.
std::string LockFileFor(const std::string &path)
{
    const char *dir = std::getenv("XDG_RUNTIME_DIR");
    std::string name = path;
    for (char &c : name)
        if (c == '/' || c == ':' || c == ' ')
            c = '_';
    return std::string(dir && *dir ? dir : "/tmp") + "/zk470-usb-" + name + ".lock";
}

// True when no other open file description holds the lock of path.
bool LockIsFree(const std::string &path)
{
    const int fd = ::open(LockFileFor(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;  // nobody can hold a lock that cannot be created
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);  // releases it again
    return free;
}

}  // namespace

CUsbHid::CUsbHid(IHidBackend &backend) : m_backend(backend) {}

CUsbHid::~CUsbHid() { CloseDevice(); }

bool CUsbHid::EnumerateHidDevices()
{
    g_arrHidPaths.clear();
    for (const HidDeviceInfo &d : m_backend.Enumerate())
        if (d.vendor == kVendor && d.product == kProduct && d.release == kRelease)
            g_arrHidPaths.push_back(d.path);
    if (!g_arrHidPaths.empty())
        return true;
    // No device with our identity is present, so no mark can be current.
    AppSettings().RemoveGroup(kMarkGroup);
    g_bUsbOpen = 0;
    m_accessDenied = false;
    return false;
}

bool CUsbHid::IsUsbPathFree(const std::string &path)
{
    if (path == m_lockedPath && IsDeviceOpen())
        return false;  // we hold it ourselves
    ISettings &settings = AppSettings();
    const bool marked = settings.Read(kMarkGroup, path).has_value();
    const bool lockFree = LockIsFree(path);
    if (marked && lockFree)
        settings.Remove(kMarkGroup, path);  // left by an instance that ended without closing
    return lockFree;
}

bool CUsbHid::ChooseFreeUsbPath()
{
    const std::string current = g_strDevicePath.Get();
    if (!current.empty() && IsUsbPathFree(current))
        return true;
    EnumerateHidDevices();
    for (const std::string &p : g_arrHidPaths) {
        if (IsUsbPathFree(p)) {
            g_strDevicePath = p;
            return true;
        }
    }
    g_strDevicePath = std::string();
    return false;
}

void CUsbHid::MarkUsbPathInUse()
{
    const std::string path = g_strDevicePath.Get();
    if (!path.empty())
        AppSettings().Write(kMarkGroup, path, "0");
}

void CUsbHid::UnmarkUsbPath()
{
    const std::string path = g_strDevicePath.Get();
    if (!path.empty())
        AppSettings().Remove(kMarkGroup, path);
}

bool CUsbHid::LockPath(const std::string &path)
{
    UnlockPath();
    const int fd = ::open(LockFileFor(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;  // no runtime folder: the settings mark alone keeps instances apart
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    m_lockedPath = path;
    return true;
}

void CUsbHid::UnlockPath()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
    m_lockedPath.clear();
}

bool CUsbHid::OpenUsbDevice()
{
    const std::string path = g_strDevicePath.Get();
    if (path.empty())
        return false;
    CloseDevice();
    if (!LockPath(path))
        return false;  // another instance has it
    IHidBackend::OpenError error = IHidBackend::OpenError::None;
    std::unique_ptr<IHidHandle> handle = m_backend.Open(path, error);
    if (!handle) {
        if (error == IHidBackend::OpenError::AccessDenied)
            m_accessDenied = true;
        UnlockPath();
        return false;
    }
    m_accessDenied = false;
    HidReport stale{};
    for (int i = 0; i < kDrainReports && handle->Read(stale, 0) > 0; ++i) {
    }
    {
        std::lock_guard lock(m_handleMutex);
        m_handle = std::move(handle);
    }
    g_bUsbOpen = 1;
    MarkUsbPathInUse();
    return true;
}

bool CUsbHid::OpenUsbLink()
{
    m_accessDenied = false;
    if (ChooseFreeUsbPath() && OpenUsbDevice()) {
        g_nLinkMode = LINK_USB;
        return true;
    }
    for (const std::string &p : std::vector<std::string>(g_arrHidPaths)) {
        if (!IsUsbPathFree(p))
            continue;
        g_strDevicePath = p;
        if (OpenUsbDevice()) {
            g_nLinkMode = LINK_USB;
            return true;
        }
    }
    g_strDevicePath = std::string();
    return false;
}

bool CUsbHid::ReopenUsbLink()
{
    CloseDevice();
    m_in.fill(0);
    m_out.fill(0);
    return OpenUsbLink();
}

void CUsbHid::CloseDevice()
{
    std::unique_ptr<IHidHandle> old;
    {
        std::lock_guard lock(m_handleMutex);
        old = std::move(m_handle);
    }
    old.reset();
    UnlockPath();
}

bool CUsbHid::IsDeviceOpen() const
{
    std::lock_guard lock(m_handleMutex);
    return m_handle != nullptr;
}

std::string CUsbHid::AccessDeniedText(bool chinese)
{
    if (chinese)
        return std::string("已找到设备，但没有访问权限。请安装 udev 规则 ") + kUdevRule +
               "（make install），然后重新插入设备。";
    return std::string("The device is connected but this user may not open it. Install the udev rule ") +
           kUdevRule + " (make install), then plug the device in again.";
}

// ---- reports ----------------------------------------------------------------------------------

bool CUsbHid::WriteReport(const HidReport &report)
{
    std::lock_guard lock(m_handleMutex);
    return m_handle && m_handle->Write(report) == static_cast<int>(kHidReportSize);
}

int CUsbHid::ReadReport(HidReport &report, int timeoutMs)
{
    const auto deadline = LinkClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (!g_bUsbOpen.load())
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - LinkClock::now()).count();
        const int slice = static_cast<int>(std::clamp<long long>(left, 0, kReadSliceMs));
        int r;
        {
            std::lock_guard lock(m_handleMutex);
            if (!m_handle)
                return -1;
            r = m_handle->Read(report, slice);
        }
        if (r != 0 || left <= kReadSliceMs)
            return r;
    }
}

// ---- worker steps ------------------------------------------------------------------------------

bool CUsbHid::UsbWriteStep(CKTVCommand &cmd, const NextChangeFn &next)
{
    if (!IsDeviceOpen()) {
        if (OpenUsbDevice())
            cmd.RewindFront();
        else
            PostToView(WM_LINK_ERROR, 0, 0);
        return false;
    }
    if (!g_bUsbOpen.load())
        return false;
    CSendData *h = cmd.GetFront();
    if (!h) {
        if (next) {
            if (auto frame = next())
                cmd.Add(std::move(frame));
        }
        return false;
    }
    // Each step sends the head whole. An item whose answer never comes (or is ignored by the parser)
    // is sent twice at most, as on the network link; the third attempt fails the link.
    h->SetRetryCount(h->GetRetryCount() + 1);
    if (h->GetRetryCount() == kMaxWriteAttempts + 1) {
        PostToView(WM_LINK_ERROR, 0, 0);
        return false;
    }
    if (h->GetRetryCount() > kMaxWriteAttempts + 1)
        return false;
    h->ResetPosition();
    while (h->NextHidReport(m_out)) {
        if (!WriteReport(m_out)) {
            // The handle failed (device gone or reset): the next step reopens it or fails the link,
            // and the frame goes out whole again.
            h->ResetPosition();
            CloseDevice();
            return false;
        }
        if (!g_bUsbOpen.load())
            return false;
    }
    return true;
}

bool CUsbHid::UsbReadStep(CKTVCommand &cmd, LinkClock::time_point stepStart)
{
    const CSendData *h = cmd.GetFront();
    const bool longWait = h && h->GetNotifyMain();
    const int reportLimit = longWait ? kNotifyMainLimitMs : m_reportLimitMs;
    const int frameLimit = longWait ? kNotifyMainLimitMs : m_frameLimitMs;
    for (;;) {
        if (!g_bUsbOpen.load())
            return false;
        const int r = ReadReport(m_in, reportLimit);
        if (!g_bUsbOpen.load())
            return false;
        if (r > 0) {
            if (cmd.OnUsbReport(m_in, r) == 1)
                return true;
            if (LinkClock::now() - stepStart > std::chrono::milliseconds(frameLimit)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                if (g_bUsbOpen.load())
                    PostToView(WM_LINK_ERROR, 0, 0);
                return false;
            }
            continue;
        }
        // Time-out (r == 0) or a failed device (r < 0): no answer, the link has failed.
        if (g_bUsbOpen.load())
            PostToView(WM_LINK_ERROR, 0, 0);
        if (r < 0)
            CloseDevice();
        return false;
    }
}

void CUsbHid::NormalStep(CKTVCommand &cmd, const NextChangeFn &next)
{
    const LinkClock::time_point start = LinkClock::now();
    if (UsbWriteStep(cmd, next))
        UsbReadStep(cmd, start);
}
