#include "link/SerialPort.h"

#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "platform/GlobalData.h"
#include "protocol/CommandFrame.h"
#include "tests/sim/DeviceSim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct RecordingTarget : IMessageTarget {
    std::mutex m;
    std::vector<std::pair<unsigned, LPARAM>> posted;
    void PostMessage(unsigned msg, WPARAM, LPARAM l) override
    {
        std::lock_guard g(m);
        posted.emplace_back(msg, l);
    }
    size_t count()
    {
        std::lock_guard g(m);
        return posted.size();
    }
};

// Counts bytes; a reply "frame" is complete at the byte 0xAA.
struct EndByteReceiver : ISerialReceiver {
    std::atomic<int> bytes{0};
    std::atomic<int> resets{0};
    bool OnSerialByte(std::uint8_t b) override
    {
        ++bytes;
        return b == 0xAA;
    }
    void ResetParser() override { ++resets; }
};

// A pseudo terminal pair: the port under test opens the slave side, the test plays the device.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string name;
    Pty()
    {
        char buf[128];
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, buf, &raw, nullptr) == 0)
            name = buf;
    }
    ~Pty()
    {
        if (master >= 0)
            close(master);
        if (slave >= 0)
            close(slave);
    }
    std::vector<std::uint8_t> ReadSome(int waitMs)
    {
        std::vector<std::uint8_t> out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (std::chrono::steady_clock::now() < end) {
            std::uint8_t b[256];
            fd_set set;
            FD_ZERO(&set);
            FD_SET(master, &set);
            timeval tv{0, 20000};
            if (select(master + 1, &set, nullptr, nullptr, &tv) > 0) {
                const ssize_t n = read(master, b, sizeof b);
                if (n > 0)
                    out.insert(out.end(), b, b + n);
            } else if (!out.empty())
                break;
        }
        return out;
    }
};

template <class Pred>
// The bound only ends a failing wait; a loaded machine may need far longer than usual.
bool WaitFor(Pred p, int ms = 30000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (p())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return p();
}

}  // namespace

TEST(SerialPort, OpensAt57600RawAndExchangesAFrame)
{
    Pty pty;
    ASSERT_FALSE(pty.name.empty());
    RecordingTarget owner;
    EndByteReceiver rx;
    CSerialPort port;
    ASSERT_TRUE(port.InitPort(&owner, pty.name)) << port.error();
    termios tio{};
    ASSERT_EQ(tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B57600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);

    ASSERT_TRUE(port.StartMonitoring(&rx));
    const std::vector<std::uint8_t> frame = {0x91, 0x91, 0x91, 0xEE, 0xA2, 0x01, 0xAA};
    port.Submit(frame, 500);
    EXPECT_EQ(pty.ReadSome(10000), frame);
    const std::uint8_t reply[] = {0x91, 0xEE, 0x51, 0xAA};
    ASSERT_EQ(write(pty.master, reply, sizeof reply), 4);
    EXPECT_TRUE(WaitFor([&] { return port.Completed() == 1; }));
    EXPECT_FALSE(port.IsBusy());
    EXPECT_EQ(owner.count(), 0u);
    port.ClosePort();
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, RunsTheWorkersNormalStepAgainstTheDevice)
{
    // The serial port as the worker sees it: a link transport whose step never waits for the device.
    struct Parser : ISerialReceiver {
        CKTVCommand &cmd;
        explicit Parser(CKTVCommand &c) : cmd(c) {}
        bool OnSerialByte(std::uint8_t b) override
        {
            std::lock_guard lock(g_csLink);
            return cmd.OnSerialByte(b) == 1;
        }
        void ResetParser() override
        {
            std::lock_guard lock(g_csLink);
            cmd.ResetParser();
        }
    };
    ResetLinkState();
    Pty pty;
    ASSERT_FALSE(pty.name.empty());
    RecordingTarget owner;
    CKTVCommand cmd;
    cmd.SetOwner(&owner);
    Parser parser(cmd);
    zksim::Device device;
    CSerialPort port;
    ASSERT_TRUE(port.InitPort(&owner, pty.name)) << port.error();
    ASSERT_TRUE(port.StartMonitoring(&parser));
    ILinkTransport &link = port;
    EXPECT_TRUE(link.IsUsable());
    const auto step = [&] {
        std::lock_guard lock(g_csLink);
        link.NormalStep(cmd, [] { return BuildSystemRequestFrame(SYS_STATUS, 0); });
        return cmd.GetCount();
    };
    EXPECT_EQ(step(), 1);  // an empty queue takes the next change (here the status request) only
    EXPECT_TRUE(pty.ReadSome(50).empty());
    step();  // handed to the port's thread
    EXPECT_EQ(step(), 1) << "an exchange under way is not started again";
    const std::vector<std::uint8_t> request = pty.ReadSome(10000);
    const zksim::Response answer = device.Receive(request.data(), request.size());
    ASSERT_EQ(answer.chunks.size(), 1u);
    ASSERT_EQ(write(pty.master, answer.chunks[0].data(), answer.chunks[0].size()),
              static_cast<ssize_t>(answer.chunks[0].size()));
    EXPECT_TRUE(WaitFor([&] { return port.Completed() == 1; }));
    EXPECT_EQ(step(), 1) << "the answered head left the queue; the next change was taken";
    ASSERT_EQ(device.RequestCount(), 1u);
    EXPECT_EQ(device.Requests()[0].channel, SYS_STATUS);
    ASSERT_EQ(owner.count(), 1u);
    EXPECT_EQ(owner.posted[0].first, WM_DEV_STATUS_RECEIVED);
    port.ClosePort();
    EXPECT_FALSE(link.IsUsable());
}

TEST(SerialPort, UnansweredItemIsWrittenThreeTimesThenPostsTheLinkError)
{
    Pty pty;
    RecordingTarget owner;
    EndByteReceiver rx;
    CSerialPort port;
    ASSERT_TRUE(port.InitPort(&owner, pty.name)) << port.error();
    ASSERT_TRUE(port.StartMonitoring(&rx));
    const std::vector<std::uint8_t> frame = {1, 2, 3};
    port.Submit(frame, 100);
    std::vector<std::uint8_t> seen;
    ASSERT_TRUE(WaitFor([&] {
        auto b = pty.ReadSome(50);
        seen.insert(seen.end(), b.begin(), b.end());
        return owner.count() > 0;
    }));
    EXPECT_EQ(seen.size(), 9u);  // three writes
    EXPECT_EQ(rx.resets.load(), 2);
    std::lock_guard g(owner.m);
    EXPECT_EQ(owner.posted[0], (std::pair<unsigned, LPARAM>{WM_LINK_ERROR, 3}));
}

TEST(SerialPort, RefusesPortsItCannotOpenOrTakeAndClosesFast)
{
    CSerialPort port;
    EXPECT_FALSE(port.InitPort(nullptr, "/nonexistent/ttyZZ"));
    EXPECT_FALSE(port.error().empty());
    EXPECT_FALSE(port.IsOpen());

    Pty pty;
    CSerialPort first, second;
    ASSERT_TRUE(first.InitPort(nullptr, pty.name));
    EXPECT_FALSE(second.InitPort(nullptr, pty.name));  // held by the first, not shared

    // A failing configuration fails the opening instead of going on.
    EXPECT_FALSE(second.InitPort(nullptr, "/dev/null"));
    EXPECT_FALSE(second.IsOpen());

    EndByteReceiver rx;
    ASSERT_TRUE(first.StartMonitoring(&rx));
    // Closing while the thread waits for an item wakes it: a close that waited for nothing to
    // arrive would never return.
    EXPECT_TRUE(first.ClosePort());
    EXPECT_FALSE(first.IsOpen());
}

TEST(SerialPort, ListsPortsFromSysfsAndChoosesOne)
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    const fs::path root = fs::path(out ? out : "/tmp") / "serial_sysfs";
    fs::remove_all(root);
    const fs::path cls = root / "class/tty";
    const fs::path usbDev = root / "devices/pci0/usb1/1-1/1-1:1.0/ttyUSB0";
    const fs::path uart = root / "devices/platform/serial8250/tty/ttyS0";
    const fs::path ghost = root / "devices/platform/serial8250/tty/ttyS1";
    for (const auto &d : {cls / "ttyUSB0", cls / "ttyS0", cls / "ttyS1", cls / "tty0", usbDev, uart, ghost})
        fs::create_directories(d);
    std::ofstream(root / "devices/pci0/usb1/1-1/product") << "CP2102 USB to UART Bridge Controller\n";
    std::ofstream(cls / "ttyS1/type") << "0\n";
    std::ofstream(cls / "ttyS0/type") << "4\n";
    fs::create_directory_symlink(usbDev, cls / "ttyUSB0/device");
    fs::create_directory_symlink(uart, cls / "ttyS0/device");
    fs::create_directory_symlink(ghost, cls / "ttyS1/device");

    std::vector<SerialPortInfo> ports;
    ASSERT_TRUE(ListComPorts(ports, false, nullptr, cls.string(), "/dev"));
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].portName, "ttyS0");
    EXPECT_FALSE(ports[0].usbDevice);
    EXPECT_EQ(ports[1].portName, "ttyUSB0");
    EXPECT_TRUE(ports[1].usbDevice);
    EXPECT_EQ(ports[1].friendlyName, "CP2102 USB to UART Bridge Controller (ttyUSB0)");
    EXPECT_EQ(ports[1].description, "CP2102 USB to UART Bridge Controller");
    EXPECT_EQ(ports[1].devicePath, "/dev/ttyUSB0");

    // The open test drops ports that cannot be opened (none of these device nodes exists here).
    std::vector<SerialPortInfo> tested;
    ASSERT_TRUE(ListComPorts(tested, true, nullptr, cls.string(), (root / "nodev").string()));
    EXPECT_TRUE(tested.empty());

    std::string remembered = "ttyS0";
    EXPECT_EQ(ChooseComPort(ports, remembered), "ttyS0");
    remembered = "ttyACM9";
    EXPECT_EQ(ChooseComPort(ports, remembered), "ttyUSB0");
    EXPECT_EQ(remembered, "ttyUSB0");
    EXPECT_EQ(ChooseComPort({}, remembered), "NULL");
    EXPECT_EQ(remembered, "NULL");

    std::string error;
    EXPECT_FALSE(ListComPorts(ports, false, &error, (root / "missing").string()));
    EXPECT_FALSE(error.empty());
}
