#include "tests/sim/SimHid.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace zksim {

const char *const HidDevice::kPath = [] {
    static const std::string path = "/dev/zk470-sim-hidraw-" + std::to_string(::getpid());
    return path.c_str();
}();

class HidDevice::Handle : public IHidHandle {
public:
    Handle(HidDevice &owner, std::uint64_t generation) : m_owner(owner), m_generation(generation) {}
    int Write(const HidReport &report) override { return m_owner.WriteReport(m_generation, report); }
    int Read(HidReport &report, int timeoutMs) override { return m_owner.ReadReport(m_generation, report, timeoutMs); }

private:
    HidDevice &m_owner;
    std::uint64_t m_generation;
};

HidDevice::HidDevice(Device &device) : m_device(device), m_node(kPath) {}

std::vector<HidDeviceInfo> HidDevice::Enumerate()
{
    std::lock_guard lock(m_mutex);
    std::vector<HidDeviceInfo> out{{"/dev/zk470-sim-keyboard", 0x046D, 0xC31C, 0x0110}};
    if (m_present)
        out.push_back({m_node, CUsbHid::kVendor, CUsbHid::kProduct, m_release});
    return out;
}

std::unique_ptr<IHidHandle> HidDevice::Open(const std::string &path, OpenError &error)
{
    std::lock_guard lock(m_mutex);
    if (path != m_node || !m_present) {
        error = OpenError::NotFound;
        return nullptr;
    }
    if (m_denied) {
        error = OpenError::AccessDenied;
        return nullptr;
    }
    error = OpenError::None;
    ++m_opens;
    m_input.clear();
    m_device.ResetReceiver();
    return std::make_unique<Handle>(*this, m_generation);
}

int HidDevice::WriteReport(std::uint64_t generation, const HidReport &report)
{
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation || !m_present)
            return -1;
        ++m_written;
    }
    Response r = m_device.Receive(report.data() + 1, kHidReportPayload);
    std::lock_guard lock(m_mutex);
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(r.delayMs);
    for (const Bytes &chunk : r.chunks) {
        for (std::size_t at = 0; at < chunk.size(); at += kHidReportPayload) {
            Pending p{due, {}};
            const std::size_t n = std::min(kHidReportPayload, chunk.size() - at);
            std::copy_n(chunk.begin() + static_cast<std::ptrdiff_t>(at), n, p.report.begin() + 1);
            m_input.push_back(p);
        }
    }
    if (r.close) {  // answer first, then gone
        m_present = false;
        ++m_generation;
    }
    m_cv.notify_all();
    return static_cast<int>(kHidReportSize);
}

int HidDevice::ReadReport(std::uint64_t generation, HidReport &report, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    for (;;) {
        if (!m_input.empty() && m_input.front().due <= std::chrono::steady_clock::now()) {
            report = m_input.front().report;
            m_input.pop_front();
            return static_cast<int>(kHidReportSize);
        }
        if (generation != m_generation)
            return -1;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return 0;
        auto wake = deadline;
        if (!m_input.empty())
            wake = std::min(wake, m_input.front().due);
        m_cv.wait_until(lock, wake);
    }
}

void HidDevice::Unplug()
{
    std::lock_guard lock(m_mutex);
    m_present = false;
    ++m_generation;
    m_input.clear();
    m_cv.notify_all();
}

void HidDevice::Replug()
{
    std::lock_guard lock(m_mutex);
    m_present = true;
}

void HidDevice::Replug(const std::string &node)
{
    std::lock_guard lock(m_mutex);
    m_node = node;
    m_present = true;
}

std::string HidDevice::Node() const
{
    std::lock_guard lock(m_mutex);
    return m_node;
}

void HidDevice::SetAccessDenied(bool denied)
{
    std::lock_guard lock(m_mutex);
    m_denied = denied;
}

void HidDevice::SetRelease(std::uint16_t release)
{
    std::lock_guard lock(m_mutex);
    m_release = release;
}

int HidDevice::Opens() const
{
    std::lock_guard lock(m_mutex);
    return m_opens;
}

std::size_t HidDevice::ReportsWritten() const
{
    std::lock_guard lock(m_mutex);
    return m_written;
}

}  // namespace zksim
