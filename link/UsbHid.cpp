#include "link/UsbHid.h"

#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "res/Strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kNotifyMainLimitMs = 50000;
constexpr int kReadSliceMs = 100;
constexpr int kMaxWriteAttempts = 2;
constexpr int kDrainReports = 64;

// A folder that no other user can write to: a real directory (not a symlink) owned by the
// effective user, without write access for group or others.
bool IsOwnFolder(const std::string &dir)
{
    struct stat st{};
    return !dir.empty() && dir.front() == '/' && ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The home folder of the effective user: $HOME when that is the user's own folder (not after su,
// which keeps the caller's HOME), else the one the password database names.
std::string HomeFolder()
{
    const char *home = std::getenv("HOME");
    struct stat st{};
    if (home && *home == '/' && ::stat(home, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
        return home;
    std::vector<char> buf(4096);
    passwd pw{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

// Creates dir with mode 0700 unless it exists; true when it is then a folder of the user's own.
bool MakeOwnFolder(const std::string &dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return IsOwnFolder(dir);
}

// Where the lock files live: the session's runtime folder when it is the user's own, else a folder
// of the user's (~/.cache/ZK-470, mode 0700). Never a shared folder such as /tmp, where another
// user could plant a link or hold the lock. Empty when there is none.
std::string LockFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && IsOwnFolder(runtime))
        return runtime;
    const std::string home = HomeFolder();
    if (home.empty() || !IsOwnFolder(home))
        return {};
    const std::string cache = home + "/.cache";
    const std::string own = cache + "/ZK-470";
    if (!MakeOwnFolder(cache) || !MakeOwnFolder(own))
        return {};
    struct stat st{};
    if (::lstat(own.c_str(), &st) != 0 || (st.st_mode & 077) != 0)
        ::chmod(own.c_str(), 0700);  // ours, but readable by others: make it private
    return own;
}

// The lock file is never followed through a link and never inherited by a child process.
int OpenLockFile(const std::string &file)
{
    if (file.empty())
        return -1;
    return ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// True when no other open file description holds the lock of path; nullopt when there is no lock
// to ask (no private folder, or a link planted where the lock file goes). An instance that found
// no lock either has the settings mark alone to say that it holds the device.
std::optional<bool> LockIsFree(const std::string &path)
{
    const int fd = OpenLockFile(CUsbHid::LockFilePath(path));
    if (fd < 0)
        return std::nullopt;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);  // releases it again
    return free;
}

}  // namespace

CUsbHid::CUsbHid(IHidBackend &backend) : m_backend(backend) {}

// One lock file per device path, held while an instance has the device open and released by the
// system when the instance ends, however it ends.
std::string CUsbHid::LockFilePath(const std::string &devicePath)
{
    const std::string folder = LockFolder();
    if (folder.empty())
        return {};
    std::string name = devicePath;
    for (char &c : name)
        if (c == '/' || c == ':' || c == ' ')
            c = '_';
    return folder + "/zk470-usb-" + name + ".lock";
}

CUsbHid::~CUsbHid() { CloseDevice(); }

bool CUsbHid::EnumerateHidDevices()
{
    std::vector<std::string> paths;
    for (const HidDeviceInfo &d : m_backend.Enumerate())
        if (d.vendor == kVendor && d.product == kProduct && d.release == kRelease)
            paths.push_back(d.path);
    const bool found = !paths.empty();
    g_arrHidPaths.Set(std::move(paths));
    if (found)
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
    const std::optional<bool> lockFree = LockIsFree(path);
    if (!lockFree)
        return !marked || path == m_markedPath;  // without a lock a mark cannot be told stale: it stands
    if (marked && *lockFree)
        settings.Remove(kMarkGroup, path);  // left by an instance that ended without closing
    return *lockFree;
}

bool CUsbHid::ChooseFreeUsbPath()
{
    const std::string current = g_strDevicePath.Get();
    if (!current.empty() && IsUsbPathFree(current))
        return true;
    EnumerateHidDevices();
    for (const std::string &p : g_arrHidPaths.Get()) {
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
    if (!path.empty() && AppSettings().Write(kMarkGroup, path, "0"))
        m_markedPath = path;
}

void CUsbHid::UnmarkUsbPath()
{
    const std::string path = g_strDevicePath.Get();
    if (!path.empty() && AppSettings().Remove(kMarkGroup, path) && path == m_markedPath)
        m_markedPath.clear();
}

bool CUsbHid::LockPath(const std::string &path)
{
    UnlockPath();
    const int fd = OpenLockFile(LockFilePath(path));
    if (fd < 0) {
        m_lockedPath = path;  // no private folder: the settings mark alone keeps instances apart
        return true;
    }
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
    m_lastOpenError = error;
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
    m_lastOpenError = IHidBackend::OpenError::None;
    if (ChooseFreeUsbPath() && OpenUsbDevice()) {
        g_nLinkMode = LINK_USB;
        return true;
    }
    // The remembered node is gone: a device that restarted (into its boot loader, or back from it)
    // may have come back under another hidraw node, so look again before trying the others.
    if (m_lastOpenError == IHidBackend::OpenError::NotFound)
        EnumerateHidDevices();
    for (const std::string &p : g_arrHidPaths.Get()) {
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
    return TrArgs(StrId::UsbAccessDenied, chinese, {kUdevRule});
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
    const unsigned refusals = cmd.Refusals();
    for (;;) {
        if (!g_bUsbOpen.load())
            return false;
        const int r = ReadReport(m_in, reportLimit);
        if (!g_bUsbOpen.load())
            return false;
        if (r > 0) {
            if (cmd.OnUsbReport(m_in, r) == 1)
                return true;
            // Refused: the parser rewound the head; the next step writes it again at once, within
            // the write step's attempts, instead of waiting here for an answer that will not come.
            if (cmd.Refusals() != refusals)
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
