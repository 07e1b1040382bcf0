#include "model/KTV_OutData.h"

#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <atomic>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

using Bytes8 = std::array<std::uint8_t, 8>;

// Eight output records built as the record tree builds them, registered in the link tables.
class OutDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        for (int n = 0; n < 8; ++n) {
            out[n] = std::make_unique<CKTV_OutData>();
            out[n]->InitEQ(30, 32, n == 2 || n >= 5 ? 9 : 10, 20, 20000);
            out[n]->SetChannel(n);
            g_OutChannelTable[static_cast<std::size_t>(n)] = out[n].get();
            g_LinkGroups[static_cast<std::size_t>(n)] = 0;
        }
        g_bDeviceOnline = 0;
    }
    void TearDown() override
    {
        for (auto &p : g_OutChannelTable)
            p = nullptr;
        for (auto &g : g_LinkGroups)
            g = 0;
        g_bDeviceOnline = 0;
    }

    static Bytes8 ImageItem(int channel, int item)
    {
        Bytes8 b{};
        std::lock_guard lock(g_csImage);
        auto src = g_CurImage.Item(OBJ_OUTPUT, channel, item);
        std::memcpy(b.data(), src.data(), b.size());
        return b;
    }
    static void SetImageItem(int channel, int item, const Bytes8 &b)
    {
        std::lock_guard lock(g_csImage);
        auto dst = g_CurImage.Item(OBJ_OUTPUT, channel, item);
        std::memcpy(dst.data(), b.data(), b.size());
    }
    static std::vector<std::uint8_t> Block(int channel)
    {
        std::lock_guard lock(g_csImage);
        auto b = g_CurImage.Block(OBJ_OUTPUT, channel);
        return {b.begin(), b.end()};
    }

    std::unique_ptr<CKTV_OutData> out[8];
};

// ---- the block, item by item ---------------------------------------------------------------------

TEST_F(OutDataTest, EveryItemOfOneBlock)
{
    CKTV_OutData &o = *out[3];
    ASSERT_EQ(o.SetName("Sub L"), TextFieldResult::Ok);
    o.SetOn(1);
    o.SetPolarity(1);
    o.SetGain(450);
    o.SetMuted(1);  // a muted gain of 450 packs as 0
    o.SetDelay(0x1E0);
    o.SetEqMode(1);
    o.SetSpeakerType(22);
    o.GetHpf()->SetFreq(80, 0);
    o.GetHpf()->SetFamily(1, 0);
    o.GetHpf()->SetSlope(3, 0);
    o.GetLpf()->SetFreq(12000, 0);
    o.GetLpf()->SetSlope(8, 0);
    o.GetBand(5)->SetGainCode(260);  // +6.0 dB
    for (int k = 0; k < 8; ++k)
        o.SetGroup33Byte(k, 10 * k);
    o.SetGroup34Byte(4, 1);
    o.SetGroup34Byte(7, 99);
    o.SetLimitThreshold(300);
    o.SetLimitAttack(0x0102);
    o.SetLimitRelease(5);
    SetImageItem(3, 35, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 5, 0xA5});

    ASSERT_EQ(o.FillRecord(), TextFieldResult::Ok);

    struct Case {
        int item;
        Bytes8 bytes;
    } cases[] = {
        {0, {20, 0, 0x58, 0x02, 52, 0, 2, 0}},          // 20 Hz, flat (600), bandwidth 52, slope 2, PEQ
        {5, {63, 0, 0x94, 0x02, 52, 0, 2, 0}},          // gain code 260 + 400 = 660
        {17, {0xE8, 0x03, 0x58, 0x02, 52, 0, 2, 0}},    // 1000 Hz
        {30, {0x20, 0x4E, 0x58, 0x02, 52, 0, 2, 0}},    // 20000 Hz
        {31, {1, 1, 0, 0, 0xE0, 0x01, 1, 22}},          // muted: gain 0
        {32, {80, 0, 1, 3, 0xE0, 0x2E, 0, 8}},          // 80 Hz B-W 24 dB; 12000 Hz L-R OFF
        {33, {0, 10, 20, 30, 40, 50, 60, 70}},
        {34, {100, 100, 100, 100, 1, 100, 100, 99}},
        {35, {0x2C, 0x01, 0x02, 0x01, 5, 0, 5, 0xA5}},  // link group and flag bits untouched
        {36, {'S', 'u', 'b', ' ', 'L', 0, 0, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ImageItem(3, c.item), c.bytes) << "item " << c.item;

    // Only output 3's block was written.
    const std::vector<std::uint8_t> other = Block(2);
    EXPECT_TRUE(std::all_of(other.begin(), other.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(OutDataTest, PackThenUnpackGivesTheRecordBack)
{
    CKTV_OutData &a = *out[2];
    a.SetName("中置");
    a.SetOn(0);
    a.SetPolarity(1);
    a.SetGain(333);
    a.SetDelay(959);
    a.SetEqMode(1);
    a.SetSpeakerType(19);
    a.GetBand(7)->SetGainCode(120);
    a.GetBand(7)->SetBandwidthIndex(200);
    a.GetBand(7)->SetFreq(130, 0);
    a.GetHpf()->SetFreq(150, 0);
    a.GetHpf()->SetFamily(2, 0);
    a.GetLpf()->SetFreq(3000, 0);
    a.GetLpf()->SetSlope(6, 0);
    a.SetGroup33Byte(1, 7);
    a.SetGroup34Byte(6, 42);
    a.SetLimitThreshold(100);
    a.SetLimitAttack(30);
    a.SetLimitRelease(2);
    ASSERT_EQ(a.FillRecord(), TextFieldResult::Ok);

    CKTV_OutData b;
    b.InitEQ(30, 32, 9, 20, 20000);
    b.SetChannel(2);
    b.LoadFromRecord(Block(2));

    EXPECT_EQ(b.GetName(), "中置");
    EXPECT_EQ(b.GetOn(), 0);
    EXPECT_EQ(b.GetPolarity(), 1);
    EXPECT_EQ(b.GetGain(), 333);
    EXPECT_EQ(b.GetMuted(), 0);
    EXPECT_EQ(b.GetDelay(), 959);
    EXPECT_EQ(b.GetEqMode(), 1);
    EXPECT_EQ(b.GetBand(0)->GetShortLabel(), 1);
    EXPECT_EQ(b.GetSpeakerType(), 19);
    EXPECT_EQ(b.GetLimitThreshold(), 100);
    EXPECT_EQ(b.GetLimitAttack(), 30);
    EXPECT_EQ(b.GetLimitRelease(), 2);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(b.GetGroup33Byte(k), a.GetGroup33Byte(k)) << k;
        EXPECT_EQ(b.GetGroup34Byte(k), a.GetGroup34Byte(k)) << k;
    }
    for (int i = 0; i < CKTV_OutData::kElements; ++i) {
        const CFilter::DeviceValues va = a.GetBand(i)->GetDeviceValues();
        const CFilter::DeviceValues vb = b.GetBand(i)->GetDeviceValues();
        EXPECT_EQ(vb.sendFreq, va.sendFreq) << i;
        EXPECT_EQ(vb.gainCode, va.gainCode) << i;
        EXPECT_EQ(vb.bandwidthIndex, va.bandwidthIndex) << i;
        EXPECT_EQ(vb.slope, va.slope) << i;
        EXPECT_EQ(vb.family, va.family) << i;
        EXPECT_EQ(vb.type, va.type) << i;
        EXPECT_EQ(b.GetBand(i)->GetChanged(), 0) << i;
    }
    EXPECT_EQ(b.GetBasicChanged() + b.GetNameChanged() + b.GetLimitChanged(), 0);

    // Packing the loaded record again gives the same block.
    const std::vector<std::uint8_t> first = Block(2);
    ASSERT_EQ(b.FillRecord(), TextFieldResult::Ok);
    EXPECT_EQ(Block(2), first);
}

TEST_F(OutDataTest, MutedGainReadsAndPacksAsZero)
{
    CKTV_OutData &o = *out[0];
    o.SetGain(0);
    EXPECT_EQ(o.GetGain(), 0);
    EXPECT_EQ(o.GetMuted(), 1);
    o.SendBasic(false);
    EXPECT_EQ(ImageItem(0, 31)[2], 0);
    EXPECT_EQ(ImageItem(0, 31)[3], 0);
    o.SetGain(450);
    EXPECT_EQ(o.GetMuted(), 0);
    EXPECT_EQ(o.GetGain(), 450);
    o.SendBasic(false);
    EXPECT_EQ(ImageItem(0, 31)[2], 450 & 0xFF);
    EXPECT_EQ(ImageItem(0, 31)[3], 450 >> 8);
}

// ---- frames ---------------------------------------------------------------------------------------

TEST_F(OutDataTest, WritersBuildTheItemFrameOnlyWhenAsked)
{
    g_LinkGroups[1] = 4;
    g_LinkGroups[5] = 4;
    CKTV_OutData &o = *out[1];
    struct Case {
        const char *name;
        std::function<std::unique_ptr<CSendData>(bool)> write;
        int item;
        int link;
    } cases[] = {
        {"basic", [&](bool f) { return o.SendBasic(f); }, 31, 0},
        {"crossover", [&](bool f) { return o.SendCrossoverBlock(f); }, 32, 1},
        {"group33", [&](bool f) { return o.SendGroup33(f); }, 33, 1},
        {"group34", [&](bool f) { return o.SendGroup34(f); }, 34, 0},
        {"limit", [&](bool f) { return o.SendLimit(f); }, 35, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.write(false), nullptr) << c.name;
        std::unique_ptr<CSendData> frame = c.write(true);
        ASSERT_NE(frame, nullptr) << c.name;
        const std::vector<std::uint8_t> &f = frame->Frame();
        ASSERT_EQ(f.size(), 24u) << c.name;
        EXPECT_EQ(f[frame::kOffCommand], CMD_WRITE);
        EXPECT_EQ(f[frame::kOffObject], OBJ_OUTPUT);
        EXPECT_EQ(f[frame::kOffChannel], 1);
        EXPECT_EQ(f[frame::kOffParam], c.item) << c.name;
        EXPECT_EQ(f[frame::kOffLink], c.link) << c.name;
        const Bytes8 item = ImageItem(1, c.item);
        EXPECT_TRUE(std::equal(item.begin(), item.end(), f.begin() + frame::kHeaderSize)) << c.name;
    }

    std::unique_ptr<CSendData> name = o.SendName();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Frame()[frame::kOffParam], 36);
    EXPECT_EQ(name->Frame()[frame::kOffLink], 0);

    // A band frame carries the band's packet; its parameter byte is the item the caller names.
    o.GetBand(4)->SetGainCode(100);
    std::unique_ptr<CSendData> band = o.SendBand(4, 4);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Frame()[frame::kOffParam], 4);
    EXPECT_EQ(band->Frame()[frame::kOffLink], 1);
    const Bytes8 packet = ImageItem(1, 4);
    EXPECT_EQ(packet[2] | (packet[3] << 8), 500);
    EXPECT_TRUE(std::equal(packet.begin(), packet.end(), band->Frame().begin() + frame::kHeaderSize));
    EXPECT_EQ(o.SendBand(33, 33), nullptr);
    EXPECT_EQ(o.SendBand(-1, 0), nullptr);
}

TEST_F(OutDataTest, ObsoleteCrossoverWriterSendsTheShownFrequencies)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &o = *out[0];
    o.GetHpf()->SetFreq(100, 0);
    o.GetHpf()->SetFreq(1000, 1);  // the send frequency moves in octave steps
    ASSERT_EQ(o.GetHpf()->GetSendFreq(), 100);
    std::unique_ptr<CSendData> f = o.SendCrossover();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(o.GetHpf()->GetSendFreq(), 1000);
    EXPECT_EQ(o.GetHpf()->GetChanged(), 0);
    EXPECT_EQ(o.GetLpf()->GetChanged(), 0);
    EXPECT_EQ(ImageItem(0, 32)[0] | (ImageItem(0, 32)[1] << 8), 1000);
}

TEST_F(OutDataTest, WholeBlockFrameOfAPreset)
{
    CKTV_OutData &o = *out[4];
    const std::uint8_t alt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    o.SetGroup34Alt(alt);
    std::unique_ptr<CSendData> f = o.FillRecordAndFrame(3);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Frame().size(), 312u);
    EXPECT_EQ(f->Frame()[frame::kOffPreset], 3);
    EXPECT_EQ(f->Frame()[frame::kOffChannel], 4);
    EXPECT_EQ(ImageItem(4, 34), (Bytes8{1, 2, 3, 4, 5, 6, 7, 8}));
}

// ---- names ----------------------------------------------------------------------------------------

TEST_F(OutDataTest, NameLengthIsCheckedWhereTheNameIsSet)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &o = *out[0];
    ASSERT_EQ(o.SetName("Front"), TextFieldResult::Ok);
    o.SetNameStamp(0);

    // Too long for item 36: refused at once, the old name stays and nothing is pending.
    EXPECT_EQ(o.SetName("12345678"), TextFieldResult::TooLong);
    EXPECT_EQ(o.SetName("前置左高频"), TextFieldResult::TooLong);  // 10 GBK bytes
    EXPECT_EQ(o.SetName("\xF0\x9F\x8E\xB5"), TextFieldResult::Unencodable);
    EXPECT_EQ(o.GetName(), "Front");
    EXPECT_EQ(o.GetNameChanged(), 0);

    EXPECT_EQ(o.SetName("1234567"), TextFieldResult::Ok);
    EXPECT_EQ(o.GetNameChanged(), 1);
    o.SendName();
    EXPECT_EQ(ImageItem(0, 36), (Bytes8{'1', '2', '3', '4', '5', '6', '7', 0}));

    // An empty name packs as eight zero bytes.
    SetImageItem(6, 36, {1, 2, 3, 4, 5, 6, 7, 8});
    out[6]->SendName();
    EXPECT_EQ(ImageItem(6, 36), Bytes8{});
}

TEST_F(OutDataTest, UnterminatedDeviceNameLoadsAsWhatTheWriterAccepts)
{
    std::vector<std::uint8_t> block(DeviceImage::kOutSize, 0);
    std::memcpy(&block[36 * 8], "ABCDEFGH", 8);
    CKTV_OutData &o = *out[1];
    o.LoadFromRecord(block);
    EXPECT_EQ(o.GetName(), "ABCDEFG");
    EXPECT_EQ(o.FillRecord(), TextFieldResult::Ok);
    EXPECT_EQ(ImageItem(1, 36), (Bytes8{'A', 'B', 'C', 'D', 'E', 'F', 'G', 0}));
}

// ---- unpacking untrusted bytes ----------------------------------------------------------------------

TEST_F(OutDataTest, BasicItemOutOfRangeIsClamped)
{
    struct Case {
        Bytes8 item;
        int on, polarity, gain, muted, delay, mode, type;
    } cases[] = {
        {{1, 0, 0x58, 0x02, 0xC0, 0x03, 0, 24}, 1, 0, 600, 0, 960, 0, 24},
        {{7, 9, 0xFF, 0xFF, 0xFF, 0xFF, 5, 25}, 1, 1, 600, 0, 960, 1, 0},
        {{0, 0, 0, 0, 0, 0, 0, 0xFF}, 0, 0, 0, 1, 0, 0, 0},
    };
    CKTV_OutData &o = *out[0];
    for (const Case &c : cases) {
        o.LoadBasic(c.item.data());
        EXPECT_EQ(o.GetOn(), c.on);
        EXPECT_EQ(o.GetPolarity(), c.polarity);
        EXPECT_EQ(o.GetGain(), c.gain);
        EXPECT_EQ(o.GetMuted(), c.muted);
        EXPECT_EQ(o.GetDelay(), c.delay);
        EXPECT_EQ(o.GetEqMode(), c.mode);
        EXPECT_EQ(o.GetSpeakerType(), c.type);
    }
}

TEST_F(OutDataTest, CrossoverItemSetsBothFrequenciesAndRefusesUnknownFamiliesAndSlopes)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &o = *out[0];
    const Bytes8 item{80, 0, 1, 3, 0x20, 0x4E, 0, 8};
    o.LoadCrossover(item.data());
    EXPECT_EQ(o.GetHpf()->GetFreq(), 80);
    EXPECT_EQ(o.GetHpf()->GetSendFreq(), 80);
    EXPECT_EQ(o.GetHpf()->GetFamily(), 1);
    EXPECT_EQ(o.GetHpf()->GetSlope(), 3);
    EXPECT_EQ(o.GetLpf()->GetFreq(), 20000);
    EXPECT_EQ(o.GetLpf()->GetSendFreq(), 20000);
    EXPECT_EQ(o.GetLpf()->GetSlope(), 8);
    EXPECT_EQ(o.GetHpf()->GetChanged(), 0);
    EXPECT_EQ(o.GetLpf()->GetChanged(), 0);
    EXPECT_FALSE(o.TakeCrossoverChanges());

    // Family 3 and slope 9 are no table entries: the elements keep theirs. A frequency of 0 is
    // taken as the lowest one.
    const Bytes8 bad{0, 0, 3, 9, 0xFF, 0xFF, 200, 77};
    o.LoadCrossover(bad.data());
    EXPECT_EQ(o.GetHpf()->GetFamily(), 1);
    EXPECT_EQ(o.GetHpf()->GetSlope(), 3);
    EXPECT_EQ(o.GetHpf()->GetFreq(), 20);
    EXPECT_EQ(o.GetLpf()->GetFamily(), 0);
    EXPECT_EQ(o.GetLpf()->GetSlope(), 8);
    EXPECT_EQ(o.GetLpf()->GetFreq(), 20000);
}

TEST_F(OutDataTest, LimitItemBringsTheLinkGroup)
{
    struct Case {
        int channel;
        std::uint8_t linkByte;
        int expected;
    } cases[] = {
        {3, 5, 5},        // a group number
        {3, 0, 0},
        {3, 10, 10},
        {2, 0x30, 0},     // a member mask without the output's own bit: not linked
        {4, 0x30, 0x30},  // a mask that holds output 4
        {7, 0xFF, 0xFF},
    };
    for (const Case &c : cases) {
        Bytes8 item{0xA4, 0x01, 56, 0, 100, 0, c.linkByte, 0};
        out[c.channel]->LoadLimit(item.data());
        EXPECT_EQ(g_LinkGroups[static_cast<std::size_t>(c.channel)], c.expected) << int(c.linkByte);
        EXPECT_EQ(out[c.channel]->GetLimitThreshold(), 420);
        EXPECT_EQ(out[c.channel]->GetLimitBlock()[6], c.expected & 0xFF);
    }

    // A record without a valid channel changes no link table entry.
    CKTV_OutData stray;
    stray.InitEQ(30, 32, 9, 20, 20000);
    stray.SetChannel(12);
    const Bytes8 item{0, 0, 0, 0, 0, 0, 3, 0};
    stray.LoadLimit(item.data());
    for (const auto &g : g_LinkGroups)
        EXPECT_NE(g.load(), 3);
    EXPECT_EQ(stray.SendBasic(true), nullptr);
}

TEST_F(OutDataTest, ShortBlockChangesNothing)
{
    CKTV_OutData &o = *out[0];
    o.SetGain(321);
    std::vector<std::uint8_t> block(DeviceImage::kOutSize - 1, 0);
    o.LoadFromRecord(block);
    EXPECT_EQ(o.GetGain(), 321);
}

// ---- stamps and link copies ---------------------------------------------------------------------------

TEST_F(OutDataTest, LinkedOutputsGetGainAndEqModeButKeepTheirPolarity)
{
    g_bDeviceOnline = 1;
    g_LinkGroups[0] = 3;
    g_LinkGroups[2] = 3;
    out[0]->SetGain(500);
    out[0]->SetEqMode(1);
    out[2]->SetBasicStamp(0);
    out[2]->SetGain(200);  // copied back to output 0
    out[0]->SetBasicStamp(0);
    out[2]->SetBasicStamp(0);
    out[0]->SetGain(480);
    out[2]->SetBasicStamp(0);

    out[0]->SetPolarity(1);
    EXPECT_EQ(out[2]->GetGain(), 480);
    EXPECT_EQ(out[2]->GetEqMode(), 1);
    EXPECT_EQ(out[2]->GetBand(12)->GetShortLabel(), 1);
    EXPECT_EQ(out[2]->GetBasicChanged(), 1);
    EXPECT_EQ(out[2]->GetPolarity(), 0);
    // Outputs outside the group are untouched.
    EXPECT_EQ(out[1]->GetGain(), 600);
    EXPECT_EQ(out[1]->GetBasicChanged(), 0);

    // Delay and on are not copied by the record.
    out[0]->SetDelay(100);
    out[0]->SetOn(0);
    EXPECT_EQ(out[2]->GetDelay(), 0);
    EXPECT_EQ(out[2]->GetOn(), 1);

    // A muted gain travels as mute.
    out[0]->SetGain(0);
    EXPECT_EQ(out[2]->GetMuted(), 1);
    EXPECT_EQ(out[2]->GetGain(), 0);
}

TEST_F(OutDataTest, LimiterCopiesAndStampsOnlyOnChange)
{
    g_bDeviceOnline = 1;
    g_LinkGroups[1] = 0x26;  // a member mask of outputs 1, 2 and 5
    g_LinkGroups[2] = 0x26;
    g_LinkGroups[5] = 0x26;

    out[1]->SetLimitThreshold(420);  // already 420
    for (int n : {1, 2, 5})
        EXPECT_EQ(out[n]->GetLimitChanged(), 0) << n;

    out[1]->SetLimitAttack(10);
    for (int n : {1, 2, 5}) {
        EXPECT_EQ(out[n]->GetLimitChanged(), 1) << n;
        EXPECT_EQ(out[n]->GetLimitAttack(), 10) << n;
        EXPECT_EQ(out[n]->GetLimitThreshold(), 420) << n;
        EXPECT_EQ(out[n]->GetLimitRelease(), 100) << n;
    }
    EXPECT_EQ(out[0]->GetLimitChanged(), 0);
}

TEST_F(OutDataTest, LevelBytesStampOnlyOnChange)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &o = *out[0];
    o.SetGroup33Byte2(100);
    o.SetGroup34Byte5(100);
    EXPECT_EQ(o.GetGroup33Changed(), 0);
    EXPECT_EQ(o.GetGroup34Changed(), 0);
    o.SetGroup33Byte2(55);
    o.SetGroup34Byte5(56);
    EXPECT_EQ(o.GetGroup33Changed(), 1);
    EXPECT_EQ(o.GetGroup34Changed(), 1);
    EXPECT_EQ(o.GetGroup33Byte2(), 55);
    EXPECT_EQ(o.GetGroup34Byte5(), 56);

    // The extra levels are in no item: setting one resends item 34 as it is.
    o.SetGroup34Stamp(0);
    o.SetExtra2(7);
    EXPECT_EQ(o.GetGroup34Changed(), 1);
    o.SendGroup34(false);
    EXPECT_EQ(ImageItem(0, 34), (Bytes8{100, 100, 100, 100, 100, 56, 100, 100}));
}

TEST_F(OutDataTest, OfflineEditsStampNothing)
{
    g_LinkGroups[0] = 1;
    g_LinkGroups[1] = 1;
    CKTV_OutData &o = *out[0];
    o.SetGain(100);
    o.SetPolarity(1);
    o.SetEqMode(1);
    o.SetDelay(10);
    o.SetOn(0);
    o.SetName("x");
    o.SetLimitThreshold(1);
    o.SetGroup33Byte0(1);
    o.SetGroup34Byte4(1);
    o.SetExtra0(1);
    for (int n : {0, 1}) {
        const CKTV_OutData &r = *out[n];
        EXPECT_EQ(r.GetBasicChanged() + r.GetNameChanged() + r.GetLimitChanged() + r.GetGroup33Changed() +
                      r.GetGroup34Changed(),
                  0)
            << n;
    }
}

TEST_F(OutDataTest, ResettingAllStampsLeavesTheName)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &o = *out[0];
    o.SetName("N");
    o.SetGain(1);
    o.SetLimitRelease(3);
    o.SetGroup33Byte1(1);
    o.SetGroup34Byte4(1);
    o.SetLevelC(3);
    o.GetBand(3)->SetGainCode(300);
    o.SetAllChanged(0);
    EXPECT_EQ(o.GetNameChanged(), 1);
    EXPECT_EQ(o.GetBasicChanged() + o.GetLimitChanged() + o.GetGroup33Changed() + o.GetGroup34Changed() +
                  o.GetLevelChanged(),
              0);
    EXPECT_EQ(o.GetBand(3)->GetChanged(), 0);
}

TEST_F(OutDataTest, GroupAltArrayGoesToLinkedOutputs)
{
    g_bDeviceOnline = 1;
    g_LinkGroups[3] = 2;
    g_LinkGroups[6] = 2;
    const std::uint8_t alt[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    out[3]->SetGroup34Alt(alt);
    out[3]->LinkGroup34Alt(123);
    EXPECT_EQ(out[6]->GetGroup34Alt(0), 9);
    EXPECT_EQ(out[6]->GetGroup34Alt(7), 2);
    EXPECT_EQ(out[6]->GetGroup34Changed(), 1);
    EXPECT_EQ(out[3]->GetGroup34Changed(), 1);
    EXPECT_EQ(out[0]->GetGroup34Changed(), 0);
}

TEST_F(OutDataTest, AuxiliaryLevels)
{
    // Channels 0, 2, 4 start with level A 1, channels 1, 3, 5 with level B 1, 6 and 7 as built.
    EXPECT_EQ(out[0]->GetLevelA(), 1);
    EXPECT_EQ(out[0]->GetZeroA(), 0);
    EXPECT_EQ(out[0]->GetLevelB(), 50);
    EXPECT_EQ(out[3]->GetLevelB(), 1);
    EXPECT_EQ(out[3]->GetZeroB(), 0);
    EXPECT_EQ(out[6]->GetLevelA(), 50);
    EXPECT_EQ(out[6]->GetZeroA(), 1);
    EXPECT_EQ(out[6]->GetMix0Text(), "0%");

    g_LinkGroups[6] = 1;
    g_LinkGroups[7] = 1;
    out[6]->SetMixZero0(0);
    EXPECT_EQ(out[6]->GetLevelA(), 1);
    EXPECT_EQ(out[6]->GetMix0Text(), "1%");
    out[6]->SetLevelF(33);  // A, B and F follow to the linked output
    EXPECT_EQ(out[7]->GetLevelF(), 33);
    EXPECT_EQ(out[7]->GetLevelA(), 1);
    out[6]->SetLevelD(0);
    EXPECT_EQ(out[6]->GetZeroD(), 1);
    EXPECT_EQ(out[7]->GetLevelD(), 40);
}

// ---- copies ---------------------------------------------------------------------------------------

TEST_F(OutDataTest, ChannelCopiesStampNothing)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &src = *out[0];
    src.SetGain(250);
    src.SetDelay(77);
    src.SetEqMode(1);
    src.SetSpeakerType(1);
    src.SetGroup33Byte7(3);
    src.SetExtra3(4);
    src.SetLimitThreshold(11);
    src.GetBand(9)->SetGainCode(10);

    CKTV_OutData &dst = *out[1];
    dst.CopyChannelFrom(src);
    EXPECT_EQ(dst.GetGain(), 250);
    EXPECT_EQ(dst.GetDelay(), 77);
    EXPECT_EQ(dst.GetEqMode(), 1);
    EXPECT_EQ(dst.GetBand(0)->GetShortLabel(), 1);
    EXPECT_EQ(dst.GetSpeakerType(), 1);
    EXPECT_EQ(dst.GetGroup33Byte7(), 3);
    EXPECT_EQ(dst.GetExtra(3), 4);
    EXPECT_EQ(dst.GetLimitThreshold(), 11);
    EXPECT_EQ(dst.GetBand(9)->GetGainCode(), 10);
    EXPECT_EQ(dst.GetBasicChanged() + dst.GetLimitChanged() + dst.GetGroup33Changed(), 0);

    CKTV_OutData &eq = *out[2];
    eq.SetGain(0);
    eq.SetBasicStamp(0);
    eq.CopyEqAndLimitFrom(src);
    EXPECT_EQ(eq.GetGain(), 0);
    EXPECT_EQ(eq.GetMuted(), 1);
    EXPECT_EQ(eq.GetLimitThreshold(), 11);
    EXPECT_EQ(eq.GetBand(9)->GetGainCode(), 10);
    EXPECT_EQ(eq.GetDelay(), 0);
    EXPECT_EQ(eq.GetBasicChanged(), 0);
}

// ---- elements, speaker type and texts ------------------------------------------------------------------

TEST_F(OutDataTest, ElementAccessStaysInsideTheSet)
{
    CKTV_OutData &o = *out[0];
    EXPECT_EQ(o.GetCount(), 33);
    EXPECT_NE(o.GetBand(32), nullptr);
    EXPECT_EQ(o.GetBand(33), nullptr);
    EXPECT_EQ(o.GetBand(-1), nullptr);
    EXPECT_EQ(o.GetBand(o.GetHpfIndex()), o.GetHpf());
    EXPECT_EQ(o.GetHpf()->GetType(), CFilter::kTypeHighPass);
    EXPECT_EQ(o.GetLpf()->GetType(), CFilter::kTypeLowPass);

    CKTV_OutData empty;
    EXPECT_EQ(empty.GetBand(0), nullptr);
    empty.SetSpeakerType(1);  // no elements yet: nothing to adjust
    EXPECT_EQ(empty.SendBand(0, 0), nullptr);
}

TEST_F(OutDataTest, SpeakerTypeChoosesTheHighPassDragMode)
{
    CKTV_OutData &o = *out[0];
    for (int code = 0; code <= 24; ++code) {
        o.SetSpeakerType(code);
        const bool tweeter = code == 1 || code == 7 || code == 13 || code == 16 || code == 19;
        EXPECT_EQ(o.GetHpf()->GetDragMode(), tweeter ? 11 : 12) << code;
        EXPECT_EQ(o.GetLpf()->GetDragMode(), 12);
    }
}

TEST_F(OutDataTest, EqBypassAndFlatFlag)
{
    CKTV_OutData &o = *out[0];
    o.UpdateEqFlat();
    EXPECT_EQ(o.GetEqFlat(), 1);
    o.GetBand(2)->SetGainCode(150);
    o.UpdateEqFlat();
    EXPECT_EQ(o.GetEqFlat(), 0);
    o.SetEqBypass(1);
    o.UpdateEqFlat();
    EXPECT_EQ(o.GetEqFlat(), 1);
    o.SendBand(2, 2);
    EXPECT_EQ(ImageItem(0, 2)[2] | (ImageItem(0, 2)[3] << 8), 600);
    o.SetEqBypass(0);
    o.UpdateEqFlat();
    EXPECT_EQ(o.GetEqFlat(), 0);
}

TEST_F(OutDataTest, CurvesFollowThePlot)
{
    CKTV_OutData &o = *out[0];
    o.SetPlotRect(CRect{0, 0, 600, 240});
    EXPECT_EQ(o.GetZeroDbY(), 130);
    EXPECT_EQ(o.m_ptCurve[3].x, 6 + 40);  // 21.5 Hz: log10(21.5 / 20) x 200 = 6.3
    EXPECT_EQ(o.m_ptCurve[136].x, 339 + 40);
    for (int i = 0; i < kFreqPoints; ++i)
        EXPECT_FLOAT_EQ(o.m_ptCurveF[i].y, 130.0f) << i;  // every element flat: the 0 dB line

    o.GetBand(17)->SetGainCode(320);  // +12 dB at 1000 Hz
    o.UpdateCurve();
    EXPECT_LT(o.m_ptCurveF[136].y, 130.0f);
    o.UpdateBandCurve(17);
    EXPECT_LT(o.m_ptCurve[136].y, 130);
    EXPECT_NEAR(o.m_ptCurve[0].y, 130, 1);
}

TEST_F(OutDataTest, LayoutAloneThenAnUpdateGivesTheCurveOfSetPlotRect)
{
    // A graph lays every output out but sums only the curves it draws: the two steps must end
    // where SetPlotRect does, for a curve that is not flat and after the plot changed size.
    CKTV_OutData &summed = *out[0], &laidOut = *out[1];
    for (CKTV_OutData *o : {&summed, &laidOut}) {
        o->SetPlotRect(CRect{0, 0, 400, 120});
        o->GetBand(17)->SetGainCode(320);
        o->GetBand(4)->SetGainCode(80);
    }
    const CRect plot{0, 0, 600, 240};
    summed.SetPlotRect(plot);
    laidOut.SetPlotGeometry(plot);
    EXPECT_EQ(laidOut.GetZeroDbY(), summed.GetZeroDbY());
    EXPECT_EQ(laidOut.GetBand(17)->GetMarkerRect(), summed.GetBand(17)->GetMarkerRect());
    laidOut.UpdateCurve();
    for (int i = 0; i < kFreqPoints; ++i) {
        EXPECT_FLOAT_EQ(laidOut.m_ptCurveF[i].x, summed.m_ptCurveF[i].x) << i;
        EXPECT_FLOAT_EQ(laidOut.m_ptCurveF[i].y, summed.m_ptCurveF[i].y) << i;
    }
    EXPECT_LT(laidOut.m_ptCurveF[136].y, laidOut.GetZeroDbY());
}

TEST_F(OutDataTest, ReportTexts)
{
    const int savedLanguage = g_bChinese.load();
    g_bChinese = 0;
    CKTV_OutData &o = *out[0];

    struct GainCase {
        int code;
        const char *text;
    } gains[] = {{600, "0.0dB"}, {450, "-15.0dB"}, {1, "-59.9dB"}, {0, "-60.0dB"}};
    for (const GainCase &c : gains) {
        o.SetGain(c.code);
        EXPECT_EQ(o.GetGainText(), c.text) << c.code;
    }
    o.SetGain(450);
    o.SetMuted(1);
    EXPECT_EQ(o.GetGainText(), "-60.0dB");

    // The delay shows the milliseconds of its 1/48 ms code.
    struct DelayCase {
        int code;
        const char *text;
    } delays[] = {{0, "0.000ms"}, {1, "0.021ms"}, {119, "2.479ms"}, {120, "2.500ms"}, {121, "2.521ms"},
                  {480, "10.000ms"}, {960, "20.000ms"}};
    for (const DelayCase &c : delays) {
        o.SetDelay(c.code);
        EXPECT_EQ(o.GetDelayText(), c.text) << c.code;
    }

    struct LimitCase {
        int threshold, attack, release;
        const char *thresholdText, *attackText, *releaseText;
    } limits[] = {
        {420, 0, 0, "12.0dBu", "0.3ms", "Atk * 2"},
        {0, 6, 5, "-30.0dBu", "0.9ms", "Atk * 32"},
        {305, 7, 6, "0.5dBu", "1ms", ""},
        {300, 206, 4, "0.0dBu", "200ms", "Atk * 16"},
    };
    for (const LimitCase &c : limits) {
        o.SetLimitThreshold(c.threshold);
        o.SetLimitAttack(c.attack);
        o.SetLimitRelease(c.release);
        EXPECT_EQ(o.GetThresholdText(), c.thresholdText);
        EXPECT_EQ(o.GetAttackText(), c.attackText);
        EXPECT_EQ(o.GetReleaseText(), c.releaseText);
    }

    EXPECT_EQ(o.GetPolarityText(), "Pol+");
    o.SetPolarity(1);
    EXPECT_EQ(o.GetPolarityText(), "Pol-");
    g_bChinese = 1;
    EXPECT_EQ(o.GetPolarityText(), "反相");
    g_bChinese = 0;
    EXPECT_EQ(o.GetOnText(), "On");
    o.SetOn(0);
    EXPECT_EQ(o.GetOnText(), "OFF");

    // Switch bits 16: only bit 4 on.
    EXPECT_EQ(o.GetSwitchText(0), "OFF");
    EXPECT_EQ(o.GetSwitchText(4), "On");
    EXPECT_EQ(o.GetSplitText(), "50%:50%");
    o.SetLevelG(30);
    EXPECT_EQ(o.GetSplitText(), "30%:70%");
    EXPECT_EQ(o.GetMix2Text(), "50%");
    EXPECT_EQ(o.GetMix3Text(), "40%");
    EXPECT_EQ(o.GetMix4Text(), "80%");
    EXPECT_EQ(o.GetMixOnText0(), "ON");
    o.SetMixZero0(1);
    EXPECT_EQ(o.GetMixOnText0(), "OFF");
    EXPECT_EQ(o.GetMix0Text(), "0%");
    g_bChinese = savedLanguage;
}

} // namespace

namespace {

// The UI thread edits while the link worker takes stamps and writes items, as the scheduler does:
// whatever interleaving, the last edit reaches the image once the remaining stamps are taken.
TEST_F(OutDataTest, EditsRacingTheWorkerAreNeverLost)
{
    g_bDeviceOnline = 1;
    CKTV_OutData &o = *out[5];
    std::atomic<bool> done{false};
    auto takeOne = [&o] {
        if (o.GetNameChanged()) {
            o.SetNameStamp(0);
            o.SendName();
        } else if (o.GetBasicChanged()) {
            o.SetBasicStamp(0);
            o.SendBasic(true);
        } else if (o.GetGroup33Changed()) {
            o.SetGroup33Stamp(0);
            o.SendGroup33(true);
        } else if (o.GetLimitChanged()) {
            o.SetLimitStamp(0);
            o.SendLimit(true);
        } else {
            return false;
        }
        return true;
    };
    std::thread worker([&] {
        while (!done)
            takeOne();
    });
    const char *names[] = {"A", "BB", "CCC"};
    for (int i = 1; i <= 2000; ++i) {
        o.SetGain(i % 601);
        o.SetDelay(i % 961);
        o.SetGroup33Byte(i % 8, i & 0xFF);
        o.SetLimitRelease(i % 6);
        o.SetName(names[i % 3]);
    }
    done = true;
    worker.join();
    while (takeOne()) {
    }

    const Bytes8 basic = ImageItem(5, 31);
    EXPECT_EQ(basic[2] | (basic[3] << 8), o.GetGain());
    EXPECT_EQ(basic[4] | (basic[5] << 8), o.GetDelay());
    Bytes8 levels{};
    o.GetGroup33(levels.data());
    EXPECT_EQ(ImageItem(5, 33), levels);
    EXPECT_EQ(ImageItem(5, 35)[4], o.GetLimitRelease());
    EXPECT_EQ(ImageItem(5, 36)[0], static_cast<std::uint8_t>(o.GetName()[0]));
}

} // namespace

namespace {

// Arbitrary device bytes: unpacking never fails, and what it keeps is stable: packing the record
// and unpacking that block again changes nothing more.
TEST_F(OutDataTest, ArbitraryBlocksSettleAfterOneRoundTrip)
{
    std::mt19937 rng(470);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> block(DeviceImage::kOutSize);
        for (auto &b : block)
            b = static_cast<std::uint8_t>(byte(rng));
        CKTV_OutData &o = *out[round % 8];
        o.LoadFromRecord(block);
        o.FillRecord();
        const std::vector<std::uint8_t> once = Block(round % 8);
        o.LoadFromRecord(once);
        ASSERT_EQ(o.FillRecord(), TextFieldResult::Ok) << round;
        ASSERT_EQ(Block(round % 8), once) << round;
    }
}

} // namespace
