// The main view's plain rules: the preset name cut from a typed text, the mix table and its
// message, the keys, the source list and the outputs' link looks.
#include "app/ViewLogic.h"

#include "platform/Gbk.h"

#include <gtest/gtest.h>

namespace {

std::string Gbk(const char *utf8)
{
    auto gbk = Utf8ToGbk(utf8);
    EXPECT_TRUE(gbk.has_value()) << utf8;
    return gbk.value_or("");
}

}  // namespace

TEST(PresetNameText, CutAtWholeCharactersAndStoredAsAscii)
{
    struct Case {
        const char *what;
        std::string text;    // GBK
        std::string shown;   // GBK
        std::string stored;
    };
    const Case cases[] = {
        {"short ASCII name", "Preset 12", "Preset 12", "Preset 12"},
        {"14 ASCII: 13 stored, 12 shown", "ABCDEFGHIJKLMN", "ABCDEFGHIJKL", "ABCDEFGHIJKLM"},
        {"13 ASCII: the last is not shown", "ABCDEFGHIJKLM", "ABCDEFGHIJKL", "ABCDEFGHIJKLM"},
        {"Chinese only: whole characters, nothing stored", Gbk("中文场景名称测试"), Gbk("中文场景名称"), ""},
        {"a character cut at byte 13 is dropped", "ABCDEFGHIJKL" + Gbk("中"), "ABCDEFGHIJKL", "ABCDEFGHIJKL"},
        {"a character in bytes 11 and 12 stays", "ABCDEFGHIJK" + Gbk("中"), "ABCDEFGHIJK" + Gbk("中"),
         "ABCDEFGHIJK"},
        {"after a character ending at 11 byte 12 shows", "ABCDEFGHIJ" + Gbk("中") + "Z",
         "ABCDEFGHIJ" + Gbk("中") + "Z", "ABCDEFGHIJZ"},
        // 0x81 0x40 is one character whose trail byte reads as '@'.
        {"low trail bytes are not ASCII", std::string("A\x81\x40" "B"), std::string("A\x81\x40" "B"), "AB"},
        {"stray bytes and controls are dropped", std::string("A\x80\xFF\tB\x7F" "C"), "ABC", "ABC"},
        {"a lead byte with a bad trail starts nothing", std::string("A\x81\x20" "B"), "A B", "A B"},
        {"empty", "", "", ""},
    };
    for (const Case &c : cases) {
        const PresetNameParts parts = SplitPresetName(c.text);
        EXPECT_EQ(parts.shown, c.shown) << c.what;
        EXPECT_EQ(parts.stored, c.stored) << c.what;
        EXPECT_LE(parts.shown.size(), kPresetNameTextMax) << c.what;
        // What is shown always decodes whole.
        EXPECT_EQ(GbkToUtf8(parts.shown).find("\xEF\xBF\xBD"), std::string::npos) << c.what;
    }
}

TEST(PresetNameText, UnencodableCharactersAreLeftOut)
{
    EXPECT_EQ(Utf8ToGbkLossy("Bass 中"), Gbk("Bass 中"));
    EXPECT_EQ(Utf8ToGbkLossy("A\xF0\x9F\x8E\xB5" "B"), "AB");  // an emoji GBK cannot hold
    EXPECT_EQ(Utf8ToGbkLossy("A\xC3" "B"), "AB");               // a malformed sequence
}

TEST(MixTable, EightOutputsByTwelveRowsAndOnlyThose)
{
    CMixTable t;
    EXPECT_EQ(t.Level(0, 1), 100);
    EXPECT_EQ(t.Level(7, 12), 100);
    struct Case {
        int output, row, level;
        bool taken;
        int stored;
    } const cases[] = {
        {0, 1, 40, true, 40},   {7, 12, 0, true, 0},    {3, 11, 55, true, 55}, {2, 5, 250, true, 100},
        {2, 6, -3, true, 0},    {8, 1, 10, false, -1},  {-1, 1, 10, false, -1}, {0, 0, 10, false, -1},
        {0, 13, 10, false, -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t.Set(c.output, c.row, c.level), c.taken) << c.output << "/" << c.row;
        EXPECT_EQ(t.Level(c.output, c.row), c.stored) << c.output << "/" << c.row;
    }
    // The message carries values: output in the low word, row in the high word, level in lParam.
    EXPECT_TRUE(t.SetFromMessage(CMixTable::MessageWParam(5, 12), 33));
    EXPECT_EQ(t.Level(5, 12), 33);
    EXPECT_FALSE(t.SetFromMessage(CMixTable::MessageWParam(-1, 3), 33));
    EXPECT_FALSE(t.SetFromMessage(CMixTable::MessageWParam(2, -1), 33));
    EXPECT_FALSE(t.SetFromMessage(CMixTable::MessageWParam(2, 3) | (WPARAM(1) << 40), 33));
    EXPECT_TRUE(t.SetFromMessage(CMixTable::MessageWParam(1, 1), LPARAM(1) << 40));
    EXPECT_EQ(t.Level(1, 1), 100);
}

TEST(ViewKeys, EnterAndEscFocusTheViewTabTheFirstBandOnTheOutputPage)
{
    struct Case {
        ViewKey key;
        int page;
        ViewKeyAction action;
    } const cases[] = {
        {ViewKey::Enter, 0, ViewKeyAction::FocusView},     {ViewKey::Enter, 1, ViewKeyAction::FocusView},
        {ViewKey::Escape, 2, ViewKeyAction::FocusView},    {ViewKey::Tab, 1, ViewKeyAction::FocusFirstBand},
        {ViewKey::Tab, 0, ViewKeyAction::Swallow},         {ViewKey::Tab, 2, ViewKeyAction::Swallow},
        {ViewKey::Other, 1, ViewKeyAction::PassOn},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ViewKeyActionFor(c.key, c.page), c.action) << int(c.key) << " on page " << c.page;
}

TEST(InputSourceList, PositionsAndCodes)
{
    for (int p = 0; p < kSourcePositions; ++p)
        EXPECT_EQ(PositionOfSourceCode(SourceCodeAtPosition(p)), p);
    EXPECT_EQ(SourceCodeAtPosition(0), 1);  // Hi.Level
    EXPECT_EQ(SourceCodeAtPosition(2), 0);  // SPDIF
    EXPECT_EQ(PositionOfSourceCode(6), -1);
    EXPECT_EQ(SourceCodeAtPosition(4), -1);
}

TEST(ChannelAssignments, GroupNumbersGetBadgesOtherValuesThePlainLook)
{
    // Outputs 0, 1 in group 3; 2 alone; 3, 4 share an editor mask (0x18); 5 holds a stray 255;
    // 6 and 7 in group 10.
    const std::array<int, kStripCount> links{3, 3, 0, 0x18, 0x18, 255, 10, 10};
    struct Case {
        int selected;
        std::array<bool, kStripCount> selectedStrips;
        bool anchor;
    } const cases[] = {
        {0, {true, true, false, false, false, false, false, false}, true},
        {2, {false, false, true, false, false, false, false, false}, false},
        {3, {false, false, false, true, true, false, false, false}, false},
        {7, {false, false, false, false, false, false, true, true}, true},
        {9, {false, false, false, false, false, false, false, false}, false},
    };
    for (const auto &c : cases) {
        const ChannelAssignments a = ComputeChannelAssignments(links, c.selected);
        EXPECT_EQ(a.anchor, c.anchor) << c.selected;
        for (int i = 0; i < kStripCount; ++i)
            EXPECT_EQ(a.strips[std::size_t(i)].selected, c.selectedStrips[std::size_t(i)]) << c.selected << "/" << i;
    }
    const ChannelAssignments a = ComputeChannelAssignments(links, 0);
    const std::array<int, kStripCount> groups{2, 2, -1, -1, -1, -1, 9, 9};
    for (int i = 0; i < kStripCount; ++i) {
        EXPECT_EQ(a.strips[std::size_t(i)].group, groups[std::size_t(i)]) << i;
        EXPECT_EQ(a.strips[std::size_t(i)].linkValue, links[std::size_t(i)]) << i;
    }
}
