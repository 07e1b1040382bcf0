#include "link/UsbMonitor.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

CUsbMonitor::~CUsbMonitor()
{
    Stop();
}

bool CUsbMonitor::ParseHidId(const char *hidId, std::uint16_t &vendor, std::uint16_t &product)
{
    if (!hidId)
        return false;
    unsigned bus = 0, v = 0, p = 0;
    int used = 0;
    if (std::sscanf(hidId, "%x:%x:%x%n", &bus, &v, &p, &used) != 3 || hidId[used] != '\0')
        return false;
    if (v > 0xFFFF || p > 0xFFFF)
        return false;
    vendor = static_cast<std::uint16_t>(v);
    product = static_cast<std::uint16_t>(p);
    return true;
}

bool CUsbMonitor::Start(Callback callback)
{
    if (IsRunning())
        return true;
    m_udev = udev_new();
    if (!m_udev)
        return false;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0 || ::pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        Stop();
        return false;
    }
    m_callback = std::move(callback);
    m_thread = std::thread([this] { ThreadMain(); });
    return true;
}

void CUsbMonitor::Stop()
{
    if (m_wakePipe[1] >= 0) {
        const char c = 1;
        (void)!::write(m_wakePipe[1], &c, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int &p : m_wakePipe) {
        if (p >= 0)
            ::close(p);
        p = -1;
    }
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev)
        udev_unref(m_udev);
    m_udev = nullptr;
}

void CUsbMonitor::Report(udev_device *dev)
{
    const char *action = udev_device_get_action(dev);
    const char *node = udev_device_get_devnode(dev);
    if (!action || !node)
        return;
    UsbDeviceEvent ev;
    if (std::strcmp(action, "add") == 0)
        ev.arrival = true;
    else if (std::strcmp(action, "remove") != 0)
        return;
    ev.path = node;
    if (udev_device *hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr))
        ParseHidId(udev_device_get_property_value(hid, "HID_ID"), ev.vendorId, ev.productId);
    if (m_callback)
        m_callback(ev);
}

bool CUsbMonitor::WaitLoop(int monitorFd, int wakeFd, const std::function<void()> &onReadable)
{
    for (;;) {
        pollfd p[2] = {{monitorFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;  // poll itself failed: trying again would fail the same way at once
        }
        if (p[1].revents)
            return true;
        if (p[0].revents & POLLIN) {
            onReadable();
            continue;
        }
        // Error, hang-up or a closed descriptor on the monitor: it would report the same at once on
        // every poll. Arrival notices end here; the program goes on without them.
        if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
    }
}

void CUsbMonitor::ThreadMain()
{
    const bool stopped = WaitLoop(udev_monitor_get_fd(m_monitor), m_wakePipe[0], [this] {
        if (udev_device *dev = udev_monitor_receive_device(m_monitor)) {
            Report(dev);
            udev_device_unref(dev);
        }
    });
    if (!stopped)
        std::fprintf(stderr, "zk470: USB arrival and removal notices stopped: %s\n", std::strerror(errno));
}
