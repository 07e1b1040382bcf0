#include "link/HidApiBackend.h"

#include <hidapi/hidapi.h>

#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex g_hidInitMutex;
int g_hidUsers = 0;

class CHidApiHandle : public IHidHandle {
public:
    explicit CHidApiHandle(hid_device *dev) : m_dev(dev) {}
    ~CHidApiHandle() override { hid_close(m_dev); }

    int Write(const HidReport &report) override
    {
        // hidraw writes are synchronous: the report has left (or failed) when this returns.
        const int n = hid_write(m_dev, report.data(), report.size());
        return n < 0 ? -1 : static_cast<int>(report.size());
    }

    int Read(HidReport &report, int timeoutMs) override
    {
        report[0] = 0;
        const int n = hid_read_timeout(m_dev, report.data() + 1, kHidReportPayload, timeoutMs);
        if (n < 0)
            return -1;
        if (n == 0)
            return 0;
        for (std::size_t i = static_cast<std::size_t>(n) + 1; i < report.size(); ++i)
            report[i] = 0;
        return static_cast<int>(report.size());
    }

private:
    hid_device *m_dev;
};

}  // namespace

CHidApiBackend::CHidApiBackend()
{
    std::lock_guard lock(g_hidInitMutex);
    if (g_hidUsers++ == 0)
        hid_init();
}

CHidApiBackend::~CHidApiBackend()
{
    std::lock_guard lock(g_hidInitMutex);
    if (--g_hidUsers == 0)
        hid_exit();
}

std::vector<HidDeviceInfo> CHidApiBackend::Enumerate()
{
    std::vector<HidDeviceInfo> out;
    hid_device_info *list = hid_enumerate(CUsbHid::kVendor, CUsbHid::kProduct);
    for (hid_device_info *d = list; d; d = d->next)
        out.push_back({d->path ? d->path : "", d->vendor_id, d->product_id, d->release_number});
    hid_free_enumeration(list);
    return out;
}

std::unique_ptr<IHidHandle> CHidApiBackend::Open(const std::string &path, OpenError &error)
{
    // hidapi does not say why an open failed; the device node does.
    if (::access(path.c_str(), F_OK) != 0) {
        error = OpenError::NotFound;
        return nullptr;
    }
    if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        error = OpenError::AccessDenied;
        return nullptr;
    }
    hid_device *dev = hid_open_path(path.c_str());
    if (!dev) {
        error = OpenError::Other;
        return nullptr;
    }
    error = OpenError::None;
    return std::make_unique<CHidApiHandle>(dev);
}
