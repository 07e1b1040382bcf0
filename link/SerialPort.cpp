#include "link/SerialPort.h"

#include "link/KTVCommand.h"
#include "link/LinkState.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

speed_t BaudConstant(unsigned baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return 0;
    }
}

std::string ErrnoText(const char *call, const std::string &port)
{
    return std::string("WARNING:  ") + call + " failed with error " + std::to_string(errno) + ": " +
           std::strerror(errno) + "\nPort: " + port;
}

}  // namespace

CSerialPort::~CSerialPort()
{
    ClosePort();
}

int CSerialPort::SerialReplyTimeoutMs(bool updating, bool lastOrNotify)
{
    if (updating)
        return 5000;
    return lastOrNotify ? 2000 : 500;
}

bool CSerialPort::InitPort(IMessageTarget *owner, const std::string &portName, unsigned baud, char parity,
                           unsigned dataBits, unsigned stopBits, unsigned eventMask, unsigned writeBufferSize)
{
    ClosePort();
    m_owner = owner;
    m_eventMask = eventMask;
    m_writeBuffer.assign(writeBufferSize, 0);
    m_portName = portName.empty() || portName[0] == '/' ? portName : "/dev/" + portName;
    m_error.clear();
    m_stop = false;

    std::lock_guard lock(m_portLock);
    const int fd = ::open(m_portName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = ErrnoText("open()", m_portName);
        return false;
    }
    // Without sharing: another program (or another instance) holding the port keeps it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_error = ErrnoText("flock()", m_portName);
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);

    auto fail = [&](const char *call) {
        m_error = ErrnoText(call, m_portName);
        ::close(fd);
        return false;
    };

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail("tcgetattr()");
    ::cfmakeraw(&tio);
    const speed_t speed = BaudConstant(baud);
    if (speed == 0) {
        errno = EINVAL;
        return fail("cfsetspeed()");
    }
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: errno = EINVAL; return fail("data bits");
    }
    switch (parity) {
    case 'N': case 'n': break;
    case 'E': case 'e': tio.c_cflag |= PARENB; break;
    case 'O': case 'o': tio.c_cflag |= PARENB | PARODD; break;
    default: errno = EINVAL; return fail("parity");
    }
    if (stopBits == 2)
        tio.c_cflag |= CSTOPB;
    else if (stopBits != 1) {
        errno = EINVAL;
        return fail("stop bits");
    }
    tio.c_cflag |= CLOCAL | CREAD;
    // Reads are bounded by poll() with the link's one-second time-outs, not by VTIME.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail("tcsetattr()");
    // Raise RTS. A pseudo terminal has no modem lines: that is no fault of the configuration.
    int rts = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &rts) != 0 && errno != ENOTTY && errno != EINVAL)
        return fail("TIOCMBIS(RTS)");
    ::tcflush(fd, TCIOFLUSH);
    m_fd = fd;
    return true;
}

bool CSerialPort::StartMonitoring(ISerialReceiver *receiver)
{
    if (m_fd.load() < 0 || m_thread.joinable())
        return false;
    if (::pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    m_receiver = receiver;
    m_shutdown = false;
    m_thread = std::thread([this] { ThreadMain(); });
    return true;
}

void CSerialPort::CloseFd()
{
    std::lock_guard lock(m_portLock);
    const int fd = m_fd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

bool CSerialPort::ClosePort()
{
    m_shutdown = true;
    {
        std::lock_guard lock(m_itemLock);
        m_itemCv.notify_all();
    }
    if (m_wakePipe[1] >= 0) {
        const char c = 1;
        (void)!::write(m_wakePipe[1], &c, 1);
    }
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
    for (int &p : m_wakePipe) {
        if (p >= 0)
            ::close(p);
        p = -1;
    }
    CloseFd();
    std::lock_guard lock(m_itemLock);
    m_item.clear();
    m_itemPending = false;
    return true;
}

void CSerialPort::ClosePortOnError()
{
    m_stop = true;
    {
        std::lock_guard lock(m_itemLock);
        m_itemPending = false;
        m_itemCv.notify_all();
    }
    if (m_owner)
        m_owner->PostMessage(WM_LINK_ERROR, 0, kSerialLinkErrorParam);
}

void CSerialPort::NormalStep(CKTVCommand &cmd, const NextChangeFn &next)
{
    if (!IsOpen())
        return;
    const CSendData *head = cmd.GetFront();
    if (!head) {
        if (next) {
            if (auto frame = next())
                cmd.Add(std::move(frame));
        }
        return;
    }
    if (IsBusy())
        return;
    const bool lastOrNotify = head->GetLastInBatch() != 0 || head->GetNotifyDone() != 0;
    Submit(head->Frame(), SerialReplyTimeoutMs(g_bUpdating.load() != 0, lastOrNotify), head->GetCommand());
}

void CSerialPort::Submit(std::vector<std::uint8_t> frame, int timeoutMs, int stage)
{
    std::lock_guard lock(m_itemLock);
    m_item = std::move(frame);
    m_itemTimeoutMs = timeoutMs;
    m_itemStage = stage;
    m_itemPending = true;
    m_itemCv.notify_all();
}

bool CSerialPort::IsBusy() const
{
    std::lock_guard lock(m_itemLock);
    return m_itemPending;
}

bool CSerialPort::WriteFrame(const std::vector<std::uint8_t> &frame)
{
    std::lock_guard lock(m_portLock);
    const int fd = m_fd.load();
    if (fd < 0)
        return false;
    ::tcflush(fd, TCIOFLUSH);
    std::size_t sent = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(1000);  // write time-out
    while (sent < frame.size()) {
        const ssize_t n = ::write(fd, frame.data() + sent, frame.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd, POLLOUT, 0};
        const int left = MsLeft(deadline);
        if (left == 0 || ::poll(&p, 1, left) < 0)
            return false;
    }
    ::tcdrain(fd);
    return true;
}

int CSerialPort::ReceiveReply(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (m_shutdown || m_stop)
            return -1;
        const int fd = m_fd.load();
        if (fd < 0)
            return -1;
        pollfd p[2] = {{fd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        const int left = MsLeft(deadline);
        const int r = ::poll(p, 2, left);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            return 0;
        if (p[1].revents)
            return -1;  // woken to shut down
        if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return -1;
        std::uint8_t buf[64];
        ssize_t n;
        {
            std::lock_guard lock(m_portLock);
            n = ::read(fd, buf, sizeof buf);
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return -1;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (m_receiver && m_receiver->OnSerialByte(buf[i]))
                return 1;  // bytes after the reply belong to no request: dropped with the flush
        }
        if (MsLeft(deadline) == 0)
            return 0;
    }
}

void CSerialPort::ThreadMain()
{
    {
        std::lock_guard lock(m_portLock);
        if (m_fd.load() >= 0)
            ::tcflush(m_fd.load(), TCIOFLUSH);
    }
    while (!m_shutdown && !m_stop) {
        std::vector<std::uint8_t> frame;
        int timeoutMs;
        int stage;
        {
            std::unique_lock lock(m_itemLock);
            m_itemCv.wait(lock, [&] { return m_shutdown || m_stop || m_itemPending; });
            if (m_shutdown || m_stop)
                break;
            frame = m_item;
            timeoutMs = m_itemTimeoutMs;
            stage = m_itemStage;
        }
        // Up to three writes of the item; the parser is reset before each rewrite.
        bool answered = false;
        bool failed = false;
        for (int attempt = 0; attempt < 3 && !answered && !failed; ++attempt) {
            if (attempt > 0 && m_receiver)
                m_receiver->ResetParser();
            if (!WriteFrame(frame)) {
                failed = true;
                break;
            }
            // The device restarts into its loader after the update begins: give it time.
            std::this_thread::sleep_for(std::chrono::milliseconds(stage == 0x36 ? 4000 : 10));
            const int r = ReceiveReply(timeoutMs);
            if (r > 0)
                answered = true;
            else if (r < 0)
                failed = true;
        }
        if (m_shutdown)
            break;
        if (!answered) {
            ClosePortOnError();
            break;
        }
        ++m_completed;
        std::lock_guard lock(m_itemLock);
        m_itemPending = false;
        m_itemCv.notify_all();
    }
}

// ---- port list --------------------------------------------------------------------------------

namespace {

std::string ReadSmallFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buf[256];
    const ssize_t n = ::read(fd, buf, sizeof buf - 1);
    ::close(fd);
    if (n <= 0)
        return {};
    std::string s(buf, static_cast<std::size_t>(n));
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

std::string RealPath(const std::string &path)
{
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// The product string of the USB device above a tty's device folder, if any.
std::string UsbProduct(std::string devicePath)
{
    for (int up = 0; up < 4 && devicePath.size() > 1; ++up) {
        const std::string product = ReadSmallFile(devicePath + "/product");
        if (!product.empty())
            return product;
        const auto slash = devicePath.find_last_of('/');
        if (slash == std::string::npos || slash == 0)
            break;
        devicePath.resize(slash);
    }
    return {};
}

bool CanOpenExclusively(const std::string &devicePath)
{
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

bool ListComPorts(std::vector<SerialPortInfo> &ports, bool openTest, std::string *error,
                  const std::string &sysClassTty, const std::string &devRoot)
{
    ports.clear();
    DIR *dir = ::opendir(sysClassTty.c_str());
    if (!dir) {
        if (error)
            *error = "Could not read from " + sysClassTty;
        return false;
    }
    std::vector<std::string> names;
    while (const dirent *e = ::readdir(dir)) {
        if (e->d_name[0] != '.')
            names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());

    for (const std::string &name : names) {
        const std::string entry = sysClassTty + "/" + name;
        const std::string device = RealPath(entry + "/device");
        if (device.empty())
            continue;  // virtual terminals and pseudo terminals have no device
        const std::string type = ReadSmallFile(entry + "/type");
        if (type == "0")
            continue;  // a legacy UART slot with no hardware behind it
        SerialPortInfo info;
        info.portName = name;
        info.devicePath = devRoot + "/" + name;
        info.usbDevice = device.find("/usb") != std::string::npos;
        std::string description = info.usbDevice ? UsbProduct(device) : std::string();
        if (description.empty())
            description = info.usbDevice ? "USB Serial Port" : "Serial Port";
        info.friendlyName = description + " (" + name + ")";
        info.description = description;
        ports.push_back(std::move(info));
    }

    if (openTest) {
        std::erase_if(ports, [](const SerialPortInfo &p) { return !CanOpenExclusively(p.devicePath); });
    }
    for (SerialPortInfo &p : ports) {
        if (p.friendlyName.empty())
            p.friendlyName = p.portName;
        if (p.description.empty()) {
            p.description = p.friendlyName;
            const auto cut = p.description.find(" (");
            if (cut != std::string::npos && cut > 0 && p.description.back() == ')')
                p.description.resize(cut);
        }
    }
    return true;
}

std::string ChooseComPort(const std::vector<SerialPortInfo> &ports, std::string &remembered)
{
    std::vector<const SerialPortInfo *> named;
    for (const auto &p : ports) {
        if (!p.portName.empty())
            named.push_back(&p);
    }
    if (named.empty()) {
        remembered = "NULL";
        return remembered;
    }
    for (const auto *p : named) {
        if (p->portName == remembered)
            return remembered;
    }
    for (const auto *p : named) {
        if (p->usbDevice) {
            remembered = p->portName;
            return remembered;
        }
    }
    remembered = named.front()->portName;
    return remembered;
}
