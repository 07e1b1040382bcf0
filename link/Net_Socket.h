#pragma once
// The TCP client to the device's Wi-Fi module (g_strWifiIp, g_nWifiPort): the subnet test, the
// echo, the connection with one-second time-outs, and the network write and read steps of the
// link worker. Owns the reachability thread, which tells the view when the device starts to answer.
//
// Threads: Connect/Close/Send/Receive run on the UI thread while a link opens or closes and on the
// worker during steps, never both at once (the view stops the worker before it closes). The
// reachability check runs on its own thread and touches only the reachable flag.

#include "link/LinkTransport.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPing_Net_Thread;

// Error codes of Receive, with the numbers the link has always used for them.
constexpr int NET_WOULDBLOCK = 10035;
constexpr int NET_CONNABORTED = 10053;
constexpr int NET_CONNRESET = 10054;
constexpr int NET_TIMEDOUT = 10060;

constexpr std::size_t kNetRxSize = 400;

class CNet_Socket : public ILinkTransport {
public:
    struct Adapter {
        std::string address;  // dotted IPv4
        std::string mask;
    };
    using AdapterSource = std::function<std::vector<Adapter>()>;
    using Pinger = std::function<bool(const std::string &address)>;

    CNet_Socket();  // starts the reachability thread (its timer stays off until StartPing)
    ~CNet_Socket() override;
    CNet_Socket(const CNet_Socket &) = delete;
    CNet_Socket &operator=(const CNet_Socket &) = delete;

    // ---- connection ---------------------------------------------------------------------------
    // Needs the reachable flag and a fresh successful echo; then connects with the send time-out.
    // Every connection starts with the 1,000 ms send and receive time-outs.
    bool Connect();
    void Close();
    bool IsConnected() const { return m_fd.load() >= 0; }
    // The whole buffer in one send (waiting at most the send time-out); false on an error.
    bool Send(const std::uint8_t *buffer, std::size_t length);
    // One receive of at most 400 bytes into RxBuffer(). count = bytes (0: the device closed the
    // connection), or -1 on an error. Returns the count, or NET_TIMEDOUT when nothing arrived within
    // the receive time-out, NET_CONNRESET / NET_CONNABORTED / NET_WOULDBLOCK, 0 for other errors.
    int Receive(int &count);
    int ReceiveShort(int &count);  // the same with at most 16 bytes
    bool SetRecvTimeout(int ms);   // on failure the connection is closed
    int GetRecvTimeout() const { return m_recvTimeoutMs; }
    const std::uint8_t *RxBuffer() const { return m_rx.data(); }

    // ---- reachability ---------------------------------------------------------------------------
    bool IsOnDeviceSubnet() const;
    // (adapter & mask) == (device & mask) over all 32 bits, with a non-zero mask.
    static bool SameSubnet(const std::string &mask, const std::string &adapter, const std::string &device);
    // IPv4 interfaces that are up, loopback included.
    static std::vector<Adapter> SystemAdapters();
    bool Ping() const;
    bool IsReachable() const { return m_reachable.load() != 0; }
    // Forgets that the device answered (its module restarts): the next check pings again.
    void ClearReachable() { m_reachable = 0; }
    // One reachability check (on the reachability thread). Gives up early once running is false.
    int CheckConnection(const std::atomic<bool> &running);
    // Starts / stops the 500 ms reachability timer. StopPing(false) also ends the thread.
    void StartPing();
    void StopPing(bool keepThread);
    // Cuts the reachability check's pauses short (shut-down).
    void Interrupt();

    // Test seams: where the adapter list and the echo come from (defaults: the system's).
    void SetAdapterSource(AdapterSource source) { m_adapters = std::move(source); }
    void SetPinger(Pinger pinger) { m_pinger = std::move(pinger); }
    // Pause after each check (1000 ms), shortened by tests that drive many checks.
    void SetCheckPause(int ms) { m_checkPauseMs = ms; }

    // ---- worker steps ---------------------------------------------------------------------------
    bool IsUsable() const override;
    void NormalStep(CKTVCommand &cmd, const NextChangeFn &next) override;
    void AfterStep(CKTVCommand &cmd, const PauseFn &pause) override;
    bool NetWriteStep(CKTVCommand &cmd, const NextChangeFn &next);
    bool NetReadStep(CKTVCommand &cmd, LinkClock::time_point stepStart);

    // A reconnect the last step asked for (run by AfterStep without the lock).
    bool ReconnectPending() const { return m_reconnect; }

private:
    int ReceiveInto(std::size_t max, int &count);
    bool Wait(int ms);
    void RequestReconnect(CKTVCommand &cmd);

    std::atomic<int> m_fd{-1};
    std::atomic<int> m_reachable{0};
    int m_sendTimeoutMs = 1000;
    int m_recvTimeoutMs = 1000;  // raised per stage by a firmware update
    std::array<std::uint8_t, kNetRxSize> m_rx{};
    bool m_reconnect = false;
    bool m_wifiResetPending = false;
    int m_checkPauseMs = 1000;
    AdapterSource m_adapters;
    Pinger m_pinger;
    std::unique_ptr<CPing_Net_Thread> m_pingThread;
    std::atomic<bool> m_interrupted{false};
    struct Waiter;
    std::unique_ptr<Waiter> m_waiter;
};
