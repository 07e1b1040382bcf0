#pragma once
// The serial transport (link mode 3): a tty at 57600 baud 8N1 with RTS raised, and a
// communication thread that writes the current frame and feeds the reply byte by byte to the
// reply parser, with the per-item time-outs and attempts of the serial link. ListComPorts lists
// the serial ports of the system from /sys/class/tty.

#include "link/LinkMessages.h"
#include "link/LinkTransport.h"
#include "platform/ViewServices.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Where the serial thread hands the bytes it reads. OnSerialByte returns true once a complete
// reply frame has been handled; ResetParser drops a half-assembled frame before a rewrite.
class ISerialReceiver {
public:
    virtual ~ISerialReceiver() = default;
    virtual bool OnSerialByte(std::uint8_t byte) = 0;
    virtual void ResetParser() = 0;
};

// The serial link's error is WM_LINK_ERROR with lParam 3.
constexpr LPARAM kSerialLinkErrorParam = 3;

class CSerialPort : public ILinkTransport {
public:
    CSerialPort() = default;
    ~CSerialPort() override;
    CSerialPort(const CSerialPort &) = delete;
    CSerialPort &operator=(const CSerialPort &) = delete;

    // Opens and configures the port. portName is a device path ("/dev/ttyUSB0") or a name under
    // /dev ("ttyUSB0"). A port that cannot be opened, taken exclusively or configured is closed
    // again and the result is false; error() then says why.
    bool InitPort(IMessageTarget *owner, const std::string &portName, unsigned baud = 57600,
                  char parity = 'N', unsigned dataBits = 8, unsigned stopBits = 1,
                  unsigned eventMask = 9, unsigned writeBufferSize = 512);
    // Starts the communication thread; false when the port is not open or the thread runs.
    bool StartMonitoring(ISerialReceiver *receiver);
    // Ends the thread and closes the port. Always true.
    bool ClosePort();
    // Marks the port failed, ends the exchange and posts the link error (wParam 0, lParam 3).
    void ClosePortOnError();

    // Makes frame the current item. timeoutMs is the wait for its reply: 5000 during a firmware
    // update, 2000 for the last item of a batch, 500 otherwise (SerialReplyTimeoutMs). stage is
    // the firmware-update stage of the item (0 for ordinary frames).
    void Submit(std::vector<std::uint8_t> frame, int timeoutMs, int stage = 0);
    // True while a submitted item waits for its reply.
    bool IsBusy() const;
    // Number of completed exchanges (replies handled) since the port was opened.
    unsigned Completed() const { return m_completed.load(); }

    bool IsOpen() const { return m_fd.load() >= 0; }
    const std::string &PortName() const { return m_portName; }
    const std::string &error() const { return m_error; }
    int fd() const { return m_fd.load(); }

    static int SerialReplyTimeoutMs(bool updating, bool lastOrNotify);

    // ---- the worker's normal step (under g_csLink) -------------------------------------------
    bool IsUsable() const override { return IsOpen(); }
    // An empty queue takes the next change. Otherwise the head is handed to the port's thread
    // unless an exchange is under way; the thread feeds the reply to the parser, which takes the
    // head off the queue, so the step itself never waits for the device.
    void NormalStep(CKTVCommand &cmd, const NextChangeFn &next) override;

private:
    void ThreadMain();
    bool WriteFrame(const std::vector<std::uint8_t> &frame);
    // Reads until the receiver has a frame or timeoutMs pass; 1 frame, 0 time-out, -1 error.
    int ReceiveReply(int timeoutMs);
    void CloseFd();

    IMessageTarget *m_owner = nullptr;
    ISerialReceiver *m_receiver = nullptr;
    std::string m_portName;
    std::string m_error;
    unsigned m_eventMask = 0;
    std::vector<std::uint8_t> m_writeBuffer;
    std::atomic<int> m_fd{-1};
    std::mutex m_portLock;  // held around every use of the descriptor

    std::thread m_thread;
    std::atomic<bool> m_shutdown{false};
    std::atomic<bool> m_stop{false};
    int m_wakePipe[2] = {-1, -1};

    mutable std::mutex m_itemLock;
    std::condition_variable m_itemCv;
    std::vector<std::uint8_t> m_item;
    int m_itemTimeoutMs = 500;
    int m_itemStage = 0;
    bool m_itemPending = false;
    std::atomic<unsigned> m_completed{0};
};

// One serial port of the system.
struct SerialPortInfo {
    std::string devicePath;    // "/dev/ttyUSB0"
    std::string portName;      // "ttyUSB0"
    std::string friendlyName;  // "CP2102 USB to UART Bridge Controller (ttyUSB0)"
    bool usbDevice = false;
    std::string description;   // the friendly name without its bracketed port name
};

// Lists the serial ports under sysClassTty (each entry with a "device" link; legacy UART slots
// whose "type" is 0 have no hardware and are skipped), devices under devRoot. With openTest, a
// port that cannot be opened exclusively for reading and writing is dropped. Returns false with
// error set when the folder cannot be read.
bool ListComPorts(std::vector<SerialPortInfo> &ports, bool openTest, std::string *error = nullptr,
                  const std::string &sysClassTty = "/sys/class/tty", const std::string &devRoot = "/dev");

// Picks the port a selection combo shows: the remembered name when listed, else the first USB
// port, else the first port; "NULL" when there is none. Also returns it through remembered.
std::string ChooseComPort(const std::vector<SerialPortInfo> &ports, std::string &remembered);
