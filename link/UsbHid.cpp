#include "link/UsbHid.h"

#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "platform/GlobalData.h"
#include "platform/RegularFile.h"
#include "platform/Settings.h"
#include "res/Strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kNotifyMainLimitMs = 50000;
constexpr int kReadSliceMs = 100;
constexpr int kMaxWriteAttempts = 2;
constexpr int kDrainReports = 64;

// The file that holds the in-use marks: the settings store's own file, or, for a store that keeps
// no file (tests keep their values in memory), the place where the program's file goes.
std::string MarkFile()
{
    if (const auto *file = dynamic_cast<const CFileSettings *>(&AppSettings()))
        return file->Path();
    return DefaultSettingsPath();
}

// Where the lock files live: the folder that holds the settings file (where a linked file really
// lives), by its resolved name. Every instance that shares the marks reaches this folder, whatever
// its environment; a folder chosen from the environment ($XDG_RUNTIME_DIR, $HOME) would not be the
// same for all of them. Empty when it cannot be made.
std::string LockFolder()
{
    // The settings store writes into the same file (platform/RegularFile.h), so both agree on it.
    const std::string file = MarkFile();
    const std::string folder = ParentFolder(FollowFileLinks(file).value_or(file));
    MakeFolders(folder);
    char *real = ::realpath(folder.c_str(), nullptr);
    if (!real)
        return {};
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// A folder no other user can write to, where nobody else can plant a link or hold a lock: a
// directory without write access for group or others, owned by this user. Root also takes the
// folder of a user whose settings file it shares: it reads its settings there already.
bool IsTrustedFolder(const struct stat &st)
{
    return S_ISDIR(st.st_mode) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 &&
           (st.st_uid == ::geteuid() || ::geteuid() == 0);
}

std::string LockFileName(const std::string &devicePath)
{
    std::string name = devicePath;
    for (char &c : name)
        if (c == '/' || c == ':' || c == ' ')
            c = '_';
    return "zk470-usb-" + name + ".lock";
}

// Opens the lock file of a device path, made when missing; -1 when the folder is not a trusted one
// or the name there is anything but a regular file. A link planted there is never followed, and
// the descriptor is not inherited by a child process.
int OpenLockFile(const std::string &devicePath)
{
    const std::string folder = LockFolder();
    if (folder.empty())
        return -1;
    // The checks and the open are made on the folder itself, not on its name, which can change.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return -1;
    int fd = -1;
    struct stat ds{};
    if (::fstat(dir, &ds) == 0 && IsTrustedFolder(ds)) {
        const std::string name = LockFileName(devicePath);
        constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        fd = ::openat(dir, name.c_str(), kFlags | O_CREAT | O_EXCL, 0600);
        if (fd >= 0 && ds.st_uid != ::geteuid()) {
            // Root made it in a user's folder: the file goes to that user, whose instances open it
            // too. Only a file made here and now is given away.
            if (::fchown(fd, ds.st_uid, ds.st_gid) != 0) {
                ::close(fd);
                fd = -1;
            }
        } else if (fd < 0 && errno == EEXIST) {
            fd = ::openat(dir, name.c_str(), kFlags);
        }
        struct stat fs{};
        if (fd >= 0 && (::fstat(fd, &fs) != 0 || !S_ISREG(fs.st_mode))) {
            ::close(fd);
            fd = -1;
        }
    }
    ::close(dir);
    return fd;
}

// The lock of a device path taken for a moment, without waiting, and held while this object lives.
class CLockProbe {
public:
    enum class State {
        Taken,       // nobody else holds the device
        Busy,        // another instance holds it
        NoLockFile,  // no lock to ask: only the in-use mark can say
    };
    explicit CLockProbe(const std::string &devicePath) : m_fd(OpenLockFile(devicePath))
    {
        if (m_fd < 0)
            m_state = State::NoLockFile;
        else if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            m_state = State::Busy;
    }
    ~CLockProbe()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CLockProbe(const CLockProbe &) = delete;
    CLockProbe &operator=(const CLockProbe &) = delete;
    State Get() const { return m_state; }

private:
    int m_fd;
    State m_state = State::Taken;
};

}  // namespace

CUsbHid::CUsbHid(IHidBackend &backend) : m_backend(backend) {}

// One lock file per device path, held while an instance has the device open and released by the
// system when the instance ends, however it ends.
std::string CUsbHid::LockFilePath(const std::string &devicePath)
{
    const std::string folder = LockFolder();
    struct stat st{};
    if (folder.empty() || ::lstat(folder.c_str(), &st) != 0 || !IsTrustedFolder(st))
        return {};
    return folder + "/" + LockFileName(devicePath);
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
    const CLockProbe lock(path);
    switch (lock.Get()) {
    case CLockProbe::State::Busy:
        return false;
    case CLockProbe::State::NoLockFile:
        // Without a lock a mark cannot be told stale: it stands.
        return !settings.Read(kMarkGroup, path).has_value() || path == m_markedPath;
    case CLockProbe::State::Taken:
        break;
    }
    // Left by an instance that ended without closing; removed while no other instance can take the
    // device and mark it.
    if (settings.Read(kMarkGroup, path).has_value())
        settings.Remove(kMarkGroup, path);
    return true;
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
    if (path.empty())
        return;
    // Only a mark that no other instance stands behind goes: the one of the device this instance
    // holds, or one whose lock nobody holds (taken while the mark goes). Another instance may have
    // taken the device since this one let it go.
    std::optional<CLockProbe> lock;
    if (m_lockFd < 0 || path != m_lockedPath) {
        lock.emplace(path);
        const bool ours = lock->Get() == CLockProbe::State::Taken ||
                          (lock->Get() == CLockProbe::State::NoLockFile && path == m_markedPath);
        if (!ours)
            return;
    }
    if (AppSettings().Remove(kMarkGroup, path) && path == m_markedPath)
        m_markedPath.clear();
}

bool CUsbHid::LockPath(const std::string &path)
{
    UnlockPath();
    const int fd = OpenLockFile(path);
    if (fd < 0) {
        m_lockedPath = path;  // no lock file: the in-use mark alone keeps instances apart
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
