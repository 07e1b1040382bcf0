#pragma once
// The simulated device behind an in-process HID transport: an IHidBackend (link/UsbHid.h) that
// lists one device with the product's identity at kPath and opens it. Every written report is fed
// to the zksim::Device; its answers come back as 64-byte input reports (zero-filled), after the
// device's reply delay. CloseAfter on the device unplugs it after that answer.
//
//   zksim::Device dev;
//   zksim::HidDevice hid(dev);
//   CUsbHid usb(hid);                         // hid is the backend
//   hid.Unplug(); hid.Replug();               // removal and arrival
//   hid.Replug(kPath + std::string("-2"));    // arrival under another node (a restarted device)
//   hid.SetAccessDenied(true);                // present, but opening is refused (no udev rule)
// A foreign HID device (a keyboard) is always listed beside ours.

#include "link/UsbHid.h"
#include "tests/sim/DeviceSim.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace zksim {

class HidDevice : public IHidBackend {
public:
    // The device's path, unique to the test process: a device's in-use lock is shared by every
    // process of the user, and tests running side by side must not see each other's device.
    static const char *const kPath;

    explicit HidDevice(Device &device);

    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<IHidHandle> Open(const std::string &path, OpenError &error) override;

    void Unplug();  // open handles fail from now on; the device is no longer listed
    void Replug();
    void Replug(const std::string &node);  // from now on listed and opened at node only
    std::string Node() const;
    void SetAccessDenied(bool denied);
    void SetRelease(std::uint16_t release);  // our device's release number (0x0200)
    int Opens() const;
    std::size_t ReportsWritten() const;

private:
    class Handle;
    friend class Handle;
    int WriteReport(std::uint64_t generation, const HidReport &report);
    int ReadReport(std::uint64_t generation, HidReport &report, int timeoutMs);

    Device &m_device;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    struct Pending {
        std::chrono::steady_clock::time_point due;
        HidReport report;
    };
    std::deque<Pending> m_input;
    std::uint64_t m_generation = 1;  // a handle from before an unplug is dead
    bool m_present = true;
    bool m_denied = false;
    std::uint16_t m_release = CUsbHid::kRelease;
    std::string m_node;
    int m_opens = 0;
    std::size_t m_written = 0;
};

}  // namespace zksim
