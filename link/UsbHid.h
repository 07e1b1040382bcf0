#pragma once
// The USB HID transport: the device (vendor 0x0483, product 0x5750, release 0x0200) exchanges
// 65-byte reports, report id 0 and 64 frame bytes. Finds matching devices, keeps two instances of
// the program off one device (the in-use mark in the settings group "USB" plus an advisory lock per
// device in a file beside the settings file, so a crashed instance leaves no mark that counts and
// every instance that shares the marks shares the locks), opens and reopens it, and runs the
// worker's USB write and read steps.
//
// The device itself is reached through IHidBackend: hidapi's hidraw backend in the program
// (link/HidApiBackend.h), an in-process simulated device in tests.

#include "link/LinkTransport.h"
#include "protocol/SendData.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t release = 0;
};

// One open HID device. Calls come from one thread at a time.
class IHidHandle {
public:
    virtual ~IHidHandle() = default;
    // Writes one whole report (byte 0 the report id). Returns the bytes written, -1 on failure.
    virtual int Write(const HidReport &report) = 0;
    // Waits at most timeoutMs for one input report: report[0] = 0, bytes 1..64 its data. Returns
    // the report size (65), 0 on a time-out, -1 when the device failed or is gone.
    virtual int Read(HidReport &report, int timeoutMs) = 0;
};

class IHidBackend {
public:
    enum class OpenError { None, NotFound, AccessDenied, Other };
    virtual ~IHidBackend() = default;
    // The HID interfaces present now.
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    virtual std::unique_ptr<IHidHandle> Open(const std::string &path, OpenError &error) = 0;
};

class CUsbHid : public ILinkTransport {
public:
    static constexpr std::uint16_t kVendor = 0x0483;
    static constexpr std::uint16_t kProduct = 0x5750;
    static constexpr std::uint16_t kRelease = 0x0200;
    static constexpr const char *kMarkGroup = "USB";
    static constexpr const char *kUdevRule = "/etc/udev/rules.d/70-zk470.rules";

    explicit CUsbHid(IHidBackend &backend);
    ~CUsbHid() override;
    CUsbHid(const CUsbHid &) = delete;
    CUsbHid &operator=(const CUsbHid &) = delete;

    // ---- finding and opening (UI thread) -----------------------------------------------------
    // Rebuilds g_arrHidPaths from the devices with the product's identity; true when one matched.
    // With none present, every in-use mark is stale and removed, and g_bUsbOpen is cleared.
    bool EnumerateHidDevices();
    // False while another instance holds the device; a mark left by an instance that ended is
    // removed here. Where no lock file can be made, the in-use mark alone answers and stays.
    bool IsUsbPathFree(const std::string &path);
    // Keeps g_strDevicePath when it is set and free, else takes the first free enumerated path.
    bool ChooseFreeUsbPath();
    void MarkUsbPathInUse();
    // Removes the mark of g_strDevicePath unless another instance holds that device now.
    void UnmarkUsbPath();
    // Opens g_strDevicePath exclusively among the program's instances, discards pending input,
    // sets g_bUsbOpen and marks the path in use.
    bool OpenUsbDevice();
    // ChooseFreeUsbPath + OpenUsbDevice, else every free enumerated path in turn (enumerated afresh
    // when the chosen node no longer exists); g_nLinkMode = 1 on success, g_strDevicePath emptied
    // on failure.
    bool OpenUsbLink();
    // Closes the device and opens the link again (after the device restarted).
    bool ReopenUsbLink();
    // The lock file of a device path, in the folder that holds the settings file (the target's
    // folder when the file is a link); empty when that folder is not this user's own or others may
    // write to it (root also takes the folder of a user whose settings file it shares).
    static std::string LockFilePath(const std::string &devicePath);
    // Closes the device handle and releases its lock (the in-use mark is UnmarkUsbPath's).
    void CloseDevice();
    bool IsDeviceOpen() const;

    // A device with the product's identity is present but the last open was refused for lack of
    // permission (no udev rule installed): the view says so instead of "no device".
    bool AccessDenied() const { return m_accessDenied.load(); }
    static std::string AccessDeniedText(bool chinese);

    // ---- reports (worker; also the firmware update steps, without the link lock) ---------------
    // One report at a time, complete or failed. False when nothing is open or the write failed.
    bool WriteReport(const HidReport &report);
    // As IHidHandle::Read, in slices that stop early once g_bUsbOpen is cleared (-1 then).
    int ReadReport(HidReport &report, int timeoutMs);
    HidReport &OutReport() { return m_out; }
    HidReport &InReport() { return m_in; }

    // ---- worker steps (under g_csLink) ------------------------------------------------------------
    bool IsUsable() const override { return IsDeviceOpen(); }
    void NormalStep(CKTVCommand &cmd, const NextChangeFn &next) override;
    bool UsbWriteStep(CKTVCommand &cmd, const NextChangeFn &next);
    bool UsbReadStep(CKTVCommand &cmd, LinkClock::time_point stepStart);

    // Limits of the read step: per report and for the whole frame (3500 / 3000 ms; 50 s for the
    // Wi-Fi module reset). Tests shorten them.
    void SetReadLimits(int reportMs, int frameMs)
    {
        m_reportLimitMs = reportMs;
        m_frameLimitMs = frameMs;
    }

private:
    bool LockPath(const std::string &path);
    void UnlockPath();

    IHidBackend &m_backend;
    mutable std::mutex m_handleMutex;  // the handle pointer; I/O itself runs on one thread
    std::unique_ptr<IHidHandle> m_handle;
    int m_lockFd = -1;
    std::string m_lockedPath;  // the path this instance has open, with or without a lock file
    std::string m_markedPath;  // the path whose in-use mark this instance wrote and not yet removed
    std::atomic<bool> m_accessDenied{false};
    IHidBackend::OpenError m_lastOpenError = IHidBackend::OpenError::None;
    HidReport m_out{};
    HidReport m_in{};
    int m_reportLimitMs = 3500;
    int m_frameLimitMs = 3000;
};
