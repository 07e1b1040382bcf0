#include "link/LinkState.h"

#include <mutex>

std::atomic<int> g_bUsbOpen{0};
std::atomic<int> g_bNetOpen{0};
std::atomic<int> g_bNeedsFirmware{0};
std::atomic<int> g_bHelloPhase{0};
std::atomic<int> g_bUpdating{0};
std::atomic<int> g_bUpdateFinished{0};
std::atomic<int> g_bUpdateCancelled{0};
std::atomic<int> g_bMcuImagePresent{0};

std::atomic<ILinkProgress *> g_pXferBar{nullptr};
std::atomic<ILinkProgress *> g_pUpdateBar{nullptr};
std::atomic<ILinkTip *> g_pUpdateTip{nullptr};

namespace {
std::mutex g_versionMutex;
std::string g_version;
}  // namespace

std::string GetDeviceVersion()
{
    std::lock_guard lock(g_versionMutex);
    return g_version;
}

void SetDeviceVersion(const std::string &text)
{
    std::lock_guard lock(g_versionMutex);
    g_version = text.substr(0, kDeviceVersionSize - 1);
}

void ResetLinkState()
{
    g_bUsbOpen = 0;
    g_bNetOpen = 0;
    g_bNeedsFirmware = 0;
    g_bHelloPhase = 0;
    g_bUpdating = 0;
    g_bUpdateFinished = 0;
    g_bUpdateCancelled = 0;
    g_bMcuImagePresent = 0;
    SetDeviceVersion({});
}

void ResetUsbLinkFlags() { g_bUsbOpen = 0; }

void ResetNetLinkFlags() { g_bNetOpen = 0; }

void ResetAllLinkFlags()
{
    ResetUsbLinkFlags();
    ResetNetLinkFlags();
}
