#include "app/LinkBackend.h"

#include "link/ChangeScheduler.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"

#include <algorithm>
#include <cstring>
#include <mutex>

// The USB device as the update steps see it.
class CLinkBackend::UsbChannel : public IUpdateTransport {
public:
    explicit UsbChannel(CUsbHid &usb) : m_usb(usb) {}
    bool IsOpen() const override { return g_bUsbOpen.load() && m_usb.IsDeviceOpen(); }
    bool Write(const HidReport &report) override { return m_usb.WriteReport(report); }
    int Read(std::uint8_t *buf, std::size_t cap, int timeoutMs) override
    {
        HidReport r{};
        const int n = m_usb.ReadReport(r, timeoutMs);
        if (n > 0)
            std::memcpy(buf, r.data(), std::min(cap, r.size()));
        return n > 0 ? static_cast<int>(std::min(cap, r.size())) : n;
    }
    bool Reconnect() override
    {
        m_usb.UnmarkUsbPath();
        return m_usb.ReopenUsbLink();
    }
    void Close() override { g_bUsbOpen = 0; }

private:
    CUsbHid &m_usb;
};

// The network link as the update steps see it.
class CLinkBackend::NetChannel : public IUpdateTransport {
public:
    explicit NetChannel(CNet_Socket &net) : m_net(net) {}
    bool IsOpen() const override { return m_net.IsReachable(); }
    bool Write(const HidReport &report) override { return m_net.Send(report.data(), report.size()); }
    int Read(std::uint8_t *buf, std::size_t cap, int timeoutMs) override
    {
        if (m_net.GetRecvTimeout() != timeoutMs && !m_net.SetRecvTimeout(timeoutMs))
            return -1;
        int count = 0;
        const int code = m_net.Receive(count);
        if (count > 0) {
            const std::size_t n = std::min<std::size_t>(cap, static_cast<std::size_t>(count));
            std::memcpy(buf, m_net.RxBuffer(), n);
            return static_cast<int>(n);
        }
        if (code == NET_TIMEDOUT || code == NET_WOULDBLOCK)
            return 0;
        return -1;  // reset, aborted, or closed by the device
    }
    bool Reconnect() override
    {
        m_net.Close();
        return m_net.Connect();
    }
    void Close() override { m_net.Close(); }

private:
    CNet_Socket &m_net;
};

// Serial bytes into the reply parser, under the link lock as every parser call.
class CLinkBackend::SerialReceiver : public ISerialReceiver {
public:
    explicit SerialReceiver(CKTVCommand &cmd) : m_cmd(cmd) {}
    bool OnSerialByte(std::uint8_t b) override
    {
        std::lock_guard lock(g_csLink);
        return m_cmd.OnSerialByte(b) == 1;
    }
    void ResetParser() override
    {
        std::lock_guard lock(g_csLink);
        m_cmd.ResetParser();
    }

private:
    CKTVCommand &m_cmd;
};

CLinkBackend::CLinkBackend(CKTVCommand &command, CKTV_Data *doc, IHidBackend &hid, IMessageTarget *view)
    : m_command(command),
      m_view(view),
      m_usb(hid),
      m_worker(command),
      m_updater(command, m_engine, view),
      m_usbChannel(std::make_unique<UsbChannel>(m_usb)),
      m_netChannel(std::make_unique<NetChannel>(m_net)),
      m_serialReceiver(std::make_unique<SerialReceiver>(command))
{
    m_worker.SetTransport(LINK_USB, &m_usb);
    m_worker.SetTransport(LINK_TCP, &m_net);
    m_worker.SetTransport(LINK_SERIAL, &m_serial);
    if (doc)
        m_worker.SetNextChange([scheduler = CChangeScheduler(*doc)]() mutable { return scheduler.SendNextChange(); });
    m_worker.SetUpdateStep([this](int linkMode) {
        if (linkMode == LINK_USB)
            m_updater.UsbUpdateStep(*m_usbChannel);
        else if (linkMode == LINK_TCP)
            m_updater.NetUpdateStep(*m_netChannel);
    });
    m_updater.SetSuspend([this] { m_worker.SignalSuspend(); });
    m_updater.SetStopRequested([this] { return m_worker.StopRequested(); });
}

CLinkBackend::~CLinkBackend()
{
    m_worker.StopCommThread(false);
    m_serial.ClosePort();
    m_net.StopPing(false);
}

void CLinkBackend::StartCommThread()
{
    m_worker.StartCommThread();
}

void CLinkBackend::StopCommThread(bool full)
{
    m_worker.StopCommThread(full);
}

std::vector<std::string> CLinkBackend::EnumerateHidDevices()
{
    m_usb.EnumerateHidDevices();
    return g_arrHidPaths.Get();
}

bool CLinkBackend::IsUsbPathFree(const std::string &path)
{
    return m_usb.IsUsbPathFree(path);
}

bool CLinkBackend::OpenUsbDevice(const std::string &path)
{
    g_strDevicePath = path;
    return m_usb.OpenUsbDevice();
}

void CLinkBackend::CloseUsbDevice()
{
    m_usb.CloseDevice();
}

void CLinkBackend::UnmarkUsbPath()
{
    m_usb.UnmarkUsbPath();
}

std::string CLinkBackend::UsbOpenProblem()
{
    return m_usb.AccessDenied() ? CUsbHid::AccessDeniedText(g_bChinese.load() != 0) : std::string();
}

bool CLinkBackend::IsOnDeviceSubnet()
{
    return m_net.IsOnDeviceSubnet();
}

bool CLinkBackend::NetReachable()
{
    return m_net.IsReachable();
}

void CLinkBackend::ClearNetReachable()
{
    // The module restarts with its default address: the next reachability check starts afresh.
    m_net.ClearReachable();
}

bool CLinkBackend::NetConnect()
{
    return m_net.Connect();
}

void CLinkBackend::NetClose()
{
    m_net.Close();
}

void CLinkBackend::StartPing()
{
    m_net.StartPing();
}

void CLinkBackend::StopPing(bool keepThread)
{
    m_net.StopPing(keepThread);
}

bool CLinkBackend::OpenSerial(const std::string &port)
{
    if (!m_serial.InitPort(m_view, port, 57600, 'N', 8, 1, 9, 512))
        return false;
    return m_serial.StartMonitoring(m_serialReceiver.get());
}

bool CLinkBackend::CloseSerial()
{
    return m_serial.ClosePort();
}
