#include "link/IcmpEcho.h"

#include <algorithm>
#include <atomic>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

std::uint16_t InternetChecksum(const std::uint8_t *p, std::size_t n)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2)
        sum += static_cast<std::uint32_t>(p[i] << 8 | p[i + 1]);
    if (n & 1)
        sum += static_cast<std::uint32_t>(p[n - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Sends one echo request on fd and waits for its reply. raw: the socket delivers IP headers and
// every ICMP message of the host, so replies are matched by identifier and source.
bool EchoOn(int fd, const in_addr &dst, bool raw, int timeoutMs)
{
    static std::atomic<std::uint16_t> s_seq{1};
    const std::uint16_t id = static_cast<std::uint16_t>(::getpid() & 0xFFFF);
    const std::uint16_t seq = s_seq++;
    std::uint8_t req[16] = {ICMP_ECHO, 0, 0, 0,
                            static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id),
                            static_cast<std::uint8_t>(seq >> 8), static_cast<std::uint8_t>(seq),
                            'Z', 'K', '-', '4', '7', '0', 0, 0};
    const std::uint16_t sum = InternetChecksum(req, sizeof req);
    req[2] = static_cast<std::uint8_t>(sum >> 8);
    req[3] = static_cast<std::uint8_t>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = dst;
    if (::sendto(fd, req, sizeof req, 0, reinterpret_cast<sockaddr *>(&to), sizeof to) < 0)
        return false;

    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, RemainingMs(deadline));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        std::uint8_t buf[1500];
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&from), &fromLen);
        if (n <= 0)
            continue;
        std::size_t off = 0;
        if (raw) {
            off = static_cast<std::size_t>(buf[0] & 0x0F) * 4;  // IP header length
            if (from.sin_addr.s_addr != dst.s_addr)
                continue;
        }
        if (static_cast<std::size_t>(n) < off + 8)
            continue;
        const std::uint8_t *icmp = buf + off;
        const std::uint16_t rseq = static_cast<std::uint16_t>(icmp[6] << 8 | icmp[7]);
        const std::uint16_t rid = static_cast<std::uint16_t>(icmp[4] << 8 | icmp[5]);
        // A datagram socket rewrites the identifier and filters by it itself.
        if (icmp[0] == ICMP_ECHOREPLY && rseq == seq && (!raw || rid == id))
            return true;
    }
}

bool PingProgram(const std::string &address, int timeoutMs)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&fa, out[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&fa, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const std::string wait = std::to_string(std::max(1, (timeoutMs + 999) / 1000));
    std::string a0 = "ping", a1 = "-n", a2 = "-c", a3 = "1", a4 = "-W", addr = address;
    std::string waitArg = wait;
    char *argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), waitArg.data(), addr.data(), nullptr};
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, "ping", &fa, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return false;
    }
    std::string text;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool timedOut = false;
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int r = ::poll(&p, 1, RemainingMs(deadline));
        if (r < 0 && errno == EINTR)
            continue;
        if (r == 0) {
            timedOut = true;
            break;
        }
        char buf[256];
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        if (text.size() < 1023)
            text.append(buf, static_cast<std::size_t>(std::min<ssize_t>(n, 1023 - static_cast<ssize_t>(text.size()))));
    }
    ::close(out[0]);
    if (timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return !timedOut && CIcmpEcho::OutputHasReply(text);
}

}  // namespace

bool CIcmpEcho::OutputHasReply(const std::string &output)
{
    std::string lower(output);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("ttl=") != std::string::npos;
}

bool CIcmpEcho::Ping(const std::string &address, int timeoutMs, Method *used)
{
    if (used)
        *used = Method::None;
    in_addr dst{};
    if (address.empty() || ::inet_pton(AF_INET, address.c_str(), &dst) != 1)
        return false;

    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    bool raw = false;
    if (fd < 0) {
        fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw = true;
    }
    if (fd >= 0) {
        if (used)
            *used = raw ? Method::Raw : Method::Datagram;
        const bool ok = EchoOn(fd, dst, raw, timeoutMs);
        ::close(fd);
        return ok;
    }
    if (used)
        *used = Method::Program;
    return PingProgram(address, timeoutMs);
}
