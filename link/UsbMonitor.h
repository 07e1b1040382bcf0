#pragma once
// Arrival and removal of HID interfaces, from a libudev monitor on the "hidraw" subsystem. A
// thread of its own waits on the monitor and reports each change through a callback, which runs
// on that thread: the receiver passes the values on to its own thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

struct udev;
struct udev_monitor;
struct udev_device;

struct UsbDeviceEvent {
    bool arrival = false;
    std::string path;       // the hidraw device node, the same path the HID enumeration gives
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

class CUsbMonitor {
public:
    using Callback = std::function<void(const UsbDeviceEvent &)>;

    CUsbMonitor() = default;
    ~CUsbMonitor();
    CUsbMonitor(const CUsbMonitor &) = delete;
    CUsbMonitor &operator=(const CUsbMonitor &) = delete;

    // Starts listening. False when udev cannot be reached (no udev daemon, no netlink access):
    // the program then works without arrival notices.
    bool Start(Callback callback);
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // Reads the vendor and product of a HID interface from its HID_ID property
    // ("0003:00000483:00005750"). False when the text is not of that form.
    static bool ParseHidId(const char *hidId, std::uint16_t &vendor, std::uint16_t &product);

    // The monitor thread's wait: onReadable for each notice on monitorFd, until wakeFd becomes
    // readable (true: stopped) or the monitor fails (false). Never spins on a failing descriptor.
    static bool WaitLoop(int monitorFd, int wakeFd, const std::function<void()> &onReadable);

private:
    void ThreadMain();
    void Report(udev_device *dev);

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    Callback m_callback;
    std::thread m_thread;
    int m_wakePipe[2] = {-1, -1};
};
