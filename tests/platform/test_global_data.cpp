#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

TEST(GlobalData, FormatHexPadded)
{
    struct Case {
        int value;
        int radix;
        const char *want;
    };
    const Case cases[] = {
        {26, 16, "001A"}, {255, 10, "255"}, {65535, 16, "FFFF"}, {0, 16, "0000"},
        {0x12345, 16, "12345"}, {-5, 10, "-5"}, {-1, 16, "FFFFFFFF"}, {5, 2, "101"},
        {35, 36, "Z"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatHexPadded(c.value, c.radix), c.want) << c.value << " radix " << c.radix;
    EXPECT_EQ(FormatHexPadded(5, 1), "");
}

TEST(GlobalData, FormatDelayTextDividesByTheCounterRate)
{
    EXPECT_EQ(FormatDelayText(g_liPerfFreq.load()), "延时(秒)=1.000000 ");
    EXPECT_EQ(FormatDelayText(g_liPerfFreq.load() / 4), "延时(秒)=0.250000 ");
}

TEST(GlobalData, PostToViewReachesTheViewOnceSet)
{
    PostToView(1000, 1, 2);  // no view yet: dropped, not a crash
    CRecordingMessageTarget view;
    g_pNotifyView.store(&view);
    PostToView(1001, 3, -4);
    g_pNotifyView.store(nullptr);
    PostToView(1002);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0], (CRecordingMessageTarget::Message{1001, 3, -4}));
}

TEST(GlobalData, BilingualFollowsTheLanguage)
{
    g_bChinese.store(1);
    EXPECT_EQ(Bilingual(g_strWarningCn, g_strWarningEn), "警告");
    g_bChinese.store(0);
    EXPECT_EQ(Bilingual(g_strWarningCn, g_strWarningEn), "Warning");
}

TEST(GlobalData, ResetSerialRxStateClearsEveryMark)
{
    for (auto &b : g_SerialRxState)
        b.store(0x5A);
    ResetSerialRxState();
    for (auto &b : g_SerialFlags)
        EXPECT_EQ(b.load(), 0);
}
