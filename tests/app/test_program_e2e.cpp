// The real program, started headless with settings that name the simulated device at 127.0.0.1:
// it connects by itself, checks the version, reads the device and polls its status.
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimTcpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path BuildDir()
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    return out ? fs::path(out).parent_path() : fs::current_path();
}

int Count(const zksim::Device &dev, int cmd, int type, int channel)
{
    int n = 0;
    for (const auto &f : dev.Requests())
        n += f.cmd == cmd && f.type == type && f.channel == channel;
    return n;
}

}  // namespace

TEST(Program, ConnectsToTheConfiguredDeviceReadsItAndPollsItsStatus)
{
    const fs::path program = BuildDir() / "app" / "zk470";
    ASSERT_TRUE(fs::exists(program)) << program;

    zksim::Device dev;
    zksim::TcpServer server(dev);
    const fs::path config = BuildDir() / "test-output" / "program_e2e_config";
    fs::remove_all(config);
    fs::create_directories(config / "ZK-470");
    std::ofstream(config / "ZK-470" / "QX-ZK-470-GV1.00_GB2312.conf")
        << "[Network]\nAddress=127.0.0.1\nPort=" << server.Port() << "\n";

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }

    // The bound only ends a failing wait: the program normally gets there within a couple of seconds.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    bool read = false, polled = false;
    while (std::chrono::steady_clock::now() < end && !(read && polled)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        read = Count(dev, 0xA2, 4, 7) >= 1;
        polled = read && Count(dev, 0xA2, 9, 3) >= 2;
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);

    const auto reqs = dev.Requests();
    ASSERT_GE(reqs.size(), 2u);
    EXPECT_EQ(reqs[0].channel, 0xCC) << "hello first";
    EXPECT_EQ(reqs[1].channel, 4) << "then the version";
    EXPECT_TRUE(read) << "the connection read reached the last output block";
    EXPECT_EQ(Count(dev, 0xA2, 4, 0), 1);
    for (int p = 1; p <= 6; ++p) {
        int names = 0;
        for (const auto &f : reqs)
            names += f.cmd == 0xA2 && f.type == 9 && f.channel == 0 && f.preset == p;
        EXPECT_EQ(names, 1) << p;
    }
    EXPECT_TRUE(polled) << "the status is polled while idle";
    EXPECT_TRUE(WIFEXITED(status)) << "the program ends on SIGTERM";
}
