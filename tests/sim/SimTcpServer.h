#pragma once
// The simulated device's Wi-Fi module: a TCP server on 127.0.0.1 (port chosen by the system) that
// feeds every received chunk to a zksim::Device and sends its answers back. One connection at a
// time; a new one replaces the old, as the module does when the program reconnects.

#include "tests/sim/DeviceSim.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace zksim {

class TcpServer {
public:
    explicit TcpServer(Device &device);  // listening and serving on return
    ~TcpServer();
    TcpServer(const TcpServer &) = delete;
    TcpServer &operator=(const TcpServer &) = delete;

    std::uint16_t Port() const { return m_port; }
    int Connections() const { return m_accepted.load(); }  // accepted so far
    void DropConnection();                                 // close the current connection now
    void Stop();                                           // stop serving; idempotent

private:
    void Run();

    Device &m_device;
    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    std::uint16_t m_port = 0;
    std::atomic<int> m_accepted{0};
    std::atomic<bool> m_drop{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace zksim
