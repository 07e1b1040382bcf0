#include "platform/Gbk.h"

#include <gtest/gtest.h>

TEST(Gbk, ConvertsBothWays)
{
    struct Case {
        std::string utf8;
        std::string gbk;
    };
    const Case cases[] = {
        {"", ""},
        {"Custom", "Custom"},
        {"中文", "\xD6\xD0\xCE\xC4"},
        {"低音1", "\xB5\xCD\xD2\xF4" "1"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
    }
}

TEST(Gbk, RefusesWhatItCannotEncode)
{
    EXPECT_FALSE(Utf8ToGbk("\xF0\x9F\x8E\xB5"));  // a character GBK lacks
    EXPECT_FALSE(Utf8ToGbk("ab\xC3"));            // UTF-8 cut in a sequence
    EXPECT_FALSE(Utf8ToGbk("\xFF"));              // not UTF-8 at all
}

TEST(Gbk, ReplacesUndecodableBytesAndKeepsTheRest)
{
    // A lone lead byte at the end, and a lead byte followed by an invalid trail byte.
    EXPECT_EQ(GbkToUtf8("ab\xD6"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(GbkToUtf8("\xFF" "A\xD6\xD0"), "\xEF\xBF\xBD" "A中");
}
