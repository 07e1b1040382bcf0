#include "link/Net_Socket.h"

#include "link/IcmpEcho.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "link/Ping_Net_Thread.h"
#include "platform/GlobalData.h"

#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <ifaddrs.h>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kEchoTimeoutMs = 3000;
constexpr int kReconnectPauseMs = 2000;
constexpr int kSilenceLimitSeconds = 4;
constexpr int kWifiResetWaitMs = 30000;
constexpr int kWifiResetSettleMs = 4000;
constexpr int kMaxSendAttempts = 2;
constexpr int kLinkTimeoutMs = 1000;  // send and receive time-outs of every connection

int PollFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return r;
        return p.revents;
    }
}

}  // namespace

struct CNet_Socket::Waiter {
    std::mutex mutex;
    std::condition_variable cv;
};

CNet_Socket::CNet_Socket() : m_waiter(std::make_unique<Waiter>())
{
    m_pingThread = std::make_unique<CPing_Net_Thread>([this](const std::atomic<bool> &running) {
        CheckConnection(running);
    });
}

CNet_Socket::~CNet_Socket()
{
    StopPing(false);
    Close();
}

// ---- connection -------------------------------------------------------------------------------

bool CNet_Socket::Connect()
{
    if (!m_reachable.load() || !Ping())
        return false;
    Close();
    // A firmware update stretches the receive time-out per stage; a new connection starts from the
    // link's own second again, or a silent device would be noticed only after the last stage's wait.
    m_sendTimeoutMs = kLinkTimeoutMs;
    m_recvTimeoutMs = kLinkTimeoutMs;

    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(g_nWifiPort.load()));
    if (::inet_pton(AF_INET, g_strWifiIp.Get().c_str(), &addr.sin_addr) != 1)
        return false;

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    int one = 1;
    // Frames are small request/answer pairs: send each at once.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        if (errno != EINPROGRESS || PollFor(fd, POLLOUT, m_sendTimeoutMs) <= 0) {
            ::close(fd);
            return false;
        }
        int err = 0;
        socklen_t len = sizeof err;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
            ::close(fd);
            return false;
        }
    }
    m_fd = fd;
    return true;
}

void CNet_Socket::Close()
{
    const int fd = m_fd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

bool CNet_Socket::Send(const std::uint8_t *buffer, std::size_t length)
{
    const int fd = m_fd.load();
    if (fd < 0 || (length > 0 && !buffer))
        return false;
    std::size_t sent = 0;
    while (sent < length) {
        const int ev = PollFor(fd, POLLOUT, m_sendTimeoutMs);
        if (ev <= 0 || (ev & (POLLERR | POLLNVAL)))
            return false;
        const ssize_t n = ::send(fd, buffer + sent, length - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

int CNet_Socket::ReceiveInto(std::size_t max, int &count)
{
    count = -1;
    const int fd = m_fd.load();
    if (fd < 0)
        return 0;
    const int ev = PollFor(fd, POLLIN, m_recvTimeoutMs);
    if (ev == 0)
        return NET_TIMEDOUT;
    if (ev < 0)
        return 0;
    const ssize_t n = ::recv(fd, m_rx.data(), max, 0);
    if (n >= 0) {
        count = static_cast<int>(n);
        return count;
    }
    switch (errno) {
    case EAGAIN: return NET_WOULDBLOCK;
    case ECONNRESET: return NET_CONNRESET;
    case ECONNABORTED:
    case EPIPE: return NET_CONNABORTED;
    case ETIMEDOUT: return NET_TIMEDOUT;
    default: return 0;
    }
}

int CNet_Socket::Receive(int &count) { return ReceiveInto(kNetRxSize, count); }
int CNet_Socket::ReceiveShort(int &count) { return ReceiveInto(16, count); }

bool CNet_Socket::SetRecvTimeout(int ms)
{
    if (ms < 0) {
        Close();
        return false;
    }
    m_recvTimeoutMs = ms;
    return true;
}

// ---- reachability -------------------------------------------------------------------------------

bool CNet_Socket::SameSubnet(const std::string &mask, const std::string &adapter, const std::string &device)
{
    in_addr m{}, a{}, d{};
    if (::inet_pton(AF_INET, mask.c_str(), &m) != 1 || ::inet_pton(AF_INET, adapter.c_str(), &a) != 1 ||
        ::inet_pton(AF_INET, device.c_str(), &d) != 1)
        return false;
    if (m.s_addr == 0)
        return false;
    return (a.s_addr & m.s_addr) == (d.s_addr & m.s_addr);
}

std::vector<CNet_Socket::Adapter> CNet_Socket::SystemAdapters()
{
    std::vector<Adapter> out;
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) != 0)
        return out;
    for (ifaddrs *i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || !i->ifa_netmask || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP))
            continue;
        char a[INET_ADDRSTRLEN] = {}, m[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(i->ifa_addr)->sin_addr, a, sizeof a);
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(i->ifa_netmask)->sin_addr, m, sizeof m);
        out.push_back({a, m});
    }
    ::freeifaddrs(list);
    return out;
}

bool CNet_Socket::IsOnDeviceSubnet() const
{
    const std::string device = g_strWifiIp.Get();
    const std::vector<Adapter> adapters = m_adapters ? m_adapters() : SystemAdapters();
    for (const Adapter &a : adapters)
        if (SameSubnet(a.mask, a.address, device))
            return true;
    return false;
}

bool CNet_Socket::Ping() const
{
    const std::string device = g_strWifiIp.Get();
    if (device.empty())
        return false;
    return m_pinger ? m_pinger(device) : CIcmpEcho::Ping(device, kEchoTimeoutMs);
}

bool CNet_Socket::Wait(int ms)
{
    std::unique_lock lock(m_waiter->mutex);
    return !m_waiter->cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_interrupted.load(); });
}

void CNet_Socket::Interrupt()
{
    {
        std::lock_guard lock(m_waiter->mutex);
        m_interrupted = true;
    }
    m_waiter->cv.notify_all();
}

int CNet_Socket::CheckConnection(const std::atomic<bool> &running)
{
    if (!IsOnDeviceSubnet()) {
        if (!running)
            return 0;
        m_reachable = 0;
        Wait(m_checkPauseMs);
        return 0;
    }
    if (!running)
        return 0;
    int answer = m_reachable.load();
    if (!answer) {
        answer = Ping() ? 1 : 0;
        if (answer) {
            if (g_bUpdateFinished.load()) {  // the module restarts after a firmware update
                Wait(5000);
                g_bUpdateFinished = 0;
            }
            if (!running)
                return 0;
            // Marked before the view hears of it: the view's Connect() requires the mark.
            m_reachable = 1;
            PostToView(WM_LINK_OPEN_NETWORK, 0, 0);
        }
    }
    if (!running)
        return 0;
    m_reachable = answer;
    Wait(m_checkPauseMs);
    return m_reachable.load();
}

void CNet_Socket::StartPing()
{
    {
        std::lock_guard lock(m_waiter->mutex);
        m_interrupted = false;
    }
    if (m_pingThread)
        m_pingThread->StartTimer(500);
}

void CNet_Socket::StopPing(bool keepThread)
{
    if (!m_pingThread)
        return;
    Interrupt();
    m_pingThread->StopTimer();
    if (!keepThread) {
        m_pingThread->Quit();
        m_pingThread.reset();
    }
}

// ---- worker steps ---------------------------------------------------------------------------------

bool CNet_Socket::IsUsable() const { return g_bNetOpen.load() != 0; }

void CNet_Socket::RequestReconnect(CKTVCommand &cmd)
{
    // The stream is broken: a half-assembled frame from it must not join the next connection's bytes.
    cmd.ResetParser();
    m_reconnect = true;
}

bool CNet_Socket::NetWriteStep(CKTVCommand &cmd, const NextChangeFn &next)
{
    CSendData *h = cmd.GetFront();
    if (!h) {
        if (next) {
            if (auto frame = next())
                cmd.Add(std::move(frame));
        }
        return false;
    }
    if (h->GetCommand() != 0)  // firmware-update items travel through the update steps only
        return false;
    h->SetRetryCount(h->GetRetryCount() + 1);
    if (h->GetRetryCount() == kMaxSendAttempts + 1) {
        g_bNetOpen = 0;
        PostToView(WM_LINK_ERROR, 0, 0);
        return false;
    }
    if (h->GetRetryCount() > kMaxSendAttempts + 1)
        return false;
    h->ResetPosition();
    if (!Send(h->GetData(), static_cast<std::size_t>(h->GetLength()))) {
        RequestReconnect(cmd);
        return false;
    }
    if (h->GetNotifyMain()) {
        m_wifiResetPending = true;  // the module restarts: waited out in AfterStep, without the lock
        return false;
    }
    return true;
}

bool CNet_Socket::NetReadStep(CKTVCommand &cmd, LinkClock::time_point stepStart)
{
    const unsigned refusals = cmd.Refusals();
    for (;;) {
        int count = -1;
        const int r = Receive(count);
        if (r == NET_TIMEDOUT) {
            if (IsOnDeviceSubnet()) {
                RequestReconnect(cmd);
                return false;
            }
            g_bNetOpen = 0;
            PostToView(WM_LINK_ERROR, 0, 0);
            return true;
        }
        if (count > 0 && cmd.OnNetData(m_rx.data(), count))
            return true;
        // Refused: the parser rewound the head, and the next step sends it again at once (the write
        // step counts the attempt). The connection is sound, so no reconnect.
        if (cmd.Refusals() != refusals)
            return true;
        // A closed or failed connection answers every receive at once: handle it now instead of
        // spinning until the silence limit.
        const bool dead = count <= 0 && r != NET_WOULDBLOCK;
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(LinkClock::now() - stepStart);
        if (dead || elapsed.count() >= kSilenceLimitSeconds) {
            if (g_bNetOpen.load()) {
                if (IsOnDeviceSubnet()) {
                    RequestReconnect(cmd);
                } else {
                    g_bNetOpen = 0;
                    PostToView(WM_LINK_ERROR, 0, 2);
                }
            }
            return false;
        }
    }
}

void CNet_Socket::NormalStep(CKTVCommand &cmd, const NextChangeFn &next)
{
    const LinkClock::time_point start = LinkClock::now();
    if (NetWriteStep(cmd, next))
        NetReadStep(cmd, start);
}

void CNet_Socket::AfterStep(CKTVCommand &cmd, const PauseFn &pause)
{
    (void)cmd;
    if (m_wifiResetPending) {
        m_wifiResetPending = false;
        if (!pause(kWifiResetWaitMs))
            return;
        g_bTransferring = 0;
        if (!pause(kWifiResetSettleMs))
            return;
        PostToView(WM_LINK_WIFI_RESET_DONE, 0, 0);
    }
    if (m_reconnect) {
        m_reconnect = false;
        Close();
        if (!pause(kReconnectPauseMs))
            return;
        Connect();
    }
}
