#include "link/LinkState.h"

#include <gtest/gtest.h>

TEST(LinkState, ClosingOneLinkClearsOnlyItsFlag)
{
    g_bUsbOpen = 1;
    g_bNetOpen = 1;
    ResetUsbLinkFlags();
    EXPECT_EQ(g_bUsbOpen, 0);
    EXPECT_EQ(g_bNetOpen, 1);
    ResetNetLinkFlags();
    EXPECT_EQ(g_bNetOpen, 0);
    g_bUsbOpen = 1;
    g_bNetOpen = 1;
    ResetAllLinkFlags();
    EXPECT_EQ(g_bUsbOpen + g_bNetOpen, 0);
}

TEST(LinkState, ResetClearsEveryFlagAndTheVersion)
{
    for (auto *flag : {&g_bUsbOpen, &g_bNetOpen, &g_bNeedsFirmware, &g_bHelloPhase, &g_bUpdating, &g_bUpdateFinished,
                       &g_bUpdateCancelled, &g_bMcuImagePresent})
        *flag = 1;
    SetDeviceVersion("V1.23456789ABC");
    EXPECT_EQ(GetDeviceVersion(), "V1.23456789");
    ResetLinkState();
    for (auto *flag : {&g_bUsbOpen, &g_bNetOpen, &g_bNeedsFirmware, &g_bHelloPhase, &g_bUpdating, &g_bUpdateFinished,
                       &g_bUpdateCancelled, &g_bMcuImagePresent})
        EXPECT_EQ(flag->load(), 0);
    EXPECT_EQ(GetDeviceVersion(), "");
}
