// The real program, started headless with settings that name the simulated device at 127.0.0.1:
// it connects by itself, checks the version, reads the device and polls its status.
#include "platform/Settings.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimTcpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

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

fs::path ConfigDir(const std::string &name)
{
    return BuildDir() / "test-output" / name;
}

fs::path SettingsFile(const std::string &name)
{
    return ConfigDir(name) / "ZK-470" / "QX-ZK-470-GV1.00_GB2312.conf";
}

// Starts the program headless with settings that name the simulator's port at 127.0.0.1 and
// nothing else, in an environment with `env` added (an empty value removes the variable); the
// child's pid, or -1.
pid_t StartProgram(const zksim::TcpServer &server, const std::string &name,
                   const std::vector<std::pair<std::string, std::string>> &env = {})
{
    const fs::path program = BuildDir() / "app" / "zk470";
    if (!fs::exists(program))
        return -1;
    const fs::path config = ConfigDir(name);
    fs::remove_all(config);
    fs::create_directories(config / "ZK-470");
    std::ofstream(SettingsFile(name)) << "[Network]\nAddress=127.0.0.1\nPort=" << server.Port() << "\n";

    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        for (const auto &[var, value] : env)
            value.empty() ? unsetenv(var.c_str()) : setenv(var.c_str(), value.c_str(), 1);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits for the child to end; false when it has not ended within the bound (it is then killed).
bool WaitForExit(pid_t pid, int &status, std::chrono::seconds bound)
{
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return false;
}

}  // namespace

TEST(Program, ConnectsToTheConfiguredDeviceReadsItAndPollsItsStatus)
{
    zksim::Device dev;
    zksim::TcpServer server(dev);
    const pid_t pid = StartProgram(server, "program_e2e_config");
    ASSERT_GT(pid, 0) << "the program is built and starts";

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

TEST(Program, RegistrationSwitchEndsItAtOnceWithoutAWindow)
{
    const fs::path program = BuildDir() / "app" / "zk470";
    ASSERT_TRUE(fs::exists(program));
    for (const char *sw : {"/RegServer", "-unregserver"}) {
        const pid_t pid = fork();
        if (pid == 0) {
            // No display of any kind: the program would fail at once if it tried to open a window.
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            execl(program.c_str(), program.c_str(), sw, static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        ASSERT_TRUE(WaitForExit(pid, status, std::chrono::seconds(30))) << sw;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << sw;
    }
}

TEST(Program, SigtermDuringATransferStopsTheLinkAndEndsTheProgram)
{
    zksim::Device dev;
    // Each reply comes late (within the link's one-second wait), so the connection read of 19
    // frames keeps the transfer popup up for many seconds.
    dev.SetReplyDelay(600);
    zksim::TcpServer server(dev);
    const pid_t pid = StartProgram(server, "program_e2e_sigterm_config");
    ASSERT_GT(pid, 0) << "the program is built and starts";

    // The first machine-preset name request follows the version check: the popup is up.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    bool transferring = false;
    while (std::chrono::steady_clock::now() < end && !transferring) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const auto &f : dev.Requests())
            transferring |= f.cmd == 0xA2 && f.type == 9 && f.channel == 0 && f.preset == 1;
    }
    ASSERT_TRUE(transferring);
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(WaitForExit(pid, status, std::chrono::seconds(60))) << "the program ends on SIGTERM";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Count(dev, 0xA2, 4, 7), 0) << "it ended before the transfer did";
}

// A first start with nothing saved but the device's address: the language follows the session's
// locale and is saved, and every setting the program keeps is created with its default.
TEST(Program, AFirstStartSavesTheLocalesLanguageAndTheDefaultSettings)
{
    struct Case {
        const char *lang, *language;
    };
    for (const Case c : {Case{"zh_CN.UTF-8", "Chinese"}, Case{"C", "English"}}) {
        SCOPED_TRACE(c.lang);
        zksim::Device dev;
        zksim::TcpServer server(dev);
        const std::string name = std::string("program_e2e_first_start_") + c.language;
        const fs::path home = ConfigDir(name) / "home";
        const pid_t pid = StartProgram(server, name,
                                       {{"LANG", c.lang}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"HOME", home.string()}});
        ASSERT_GT(pid, 0) << "the program is built and starts";
        // The connection comes after the initial update, which writes the settings.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::chrono::steady_clock::now() < end && Count(dev, 0xA2, 4, 0) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(pid, SIGTERM);
        int status = 0;
        ASSERT_TRUE(WaitForExit(pid, status, std::chrono::seconds(60)));
        ASSERT_GE(Count(dev, 0xA2, 4, 0), 1) << "the program started and connected";

        std::stringstream text;
        text << std::ifstream(SettingsFile(name)).rdbuf();
        std::vector<std::string> groups;
        for (const ini::Group &g : ini::Parse(text.str()))
            groups.push_back(g.name);
        EXPECT_EQ(groups, (std::vector<std::string>{"Network", "DspMcu", "PC_File", "Line_Set"})) << text.str();

        const CFileSettings saved(SettingsFile(name).string());
        const std::string documents = (home / "Documents").string();
        EXPECT_EQ(saved.Keys("DspMcu"), (std::vector<std::string>{"Name", "Path", "Language"}));
        EXPECT_EQ(saved.Read("DspMcu", "Language"), c.language);
        EXPECT_EQ(saved.Read("DspMcu", "Name"), "") << "no firmware file chosen yet";
        EXPECT_EQ(saved.Read("DspMcu", "Path"), documents);
        EXPECT_EQ(saved.Keys("PC_File"), (std::vector<std::string>{"File_Path", "AllFile_Path", "Map_Path", "Hex"}));
        for (const char *key : {"File_Path", "AllFile_Path", "Map_Path", "Hex"})
            EXPECT_EQ(saved.Read("PC_File", key), documents) << key;
        EXPECT_EQ(saved.Read("Line_Set", "Line_Set"), "1");
        EXPECT_EQ(saved.Read("Network", "Address"), "127.0.0.1") << "the address is kept";
        EXPECT_FALSE(fs::exists(documents)) << "Documents is named, never created";
    }
}
