// The simulated device as a program of its own, for measuring the real program from outside:
// listens on 127.0.0.1, prints "port <n>" and serves until SIGTERM or SIGINT, then prints how many
// frames it received and whether the connection read reached the last output block.
//
//   build/bench/zk470-sim > port.txt &        # then point the settings at 127.0.0.1 and that port
//   XDG_CONFIG_HOME=... /usr/bin/time -v timeout -s TERM 5 build/app/zk470
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimTcpServer.h"

#include <csignal>
#include <cstdio>

int main()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    // Blocked before the server's thread starts, so only sigwait below sees them.
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    zksim::Device dev;
    zksim::TcpServer server(dev);
    std::printf("port %u\n", unsigned(server.Port()));
    std::fflush(stdout);
    int sig = 0;
    sigwait(&set, &sig);
    int frames = 0;
    bool read = false;
    for (const auto &f : dev.Requests()) {
        ++frames;
        read |= f.cmd == 0xA2 && f.type == 4 && f.channel == 7;
    }
    std::printf("frames %d connection-read %s\n", frames, read ? "complete" : "incomplete");
    return 0;
}
