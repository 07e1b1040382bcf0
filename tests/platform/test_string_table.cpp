#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Restores the language a test changed.
struct LanguageGuard {
    int saved = g_bChinese.load();
    ~LanguageGuard() { g_bChinese.store(saved); }
};

bool ValidUtf8(const std::string &s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2)
                return false;
        }
        i += n;
    }
    return true;
}

}  // namespace

TEST(StringTable, EveryIdHasBothTextsAsValidUtf8)
{
    const auto table = StringTable();
    ASSERT_EQ(table.size(), static_cast<std::size_t>(StrId::Count));
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(static_cast<std::size_t>(table[i].id), i);
        EXPECT_STRNE(table[i].zh, "");
        EXPECT_STRNE(table[i].en, "");
        EXPECT_TRUE(ValidUtf8(table[i].zh));
        EXPECT_TRUE(ValidUtf8(table[i].en));
    }
}

TEST(StringTable, TrFollowsTheLanguageFlag)
{
    LanguageGuard guard;
    struct Case {
        StrId id;
        const char *zh, *en;
    };
    // A few texts the device's users and the tests of other parts know by heart.
    const Case cases[] = {
        {StrId::Prompt, "提示", "Prompting"},
        {StrId::Warning, "警告", "Warning"},
        {StrId::UsbFail, "连接失败  请检查USB线缆是否插好或\n该设备已经连接上了另一软件!", "Connection failure!"},
        {StrId::ResetConfirmHeading, "警告!", "Warning! "},
        {StrId::MicLevelOff, " 关 ", " OFF "},
        {StrId::SpeakerFlMidTweeter, "前置左中高频", "FL-M && T"},
        {StrId::CharLenError, "字符长度错误!", "Char len error!"},
    };
    for (const Case &c : cases) {
        g_bChinese.store(1);
        EXPECT_STREQ(Tr(c.id), c.zh);
        g_bChinese.store(0);
        EXPECT_STREQ(Tr(c.id), c.en);
        EXPECT_STREQ(Tr(c.id, true), c.zh);
    }
    EXPECT_STREQ(Tr(StrId::Count), "");
    EXPECT_STREQ(Tr(static_cast<StrId>(0xFFFF), true), "");
}

TEST(StringTable, NamedMessageStringsAreTheTablesRows)
{
    EXPECT_EQ(g_strPromptCn, Tr(StrId::Prompt, true));
    EXPECT_EQ(g_strWarningEn, Tr(StrId::Warning, false));
    EXPECT_EQ(g_strWifiFailCn, Tr(StrId::WifiFail, true));
    EXPECT_EQ(g_strSoftwareVersionEn, "Software version DURE-RO1.01");
}

TEST(StringTable, ArgumentsAreInsertedAsTheyStand)
{
    struct Case {
        const char *pattern;
        std::initializer_list<std::string_view> args;
        std::string want;
    };
    const Case cases[] = {
        {"MPZ4-WV%1.01到MPZ4-WV%1.99", {"3"}, "MPZ4-WV3.01到MPZ4-WV3.99"},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"a %1 missing %2", {"x"}, "a x missing "},       // a missing argument leaves nothing
        {"100% %s %d %", {"never"}, "100% %s %d %"},      // no other mark is read
        {"%1", {"%2 stays %1"}, "%2 stays %1"},           // arguments are not scanned again
        {"", {"x"}, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FillArgs(c.pattern, c.args), c.want) << c.pattern;

    LanguageGuard guard;
    g_bChinese.store(0);
    EXPECT_EQ(TrArgs(StrId::MicLevel, {"3"}), " 3Level");
    EXPECT_EQ(TrArgs(StrId::MicLevel, true, {"3"}), " 3级");
}
