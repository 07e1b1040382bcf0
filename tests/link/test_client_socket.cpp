#include "link/ClientSocket.h"
#include "link/UsbMonitor.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <future>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A loopback listener on a port of the system's choosing.
struct Listener {
    int fd = -1;
    int port = 0;
    Listener()
    {
        fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        listen(fd, 1);
        socklen_t len = sizeof sa;
        getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
        port = ntohs(sa.sin_port);
    }
    ~Listener() { close(fd); }
};

}  // namespace

TEST(ClientSocket, ConnectsSendsAndHandsReceivedBytesToTheSink)
{
    Listener l;
    CClientSocket s;
    std::vector<std::uint8_t> got;
    s.SetSink([&](const std::uint8_t *d, std::size_t n) {
        got.assign(d, d + n);
        return 1;
    });
    ASSERT_TRUE(s.Connect("127.0.0.1", l.port)) << s.error();
    const int peer = accept(l.fd, nullptr, nullptr);
    ASSERT_GE(peer, 0);

    const std::uint8_t out[] = {1, 2, 3};
    ASSERT_TRUE(s.Send(out, 3));
    std::uint8_t in[8] = {};
    EXPECT_EQ(recv(peer, in, sizeof in, 0), 3);

    s.SetReceiveTimeoutMs(200);
    EXPECT_EQ(s.OnReceive(), 0);  // nothing yet: the time-out ends the wait
    EXPECT_FALSE(s.FrameReceived());
    const std::uint8_t reply[] = {9, 8, 7, 6};
    ASSERT_EQ(send(peer, reply, sizeof reply, 0), 4);
    EXPECT_EQ(s.OnReceive(), 4);
    EXPECT_EQ(got, (std::vector<std::uint8_t>{9, 8, 7, 6}));
    EXPECT_TRUE(s.FrameReceived());

    close(peer);
    EXPECT_EQ(s.OnReceive(), -1);  // the peer closed
    s.Close();
    EXPECT_FALSE(s.Send(out, 3));
}

TEST(ClientSocket, RefusesBadAddressesAndClosedPorts)
{
    CClientSocket s;
    EXPECT_FALSE(s.Connect("not-an-address", 8899));
    EXPECT_FALSE(s.Connect("127.0.0.1", 0));
    int port;
    {
        Listener l;
        port = l.port;
    }
    EXPECT_FALSE(s.Connect("127.0.0.1", port, 500));
    EXPECT_FALSE(s.IsOpen());
}

TEST(UsbMonitor, ReadsVendorAndProductFromTheHidId)
{
    std::uint16_t v = 0, p = 0;
    EXPECT_TRUE(CUsbMonitor::ParseHidId("0003:00000483:00005750", v, p));
    EXPECT_EQ(v, 0x0483);
    EXPECT_EQ(p, 0x5750);
    for (const char *bad : {"", "0003:0483", "0003:00000483:00005750x", "zz:1:2", "0003:10000:1"})
        EXPECT_FALSE(CUsbMonitor::ParseHidId(bad, v, p)) << bad;
    EXPECT_FALSE(CUsbMonitor::ParseHidId(nullptr, v, p));

    // Start may fail where no udev runs; either way Stop ends cleanly.
    CUsbMonitor m;
    if (m.Start([](const UsbDeviceEvent &) {})) {
        EXPECT_TRUE(m.IsRunning());
    }
    m.Stop();
    EXPECT_FALSE(m.IsRunning());
}

TEST(UsbMonitor, WaitEndsOnAFailingMonitorInsteadOfSpinning)
{
    int wake[2];
    ASSERT_EQ(::pipe2(wake, O_CLOEXEC), 0);
    int hungUp[2];
    ASSERT_EQ(::pipe2(hungUp, O_CLOEXEC), 0);
    ::close(hungUp[1]);
    constexpr int kClosedFd = 4000;
    ASSERT_EQ(::fcntl(kClosedFd, F_GETFD), -1);
    struct Case {
        const char *name;
        int monitorFd;
    } cases[] = {
        {"closed descriptor", kClosedFd},  // poll reports it invalid on every call
        {"hung-up pipe", hungUp[0]},      // the write end is gone: a hang-up on every call
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int notices = 0;
        auto done = std::async(std::launch::async, [&] {
            return CUsbMonitor::WaitLoop(c.monitorFd, wake[0], [&] { ++notices; });
        });
        if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            const char b = 1;
            ASSERT_EQ(::write(wake[1], &b, 1), 1);  // let a spinning loop go, then fail
            done.wait();
            FAIL() << "the wait kept polling a failing descriptor";
        }
        EXPECT_FALSE(done.get());
    }
    ::close(hungUp[0]);

    // The wake-up ends it with true.
    const char b = 1;
    ASSERT_EQ(::write(wake[1], &b, 1), 1);
    int idle[2];
    ASSERT_EQ(::pipe2(idle, O_CLOEXEC), 0);
    EXPECT_TRUE(CUsbMonitor::WaitLoop(idle[0], wake[0], [] {}));
    for (int fd : {idle[0], idle[1], wake[0], wake[1]})
        ::close(fd);
}
