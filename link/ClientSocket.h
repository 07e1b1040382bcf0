#pragma once
// A blocking TCP client with a one-second receive time-out that hands what it receives to the
// reply parser. The view keeps one; the live network link is CNet_Socket, and this one is only
// connected by callers that ask for it. OnBeforeSend is the hook called before every report the
// firmware update writes, on either link; it does nothing.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CClientSocket {
public:
    // Receives the bytes of one receive; returns 1 when they completed a frame.
    using Sink = std::function<int(const std::uint8_t *data, std::size_t n)>;

    static constexpr std::size_t kRxBufferSize = 400;

    CClientSocket() = default;
    ~CClientSocket();
    CClientSocket(const CClientSocket &) = delete;
    CClientSocket &operator=(const CClientSocket &) = delete;

    void SetSink(Sink sink) { m_sink = std::move(sink); }
    void EnableReceive(bool on) { m_receiveEnabled = on; }

    // Connects to an IPv4 address within timeoutMs. False on failure (error() says why).
    bool Connect(const std::string &address, int port, int timeoutMs = 3000);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    bool Send(const std::uint8_t *data, std::size_t n);
    // Waits for data (up to the receive time-out) and hands it to the sink. Returns the number of
    // bytes received, 0 on time-out, -1 when the connection has closed or failed.
    int OnReceive();
    // Receives up to 400 bytes into the buffer without handing them on.
    int ReceiveAll();

    void StartTimeout();
    void StopTimeout();
    bool TimeoutRunning() const { return m_timeoutRunning; }
    // Seconds since StartTimeout.
    double TimeoutElapsed() const;

    static void OnBeforeSend(const std::uint8_t *, std::size_t) {}

    bool FrameReceived() const { return m_frameReceived; }
    const std::uint8_t *Buffer() const { return m_rx; }
    const std::string &error() const { return m_error; }
    void SetReceiveTimeoutMs(int ms) { m_receiveTimeoutMs = ms; }

private:
    int Receive(int timeoutMs);

    int m_fd = -1;
    Sink m_sink;
    bool m_receiveEnabled = true;
    bool m_frameReceived = false;
    bool m_timeoutRunning = false;
    int m_receiveTimeoutMs = 1000;
    std::chrono::steady_clock::time_point m_timeoutStart{};
    std::uint8_t m_rx[kRxBufferSize] = {};
    std::string m_error;
};
