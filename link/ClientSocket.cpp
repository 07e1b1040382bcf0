#include "link/ClientSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

CClientSocket::~CClientSocket()
{
    Close();
}

bool CClientSocket::Connect(const std::string &address, int port, int timeoutMs)
{
    Close();
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port <= 0 || port > 65535 || ::inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
        m_error = "bad address " + address + ":" + std::to_string(port);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_error = std::strerror(errno);
        return false;
    }
    if (::connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0) {
        if (errno != EINPROGRESS) {
            m_error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        pollfd p{fd, POLLOUT, 0};
        int err = 0;
        socklen_t len = sizeof err;
        if (::poll(&p, 1, timeoutMs) != 1 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
            m_error = err ? std::strerror(err) : "connection timed out";
            ::close(fd);
            return false;
        }
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_fd = fd;
    m_frameReceived = false;
    return true;
}

void CClientSocket::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_timeoutRunning = false;
}

bool CClientSocket::Send(const std::uint8_t *data, std::size_t n)
{
    if (m_fd < 0)
        return false;
    OnBeforeSend(data, n);
    std::size_t sent = 0;
    while (sent < n) {
        const ssize_t r = ::send(m_fd, data + sent, n - sent, MSG_NOSIGNAL);
        if (r > 0) {
            sent += static_cast<std::size_t>(r);
            continue;
        }
        if (r < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

int CClientSocket::Receive(int timeoutMs)
{
    if (m_fd < 0)
        return -1;
    pollfd p{m_fd, POLLIN, 0};
    int r;
    do
        r = ::poll(&p, 1, timeoutMs);
    while (r < 0 && errno == EINTR);
    if (r == 0)
        return 0;
    if (r < 0)
        return -1;
    const ssize_t n = ::recv(m_fd, m_rx, sizeof m_rx, 0);
    if (n == 0)
        return -1;  // the peer closed the connection
    if (n < 0)
        return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
    return static_cast<int>(n);
}

int CClientSocket::ReceiveAll()
{
    return Receive(m_receiveTimeoutMs);
}

int CClientSocket::OnReceive()
{
    m_timeoutRunning = false;
    const int n = Receive(m_receiveTimeoutMs);
    if (n > 0 && m_receiveEnabled && m_sink) {
        // Let the rest of a frame that arrives in pieces catch up.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (m_sink(m_rx, static_cast<std::size_t>(n)) == 1)
            m_frameReceived = true;
    }
    return n;
}

void CClientSocket::StartTimeout()
{
    m_timeoutStart = std::chrono::steady_clock::now();
    m_timeoutRunning = true;
}

void CClientSocket::StopTimeout()
{
    m_timeoutRunning = false;
}

double CClientSocket::TimeoutElapsed() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_timeoutStart).count();
}
