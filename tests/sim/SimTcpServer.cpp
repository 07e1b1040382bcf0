#include "tests/sim/SimTcpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace zksim {

TcpServer::TcpServer(Device &device) : m_device(device)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0 || ::pipe2(m_wake, O_CLOEXEC) != 0)
        throw std::runtime_error("simulator: socket");
    int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_listen, 4) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len) != 0)
        throw std::runtime_error("simulator: bind");
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { Run(); });
}

TcpServer::~TcpServer() { Stop(); }

void TcpServer::Stop()
{
    if (m_stop.exchange(true))
        return;
    const char c = 's';
    (void)!::write(m_wake[1], &c, 1);
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_listen);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void TcpServer::DropConnection()
{
    m_drop = true;
    const char c = 'd';
    (void)!::write(m_wake[1], &c, 1);
}

void TcpServer::Run()
{
    int client = -1;
    auto closeClient = [&] {
        if (client >= 0)
            ::close(client);
        client = -1;
    };
    while (!m_stop) {
        pollfd fds[3] = {{m_wake[0], POLLIN, 0}, {m_listen, POLLIN, 0}, {client, POLLIN, 0}};
        const int nfds = client >= 0 ? 3 : 2;
        if (::poll(fds, nfds, 1000) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            char buf[16];
            (void)!::read(m_wake[0], buf, sizeof buf);
            if (m_drop.exchange(false))
                closeClient();
            continue;
        }
        if (fds[1].revents & POLLIN) {
            const int c = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                closeClient();
                client = c;
                int one = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                m_device.ResetReceiver();
                ++m_accepted;
            }
            continue;
        }
        if (nfds == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            std::uint8_t buf[2048];
            const ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0) {
                closeClient();
                continue;
            }
            Response r = m_device.Receive(buf, static_cast<std::size_t>(n));
            if (r.delayMs > 0) {
                pollfd w{m_wake[0], POLLIN, 0};
                ::poll(&w, 1, r.delayMs);  // a stop or drop cuts the delay short
                if (m_stop)
                    break;
            }
            for (const Bytes &chunk : r.chunks) {
                if (client < 0)
                    break;
                if (::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0)
                    closeClient();
                else if (r.chunks.size() > 1)
                    ::usleep(2000);  // separate chunks arrive as separate receives
            }
            if (r.close)
                closeClient();
        }
    }
    closeClient();
}

}  // namespace zksim
