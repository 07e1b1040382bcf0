#include "model/DeviceImage.h"
#include "model/LinkGroups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class DeviceImageTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceImageGlobals(); }
    void TearDown() override { ResetDeviceImageGlobals(); }
};

Bytes NameOf(const DeviceImage &image) { return Bytes(image.Name().begin(), image.Name().end()); }

}  // namespace

TEST_F(DeviceImageTest, BlocksSitWhereTheDeviceKeepsThem)
{
    struct Case {
        int type;
        int channel;
        std::size_t offset;
        std::size_t size;
    };
    const Case cases[] = {
        {OBJ_EFFECT, 0, 0x20, 152}, {OBJ_MIC, 0, 0xB8, 112},     {OBJ_MUSIC, 0, 0x128, 288},
        {OBJ_MUSIC, 5, 0x128 + 5 * 288, 288}, {OBJ_OUTPUT, 0, 0x7E8, 296}, {OBJ_OUTPUT, 7, 0x7E8 + 7 * 296, 296},
    };
    for (const auto &c : cases) {
        auto block = g_CurImage.Block(c.type, c.channel);
        EXPECT_EQ(static_cast<std::size_t>(block.data() - g_CurImage.data()), c.offset) << c.type << "/" << c.channel;
        EXPECT_EQ(block.size(), c.size);
    }
    EXPECT_EQ(g_CurImage.Block(OBJ_OUTPUT, 7).data() + 296, g_CurImage.data() + DeviceImage::kSize);
    EXPECT_TRUE(g_CurImage.Block(OBJ_OUTPUT, 8).empty());
    EXPECT_TRUE(g_CurImage.Block(OBJ_MIC, 1).empty());
    EXPECT_TRUE(g_CurImage.Block(OBJ_SYSTEM, 0).empty());
    EXPECT_EQ(g_CurImage.Item(OBJ_OUTPUT, 1, 36).data(), g_CurImage.data() + 0x7E8 + 296 + 36 * 8);
    EXPECT_TRUE(g_CurImage.Item(OBJ_OUTPUT, 1, 37).empty());
}

TEST_F(DeviceImageTest, DefaultsOfTheSystemBlocks)
{
    EXPECT_EQ(ReadSysBlock(g_SysBlock2), kSysBlock2Defaults);
    EXPECT_EQ(int(g_nMasterVolume), 60);
    EXPECT_EQ(g_bMasterOn.load(), 1);
    EXPECT_EQ(g_nNoiseGateOn.load(), 0xFF);
    g_nMasterVolume = 0x1234;
    EXPECT_EQ(g_SysBlock5[0].load(), 0x34);
    EXPECT_EQ(g_SysBlock5[1].load(), 0x12);
    for (auto &t : g_SpeakerTypes)
        EXPECT_EQ(t.load(), 3);
    EXPECT_EQ(g_nCurPage.load(), 1);
    EXPECT_EQ(g_bSpeakerTypeMode.load(), 1);
}

TEST_F(DeviceImageTest, NameRepliesKeepThirteenCharacters)
{
    g_CurImage.Name()[15] = 0x7E;
    const std::string letters = "ABCDEFGHIJKLMNO";
    ASSERT_TRUE(StoreNameReply(0, Bytes(letters.begin(), letters.end())));
    EXPECT_EQ(NameOf(g_CurImage), Bytes({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 0, 0, 0x7E}));

    const Bytes withTab = {'B', 'a', '\t', 's', 0x1F, 's'};
    ASSERT_TRUE(StoreNameReply(3, withTab));
    EXPECT_EQ(NameOf(*MachinePresetImage(3)), Bytes({'B', 'a', 0, 's', 0, 's', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MachinePresetImage(3)->NameBytes(), "Ba");

    EXPECT_FALSE(StoreNameReply(7, withTab));
    EXPECT_FALSE(StoreNameReply(-1, withTab));
}

TEST_F(DeviceImageTest, PresetNumberRepliesTakeTheStoredName)
{
    const std::string stored = "Stage sixteen!!Q";
    std::copy(stored.begin(), stored.end(), MachinePresetImage(5)->Name().begin());
    g_CurImage.Name()[15] = 0x11;

    ASSERT_TRUE(StorePresetNumberReply(5));
    EXPECT_EQ(g_nCurPreset.load(), 5);
    EXPECT_EQ(std::string(g_CurImage.Name().begin(), g_CurImage.Name().begin() + 15), "Stage sixteen!!");
    EXPECT_EQ(g_CurImage.Name()[15], 0x11);

    const Bytes before = NameOf(g_CurImage);
    ASSERT_TRUE(StorePresetNumberReply(0));
    EXPECT_EQ(g_nCurPreset.load(), 0);
    EXPECT_EQ(NameOf(g_CurImage), before);

    EXPECT_FALSE(StorePresetNumberReply(7));
    EXPECT_EQ(g_nCurPreset.load(), 0);
}

TEST_F(DeviceImageTest, SystemFiveReplyMirrorsByteThreeIntoByteSeven)
{
    StoreSysBlock5Reply(Bytes{10, 0, 0, 1, 0, 0, 1, 0});
    EXPECT_EQ(g_nSys5Byte3.load(), 1);
    EXPECT_EQ(g_nSys5Byte7.load(), 1);
    StoreSysBlock5Reply(Bytes{10, 0, 0, 0, 0, 0, 1, 1});
    EXPECT_EQ(g_nSys5Byte7.load(), 0);
    // A short reply changes only what it carries.
    StoreSysBlock2Reply(Bytes{2});
    EXPECT_EQ(g_nInputSource.load(), 2);
    EXPECT_EQ(g_nInputLayout.load(), 3);
}

TEST_F(DeviceImageTest, OtherRepliesStayInsideTheirTables)
{
    Bytes levels(40, 9);
    StoreMeterLevelsReply(levels);
    EXPECT_EQ(g_MeterLevels[14].load(), 9);
    EXPECT_EQ(g_MeterLevels[15].load(), 0);
    StoreMeterLevelsReply(Bytes{200});
    EXPECT_EQ(g_MeterLevels[0].load(), 200);

    Bytes mode(100, 4);
    StoreModeTableReply(mode);
    EXPECT_EQ(g_nModeFileSlot.load(), 4);

    Bytes block(500, 0xAB);
    EXPECT_TRUE(StoreBlockReply(2, true, OBJ_OUTPUT, 7, block));
    EXPECT_EQ(MachinePresetImage(2)->Block(OBJ_OUTPUT, 7).back(), 0xAB);
    EXPECT_EQ(g_CurImage.Block(OBJ_OUTPUT, 7).back(), 0);
    EXPECT_TRUE(StoreBlockReply(2, false, OBJ_MUSIC, 0, Bytes{1, 2}));
    EXPECT_EQ(g_CurImage.Block(OBJ_MUSIC, 0)[1], 2);
    EXPECT_EQ(g_CurImage.Block(OBJ_MUSIC, 0)[2], 0);

    EXPECT_FALSE(StoreBlockReply(7, true, OBJ_OUTPUT, 0, block));
    EXPECT_FALSE(StoreBlockReply(0, false, OBJ_OUTPUT, 8, block));
    EXPECT_FALSE(StoreBlockReply(0, false, OBJ_MIC, 0, block));
    EXPECT_FALSE(StoreBlockReply(0, false, OBJ_EFFECT, 0, block));
}

TEST_F(DeviceImageTest, IsOutputLinked)
{
    for (int ch = -1; ch <= 8; ++ch)
        EXPECT_EQ(IsOutputLinked(ch), 0) << ch;
    const int groups[8] = {2, 0, 2, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        g_LinkGroups[static_cast<std::size_t>(i)] = groups[i];
    const int want[8] = {1, 0, 1, 0, 0, 0, 0, 0};
    for (int ch = 0; ch < 8; ++ch)
        EXPECT_EQ(IsOutputLinked(ch), want[ch]) << ch;
    g_LinkGroups[5] = 0x30;  // alone in its group
    EXPECT_EQ(IsOutputLinked(5), 0);
}

TEST_F(DeviceImageTest, FindFreeSlotGivesTheFirstUnusedGroupAndZeroWhenAllAreUsed)
{
    EXPECT_EQ(FindFreeSlot(), 0);
    const int used[10] = {1, 1, 0, 1, 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 10; ++i)
        g_LinkGroupUsed[i] = used[i];
    EXPECT_EQ(FindFreeSlot(), 2);
    g_LinkGroupUsed[2] = 1;
    EXPECT_EQ(FindFreeSlot(), 4);
    for (auto &u : g_LinkGroupUsed)
        u = 1;
    EXPECT_EQ(FindFreeSlot(), 0);
}

TEST_F(DeviceImageTest, ClampCrossoverForTweeterTypes)
{
    auto setCrossover = [](int ch, int hp, int hpSlope, int lp) {
        auto item = g_CurImage.Item(OBJ_OUTPUT, ch, DeviceImage::kOutCrossoverItem);
        item[0] = hp & 0xFF;
        item[1] = hp >> 8;
        item[3] = static_cast<std::uint8_t>(hpSlope);
        item[4] = lp & 0xFF;
        item[5] = lp >> 8;
    };
    auto word = [](int ch, int at) {
        auto item = g_CurImage.Item(OBJ_OUTPUT, ch, DeviceImage::kOutCrossoverItem);
        return item[at] | (item[at + 1] << 8);
    };
    setCrossover(0, 10, 8, 15);     // type 1: raised, low-pass lifted, slope 7
    setCrossover(1, 10, 8, 15);     // type 3: untouched
    setCrossover(2, 5000, 8, 800);  // type 7: frequency kept, slope 7
    setCrossover(3, 0, 2, 20);      // type 19: raised to 20, equal to the low-pass: kept
    const int types[8] = {1, 3, 7, 19, 0, 0, 0, 0};
    ClampCrossoverForTypes(std::span<const int, 8>(types));

    EXPECT_EQ(word(0, 0), 20);
    EXPECT_EQ(word(0, 4), 20000);
    EXPECT_EQ(g_CurImage.Item(OBJ_OUTPUT, 0, 32)[3], 7);
    EXPECT_EQ(word(1, 0), 10);
    EXPECT_EQ(g_CurImage.Item(OBJ_OUTPUT, 1, 32)[3], 8);
    EXPECT_EQ(word(2, 0), 5000);
    EXPECT_EQ(word(2, 4), 800);
    EXPECT_EQ(g_CurImage.Item(OBJ_OUTPUT, 2, 32)[3], 7);
    EXPECT_EQ(word(3, 0), 20);
    EXPECT_EQ(word(3, 4), 20);
}

TEST_F(DeviceImageTest, ResetTransferFlagsClearsTheParseState)
{
    for (auto &b : g_HexInfo)
        b = 0xEE;
    ResetTransferFlags();
    for (std::size_t i = 0; i < kHexInfoSize; ++i) {
        const bool cleared = i <= 5 || (i >= 8 && i <= 11) || i == 16 || i == 17 || (i >= 20 && i <= 30);
        EXPECT_EQ(g_HexInfo[i].load(), cleared ? 0 : 0xEE) << i;
    }
}

TEST_F(DeviceImageTest, PresetNumbersOutsideOneToSixHaveNoImage)
{
    EXPECT_EQ(MachinePresetImage(0), nullptr);
    EXPECT_EQ(MachinePresetImage(7), nullptr);
    EXPECT_EQ(MachinePresetImage(1), &g_MachinePresets[0]);
    EXPECT_EQ(ImageForPreset(0), &g_CurImage);
    EXPECT_EQ(ImageForPreset(6), &g_MachinePresets[5]);
    EXPECT_EQ(ImageForPreset(-1), nullptr);
}
