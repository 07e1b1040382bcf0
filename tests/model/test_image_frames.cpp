#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"

#include "tests/support/FrameBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using hexbytes::Bytes;
using hexbytes::Cat;
using hexbytes::ExpectFrameEnvelope;
using hexbytes::FrameOf;
using hexbytes::Hex;
using hexbytes::Zeros;

class ImageFramesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        auto item = g_CurImage.Item(OBJ_OUTPUT, 2, 5);
        for (std::size_t i = 0; i < item.size(); ++i)
            item[i] = static_cast<std::uint8_t>(i + 1);
        auto effect = MachinePresetImage(2)->Block(OBJ_EFFECT, 0);
        for (std::size_t i = 0; i < effect.size(); ++i)
            effect[i] = static_cast<std::uint8_t>(i * 7);
        g_LinkGroups[2] = 2;
        g_LinkGroups[4] = 2;
    }
    void TearDown() override { ResetDeviceImageGlobals(); }
};

}  // namespace

TEST_F(ImageFramesTest, EachBuilderProducesTheDeviceBytes)
{
    g_nSys5Byte3 = 1;  // not sent while byte 7 is 0
    g_nCurPreset = 4;
    const Bytes name = {'B', 'a', 's', 's', 0, 'g', 'a', 'r', 'b', 'a', 'g', 'e', '!', '!', '!', 'Z'};
    std::copy(name.begin(), name.end(), g_CurImage.Name().begin());

    struct Case {
        const char *what;
        std::function<std::unique_ptr<CSendData>()> build;
        Bytes want;
    };
    const Case cases[] = {
        {"status request", [] { return BuildImageItemFrame(OBJ_STATUS_REQUEST, 0, 0); },
         Cat(Cat(Hex("91 91 91 EE A2 01 00 09 03 00 00 00 08 00"), Zeros(8)), Hex("A1 AA"))},
        {"output item of a linked output", [] { return BuildImageItemFrame(OBJ_OUTPUT, 2, 5); },
         Hex("91 91 91 EE A1 01 00 04 02 05 01 00 08 00 01 02 03 04 05 06 07 08 A2 AA")},
        {"output item 31 never carries the link", [] { return BuildImageItemFrame(OBJ_OUTPUT, 2, 31); },
         Cat(Cat(Hex("91 91 91 EE A1 01 00 04 02 1F 00 00 08 00"), Zeros(8)), Hex("B1 AA"))},
        {"stored-preset block read", [] { return BuildRequestFrame(3, OBJ_OUTPUT, 7, false, true); },
         Cat(Cat(Hex("91 91 91 EE A2 01 03 04 07 77 00 00 08 00"), Zeros(8)), Hex("DC AA"))},
        {"read-back of one preset", [] { return BuildRequestFrame(3, OBJ_OUTPUT, 7, true, false); },
         Cat(Cat(Hex("91 91 91 EE A2 01 03 04 07 00 00 00 08 00"), Zeros(8)), Hex("AB AA"))},
        {"read-back of the live preset", [] { return BuildRequestFrame(0, OBJ_MUSIC, 1, true, false); },
         Cat(Cat(Hex("91 91 91 EE A2 01 00 03 01 77 00 00 08 00"), Zeros(8)), Hex("DE AA"))},
        {"hello request", [] { return BuildSystemRequestFrame(SYS_HELLO, 0); },
         Cat(Cat(Hex("91 91 91 EE A2 01 00 09 CC 00 00 00 08 00"), Zeros(8)), Hex("6E AA"))},
        {"master volume block", [] { return BuildSystemValuesFrame(SYS_VOLUME, 0); },
         Hex("91 91 91 EE A1 01 00 09 05 00 00 00 08 00 3C 00 00 00 00 00 01 00 99 AA")},
        {"factory reset", [] { return BuildSystemValuesFrame(SYS_FACTORY_RESET, 2); },
         Hex("91 91 91 EE A1 01 02 09 60 00 00 00 08 00 00 00 00 03 00 FF 37 6C 64 AA")},
        {"preset name, zero-filled after its end", [] { return BuildSystemValuesFrame(SYS_NAME, 0); },
         Cat(Cat(Hex("91 91 91 EE A1 01 00 09 00 00 00 00 10 00 42 61 73 73"), Zeros(12)), Hex("9A AA"))},
        {"current preset number", [] { return BuildSystemValuesFrame(SYS_PRESET_NUMBER, 0); },
         Hex("91 91 91 EE A1 01 00 09 34 00 00 00 01 00 04 98 AA")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FrameOf(c.build()), c.want) << c.what;

    Bytes effect = Hex("91 91 91 EE A1 01 02 02 00 00 00 00 60 00");
    for (int i = 0; i < 96; ++i)
        effect.push_back(static_cast<std::uint8_t>(i * 7));
    effect = Cat(effect, Hex("60 AA"));
    EXPECT_EQ(FrameOf(BuildImageBlockFrame(2, OBJ_EFFECT, 0, false)), effect) << "effect block of machine preset 2";
}

TEST_F(ImageFramesTest, EveryFrameHasItsLengthFieldAndChecksum)
{
    std::vector<std::unique_ptr<CSendData>> items;
    for (int t : {OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT}) {
        items.push_back(BuildImageItemFrame(t, 0, 3));
        items.push_back(BuildImageBlockFrame(0, t, 0, true));
        items.push_back(BuildImageBlockFrame(6, t, 0, false));
        items.push_back(BuildRequestFrame(1, t, 0, true, false));
    }
    items.push_back(BuildImageItemFrame(OBJ_STATUS_REQUEST, 0, 0));
    for (int s : {SYS_NAME, SYS_INPUT, SYS_VOLUME, SYS_SPEAKERS, SYS_PRESET_NUMBER, SYS_MODE_TABLE, SYS_WIFI_RESET,
                  SYS_FACTORY_RESET}) {
        items.push_back(BuildSystemValuesFrame(s, 0));
        items.push_back(BuildSystemRequestFrame(s, 5));
    }
    items.push_back(BuildSystemRequestFrame(SYS_VERSION, 0));
    items.push_back(BuildSystemRequestFrame(SYS_STATUS, 0));

    for (const auto &item : items) {
        ASSERT_TRUE(item);
        ExpectFrameEnvelope(FrameOf(item));
    }
}

TEST_F(ImageFramesTest, BlockFramesCarryTheirBlockAndSizes)
{
    struct Case {
        int type;
        int channel;
        std::size_t frameSize;
        bool setsDirty;
    };
    const Case cases[] = {
        {OBJ_MIC, 0, 128, false}, {OBJ_EFFECT, 0, 112, false}, {OBJ_MUSIC, 5, 304, true}, {OBJ_OUTPUT, 7, 312, true}};
    for (const auto &c : cases) {
        auto block = g_CurImage.Block(c.type, c.channel);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>(i ^ 0x5A);
        g_bParamsDirty = 0;
        const Bytes f = FrameOf(BuildImageBlockFrame(0, c.type, c.channel, true));
        ASSERT_EQ(f.size(), c.frameSize) << c.type;
        EXPECT_TRUE(std::equal(f.begin() + 14, f.end() - 2, block.begin())) << c.type;
        EXPECT_EQ(g_bParamsDirty.load(), c.setsDirty ? 1 : 0) << c.type;
    }
    // The output block write carries the link byte of its output.
    EXPECT_EQ(FrameOf(BuildImageBlockFrame(0, OBJ_OUTPUT, 4, true))[10], 1);
    EXPECT_EQ(FrameOf(BuildImageBlockFrame(0, OBJ_OUTPUT, 3, true))[10], 0);
}

TEST_F(ImageFramesTest, OutputItemsCarryTheLinkFlagExceptTheStateItems)
{
    for (int item = 0; item < 37; ++item) {
        const bool carries = item <= 33 && item != 31;
        EXPECT_EQ(FrameOf(BuildImageItemFrame(OBJ_OUTPUT, 4, item))[10], carries ? 1 : 0) << item;
        EXPECT_EQ(FrameOf(BuildImageItemFrame(OBJ_OUTPUT, 3, item))[10], 0) << item;  // not linked
    }
    EXPECT_EQ(FrameOf(BuildImageItemFrame(OBJ_MUSIC, 2, 0))[10], 0);
}

TEST_F(ImageFramesTest, SystemPayloadsFollowTheirBlocks)
{
    g_nSys5Byte3 = 1;
    g_nSys5Byte7 = 2;
    EXPECT_EQ(FrameOf(BuildSystemValuesFrame(SYS_VOLUME, 0))[14 + 3], 1) << "byte 3 sent while byte 7 is set";
    g_nSys5Byte7 = 0;
    EXPECT_EQ(FrameOf(BuildSystemValuesFrame(SYS_VOLUME, 0))[14 + 3], 0);
    EXPECT_EQ(g_nSys5Byte3.load(), 1) << "the block itself keeps its byte";

    // A 15-character name goes out whole, then one zero byte; a machine preset's name from its image.
    const std::string full = "ABCDEFGHIJKLMNO";
    std::copy(full.begin(), full.end(), MachinePresetImage(6)->Name().begin());
    MachinePresetImage(6)->Name()[15] = 'X';
    const Bytes f = FrameOf(BuildSystemValuesFrame(SYS_NAME, 6));
    EXPECT_EQ(std::string(f.begin() + 14, f.begin() + 29), full);
    EXPECT_EQ(f[29], 0);
    EXPECT_EQ(f[6], 6);

    for (int i = 0; i < 66; ++i)
        g_ModeTable[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
    const Bytes mode = FrameOf(BuildSystemValuesFrame(SYS_MODE_TABLE, 0));
    ASSERT_EQ(mode.size(), 82u);
    EXPECT_EQ(mode[14], 1);
    EXPECT_EQ(mode[14 + 65], 66);
    EXPECT_EQ(FrameOf(BuildSystemValuesFrame(SYS_WIFI_RESET, 0)).size(), 24u);
    EXPECT_EQ(FrameOf(BuildSystemValuesFrame(SYS_SPEAKERS, 0))[14], kDefaultSpeakerType);
}

TEST_F(ImageFramesTest, CallerErrorsBuildNothing)
{
    EXPECT_FALSE(BuildImageBlockFrame(0, OBJ_OUTPUT, 0, false)) << "machine presets are 1..6";
    EXPECT_FALSE(BuildImageBlockFrame(7, OBJ_OUTPUT, 0, false));
    EXPECT_FALSE(BuildImageBlockFrame(1, OBJ_OUTPUT, 8, false));
    EXPECT_FALSE(BuildImageBlockFrame(1, OBJ_SYSTEM, 0, true));
    EXPECT_FALSE(BuildImageItemFrame(5, 0, 0));
    EXPECT_FALSE(BuildImageItemFrame(OBJ_OUTPUT, 0, 37));
    EXPECT_FALSE(BuildImageItemFrame(OBJ_MUSIC, 6, 0));
    EXPECT_FALSE(BuildImageItemFrame(OBJ_OUTPUT, -1, 0));
    EXPECT_FALSE(BuildRequestFrame(0, OBJ_SYSTEM, 0, true, false));
    EXPECT_FALSE(BuildRequestFrame(9, OBJ_OUTPUT, 0, false, true));
    for (int s : std::initializer_list<int>{SYS_STATUS, SYS_VERSION, SYS_HELLO, 1, 200})
        EXPECT_FALSE(BuildSystemValuesFrame(s, 0)) << s;
    EXPECT_FALSE(BuildSystemValuesFrame(SYS_NAME, 7));
    EXPECT_FALSE(BuildSystemRequestFrame(1, 0));
}

TEST_F(ImageFramesTest, EffectItemsAddressTheOneRecordWhateverTheChannel)
{
    auto item = g_CurImage.Item(OBJ_EFFECT, 0, 18);
    std::fill(item.begin(), item.end(), 0xE5);
    const Bytes f = FrameOf(BuildImageItemFrame(OBJ_EFFECT, 3, 18));
    ASSERT_EQ(f.size(), 24u);
    EXPECT_EQ(f[8], 3);
    EXPECT_EQ(Bytes(f.begin() + 14, f.begin() + 22), Bytes(8, 0xE5));
}
