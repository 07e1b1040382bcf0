#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"

#include "tests/support/FrameBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
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

Bytes Seq(std::size_t n, int first = 1, int step = 1)
{
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(first + static_cast<int>(i) * step);
    return out;
}

const Bytes kSysBlock2 = {0, 0, 3, 0, 0xFF, 55, 108, 3};
const Bytes kSysBlock5 = {60, 0, 0, 1, 0, 0, 1, 0};  // byte 3 set, byte 7 clear

}  // namespace

TEST(CommandFrame, EachBuilderFramesTheBytesItIsGiven)
{
    const Bytes name = {'B', 'a', 's', 's', 0, 'g', 'a', 'r', 'b', 'a', 'g', 'e', '!', '!', '!', 'Z'};
    struct Case {
        const char *what;
        std::function<std::unique_ptr<CSendData>()> build;
        Bytes want;
    };
    const Case cases[] = {
        {"status request", [] { return BuildParamFrame(OBJ_STATUS_REQUEST, 0, 0, {}, false); },
         Cat(Cat(Hex("91 91 91 EE A2 01 00 09 03 00 00 00 08 00"), Zeros(8)), Hex("A1 AA"))},
        {"output item of a linked output", [] { return BuildParamFrame(OBJ_OUTPUT, 2, 5, Seq(8), true); },
         Hex("91 91 91 EE A1 01 00 04 02 05 01 00 08 00 01 02 03 04 05 06 07 08 A2 AA")},
        {"output item 31 never carries the link", [] { return BuildParamFrame(OBJ_OUTPUT, 2, 31, Zeros(8), true); },
         Cat(Cat(Hex("91 91 91 EE A1 01 00 04 02 1F 00 00 08 00"), Zeros(8)), Hex("B1 AA"))},
        {"stored-preset block read", [] { return BuildRequestFrame(3, OBJ_OUTPUT, 7, false, true); },
         Cat(Cat(Hex("91 91 91 EE A2 01 03 04 07 77 00 00 08 00"), Zeros(8)), Hex("DC AA"))},
        {"read-back of one preset", [] { return BuildRequestFrame(3, OBJ_OUTPUT, 7, true, false); },
         Cat(Cat(Hex("91 91 91 EE A2 01 03 04 07 00 00 00 08 00"), Zeros(8)), Hex("AB AA"))},
        {"read-back of the live preset", [] { return BuildRequestFrame(0, OBJ_MUSIC, 1, true, false); },
         Cat(Cat(Hex("91 91 91 EE A2 01 00 03 01 77 00 00 08 00"), Zeros(8)), Hex("DE AA"))},
        {"hello request", [] { return BuildSystemRequestFrame(SYS_HELLO, 0); },
         Cat(Cat(Hex("91 91 91 EE A2 01 00 09 CC 00 00 00 08 00"), Zeros(8)), Hex("6E AA"))},
        {"master volume block, byte 3 not sent while byte 7 is 0",
         [] { return BuildSystemFrame(SYS_VOLUME, 0, kSysBlock5); },
         Hex("91 91 91 EE A1 01 00 09 05 00 00 00 08 00 3C 00 00 00 00 00 01 00 99 AA")},
        {"factory reset", [] { return BuildSystemFrame(SYS_FACTORY_RESET, 2, kSysBlock2); },
         Hex("91 91 91 EE A1 01 02 09 60 00 00 00 08 00 00 00 00 03 00 FF 37 6C 64 AA")},
        {"preset name, zero-filled after its end", [&] { return BuildSystemFrame(SYS_NAME, 0, name); },
         Cat(Cat(Hex("91 91 91 EE A1 01 00 09 00 00 00 00 10 00 42 61 73 73"), Zeros(12)), Hex("9A AA"))},
        {"current preset number", [] { return BuildSystemFrame(SYS_PRESET_NUMBER, 0, Bytes{4}); },
         Hex("91 91 91 EE A1 01 00 09 34 00 00 00 01 00 04 98 AA")},
        {"effect block of machine preset 2", [] { return BuildBlockFrame(2, OBJ_EFFECT, 0, Seq(96, 0, 7), false); },
         Cat(Cat(Hex("91 91 91 EE A1 01 02 02 00 00 00 00 60 00"), Seq(96, 0, 7)), Hex("60 AA"))},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FrameOf(c.build()), c.want) << c.what;
}

TEST(CommandFrame, EveryFrameHasItsLengthFieldAndChecksum)
{
    std::vector<std::unique_ptr<CSendData>> items;
    for (int t : {OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT}) {
        items.push_back(BuildParamFrame(t, 0, 3, Seq(8, 0x30), true));
        items.push_back(BuildBlockFrame(0, t, 0, Seq(frame::ShapeOf(t).writeSize, 5, 3), true));
        items.push_back(BuildBlockFrame(6, t, 0, Seq(frame::ShapeOf(t).writeSize, 9, 11), false));
        items.push_back(BuildRequestFrame(1, t, 0, true, false));
    }
    items.push_back(BuildParamFrame(OBJ_STATUS_REQUEST, 0, 0, {}, false));
    const Bytes name = Seq(16, 'A');
    items.push_back(BuildSystemFrame(SYS_NAME, 0, name));
    items.push_back(BuildSystemFrame(SYS_INPUT, 0, kSysBlock2));
    items.push_back(BuildSystemFrame(SYS_VOLUME, 0, kSysBlock5));
    items.push_back(BuildSystemFrame(SYS_SPEAKERS, 0, Seq(8)));
    items.push_back(BuildSystemFrame(SYS_PRESET_NUMBER, 0, Bytes{3}));
    items.push_back(BuildSystemFrame(SYS_MODE_TABLE, 0, Seq(66)));
    items.push_back(BuildSystemFrame(SYS_WIFI_RESET, 0, {}));
    items.push_back(BuildSystemFrame(SYS_FACTORY_RESET, 0, kSysBlock2));
    for (int s : {SYS_NAME, SYS_INPUT, SYS_VOLUME, SYS_SPEAKERS, SYS_PRESET_NUMBER, SYS_MODE_TABLE, SYS_WIFI_RESET,
                  SYS_FACTORY_RESET, SYS_VERSION, SYS_STATUS, SYS_HELLO})
        items.push_back(BuildSystemRequestFrame(s, 5));

    for (const auto &item : items) {
        ASSERT_TRUE(item);
        ExpectFrameEnvelope(FrameOf(item));
    }
}

TEST(CommandFrame, BlockFramesCarryTheirBlockAndOnlyOutputsTheLink)
{
    const std::pair<int, std::size_t> cases[] = {{OBJ_MIC, 128}, {OBJ_EFFECT, 112}, {OBJ_MUSIC, 304}, {OBJ_OUTPUT, 312}};
    for (const auto &[type, frameSize] : cases) {
        const Bytes block = Seq(frameSize - 16, 0x5A, 3);
        const Bytes f = FrameOf(BuildBlockFrame(0, type, 0, block, true));
        ASSERT_EQ(f.size(), frameSize) << type;
        EXPECT_EQ(Bytes(f.begin() + 14, f.end() - 2), block) << type;
        EXPECT_EQ(f[10], type == OBJ_OUTPUT ? 1 : 0) << type;
    }
    EXPECT_EQ(FrameOf(BuildBlockFrame(0, OBJ_OUTPUT, 3, Zeros(296), false))[10], 0);
}

TEST(CommandFrame, OutputItemsCarryTheLinkFlagExceptTheStateItems)
{
    for (int item = 0; item < 37; ++item) {
        const bool carries = item <= 33 && item != 31;
        EXPECT_EQ(FrameOf(BuildParamFrame(OBJ_OUTPUT, 4, item, Zeros(8), true))[10], carries ? 1 : 0) << item;
        EXPECT_EQ(FrameOf(BuildParamFrame(OBJ_OUTPUT, 3, item, Zeros(8), false))[10], 0) << item;
    }
    EXPECT_EQ(FrameOf(BuildParamFrame(OBJ_MUSIC, 2, 0, Zeros(8), true))[10], 0);
}

TEST(CommandFrame, SystemPayloadRules)
{
    Bytes volume = kSysBlock5;
    volume[7] = 2;
    EXPECT_EQ(FrameOf(BuildSystemFrame(SYS_VOLUME, 0, volume))[14 + 3], 1) << "byte 3 sent while byte 7 is set";

    // A 15-character name goes out whole, then one zero byte, whatever the field's last byte holds.
    Bytes name = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'X'};
    const Bytes f = FrameOf(BuildSystemFrame(SYS_NAME, 6, name));
    EXPECT_EQ(std::string(f.begin() + 14, f.begin() + 29), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(f[29], 0);
    EXPECT_EQ(f[6], 6);

    const Bytes mode = FrameOf(BuildSystemFrame(SYS_MODE_TABLE, 0, Seq(66)));
    ASSERT_EQ(mode.size(), 82u);
    EXPECT_EQ(Bytes(mode.begin() + 14, mode.end() - 2), Seq(66));
    EXPECT_EQ(FrameOf(BuildSystemFrame(SYS_WIFI_RESET, 0, {})), Cat(Cat(Hex("91 91 91 EE A1 01 00 09 41 00 00 00 08 00"), Zeros(8)), Hex("E0 AA")));
    EXPECT_EQ(FrameOf(BuildSystemFrame(SYS_INPUT, 0, kSysBlock2)).size(), 24u);
}

TEST(CommandFrame, CallerErrorsBuildNothing)
{
    struct Case {
        const char *what;
        std::function<std::unique_ptr<CSendData>()> build;
    };
    const Case cases[] = {
        {"preset byte above 6", [] { return BuildBlockFrame(7, OBJ_OUTPUT, 0, Zeros(296), false); }},
        {"output channel 8", [] { return BuildBlockFrame(1, OBJ_OUTPUT, 8, Zeros(296), false); }},
        {"system block write", [] { return BuildBlockFrame(1, OBJ_SYSTEM, 0, Zeros(8), false); }},
        {"short block", [] { return BuildBlockFrame(0, OBJ_MUSIC, 0, Zeros(287), false); }},
        {"whole effect record", [] { return BuildBlockFrame(0, OBJ_EFFECT, 0, Zeros(152), false); }},
        {"unknown item type", [] { return BuildParamFrame(5, 0, 0, Zeros(8), false); }},
        {"output item 37", [] { return BuildParamFrame(OBJ_OUTPUT, 0, 37, Zeros(8), false); }},
        {"music channel 6", [] { return BuildParamFrame(OBJ_MUSIC, 6, 0, Zeros(8), false); }},
        {"negative channel", [] { return BuildParamFrame(OBJ_OUTPUT, -1, 0, Zeros(8), false); }},
        {"effect channel beyond a byte", [] { return BuildParamFrame(OBJ_EFFECT, 256, 0, Zeros(8), false); }},
        {"item of 7 bytes", [] { return BuildParamFrame(OBJ_MIC, 0, 0, Zeros(7), false); }},
        {"system read as a block", [] { return BuildRequestFrame(0, OBJ_SYSTEM, 0, true, false); }},
        {"read of preset 9", [] { return BuildRequestFrame(9, OBJ_OUTPUT, 0, false, true); }},
        {"name of preset 7", [] { return BuildSystemFrame(SYS_NAME, 7, Zeros(16)); }},
        {"short name field", [] { return BuildSystemFrame(SYS_NAME, 0, Zeros(15)); }},
        {"long volume block", [] { return BuildSystemFrame(SYS_VOLUME, 0, Zeros(9)); }},
        {"short factory reset", [] { return BuildSystemFrame(SYS_FACTORY_RESET, 0, Zeros(7)); }},
        {"short mode table", [] { return BuildSystemFrame(SYS_MODE_TABLE, 0, Zeros(65)); }},
        {"unknown system read", [] { return BuildSystemRequestFrame(1, 0); }},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(c.build()) << c.what;
    for (int s : std::initializer_list<int>{SYS_STATUS, SYS_VERSION, SYS_HELLO, 1, 200})
        EXPECT_FALSE(BuildSystemFrame(s, 0, Zeros(8))) << s;
}

TEST(CommandFrame, EffectItemsSendTheirChannelByteAsGiven)
{
    const Bytes f = FrameOf(BuildParamFrame(OBJ_EFFECT, 3, 18, Bytes(8, 0xE5), false));
    ASSERT_EQ(f.size(), 24u);
    EXPECT_EQ(f[8], 3);
    EXPECT_EQ(f[9], 18);
    EXPECT_EQ(Bytes(f.begin() + 14, f.begin() + 22), Bytes(8, 0xE5));
}
