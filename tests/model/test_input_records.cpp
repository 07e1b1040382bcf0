#include "model/Effect_Data.h"
#include "model/InitGlobalData.h"
#include "model/MIC_InData.h"
#include "model/Music_InData.h"

#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <span>
#include <vector>

namespace {

std::vector<std::uint8_t> BlockCopy(int objType, int channel)
{
    std::lock_guard lock(g_csImage);
    auto b = g_CurImage.Block(objType, channel);
    return {b.begin(), b.end()};
}

void FillBlock(int objType, int channel, std::uint8_t value)
{
    std::lock_guard lock(g_csImage);
    auto b = g_CurImage.Block(objType, channel);
    std::fill(b.begin(), b.end(), value);
}

const std::uint8_t *Item(const std::vector<std::uint8_t> &block, int k) { return block.data() + 8 * k; }
int Word(const std::uint8_t *p) { return p[0] | (p[1] << 8); }

class InputRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Records are built while offline, as at start-up; tests go online where they need to.
        InitGlobalData();
    }
    void TearDown() override { g_bDeviceOnline = 0; }
};

// ---- music input -------------------------------------------------------------------------------

struct MusicFixture {
    CMusic_InData rec;
    explicit MusicFixture(int channel)
    {
        rec.InitEQ(30, 32, 20000);
        rec.SetChannel(channel);
    }
};

TEST_F(InputRecords, MusicFillWritesItsItemsAndKeepsForeignBytes)
{
    MusicFixture m(2);
    m.rec.SetName("Mus 3");
    m.rec.SetPolarity(1);
    m.rec.SetEqMode(1);
    m.rec.SetSwitch(0);
    m.rec.SetDelay(300);
    m.rec.SetGain(450);
    m.rec.SetThreshold(0x1FF);  // the low byte is written
    m.rec.SetLimitThreshold(420);
    m.rec.SetLimitAttack(5);
    m.rec.SetLimitRelease(3);
    m.rec.GetBand(4)->SetGainCode(260);

    FillBlock(OBJ_MUSIC, 2, 0xA5);
    EXPECT_EQ(m.rec.FillRecord(), TextFieldResult::Ok);
    const auto b = BlockCopy(OBJ_MUSIC, 2);

    EXPECT_EQ(Word(Item(b, 4) + 2), 260 + 400);
    const std::uint8_t *basic = Item(b, 31);
    EXPECT_EQ(basic[0], 0xA5);  // not the record's
    EXPECT_EQ(basic[1], 1);
    EXPECT_EQ(basic[2], 1);
    EXPECT_EQ(basic[3], 0);
    EXPECT_EQ(Word(basic + 4), 300);
    EXPECT_EQ(Word(basic + 6), 450);
    const std::uint8_t *xo = Item(b, 32);
    EXPECT_EQ(Word(xo), 20);
    EXPECT_EQ(xo[2], 2);  // Bessel
    EXPECT_EQ(Word(xo + 4), 20000);
    const std::uint8_t *thr = Item(b, 33);
    EXPECT_EQ(thr[0], 0xFF);
    for (int i = 1; i < 8; ++i) EXPECT_EQ(thr[i], 0xA5) << i;
    const std::uint8_t *lim = Item(b, 34);
    EXPECT_EQ(Word(lim), 420);
    EXPECT_EQ(lim[2], 5);
    EXPECT_EQ(lim[3], 3);
    for (int i = 4; i < 8; ++i) EXPECT_EQ(lim[i], 0xA5) << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(Item(b, 35))), "Mus 3");
    EXPECT_EQ(Item(b, 35)[7], 0);
    // Other inputs' blocks are untouched.
    EXPECT_EQ(BlockCopy(OBJ_MUSIC, 1), std::vector<std::uint8_t>(BlockCopy(OBJ_MUSIC, 1)));
}

TEST_F(InputRecords, MusicLoadRestoresWhatAFillWrote)
{
    MusicFixture a(0), b(0);
    a.rec.SetName("Guitar");
    a.rec.SetPolarity(1);
    a.rec.SetEqMode(1);
    a.rec.SetDelay(77);
    a.rec.SetGain(123);
    a.rec.SetThreshold(60);
    a.rec.SetLimitThreshold(300);
    a.rec.SetLimitAttack(2);
    a.rec.SetLimitRelease(4);
    a.rec.GetBand(10)->SetGainCode(150);
    a.rec.GetBand(10)->SetBandwidthIndex(100);
    a.rec.FillRecord();

    b.rec.SetChanged(0);
    b.rec.LoadFromRecord(BlockCopy(OBJ_MUSIC, 0));
    EXPECT_EQ(b.rec.GetName(), "Guitar");
    EXPECT_EQ(b.rec.GetPolarity(), 1);
    EXPECT_EQ(b.rec.GetEqMode(), 1);
    EXPECT_EQ(b.rec.GetBand(3)->GetShortLabel(), 1);
    EXPECT_EQ(b.rec.GetHpf()->GetShortLabel(), 0);
    EXPECT_EQ(b.rec.GetDelay(), 77);
    EXPECT_EQ(b.rec.GetGain(), 123);
    EXPECT_EQ(b.rec.GetThreshold(), 60);
    EXPECT_EQ(b.rec.GetLimitThreshold(), 300);
    EXPECT_EQ(b.rec.GetLimitAttack(), 2);
    EXPECT_EQ(b.rec.GetLimitRelease(), 4);
    EXPECT_EQ(b.rec.GetBand(10)->GetGainCode(), 150);
    EXPECT_EQ(b.rec.GetBand(10)->GetBandwidthIndex(), 100);
    // Loading stamps nothing.
    EXPECT_EQ(b.rec.GetRecordChanged(), 0);
    EXPECT_EQ(b.rec.GetBand(10)->GetChanged(), 0);
    // A block too short for the record changes nothing.
    b.rec.LoadFromRecord(std::vector<std::uint8_t>(100, 0));
    EXPECT_EQ(b.rec.GetGain(), 123);
}

TEST_F(InputRecords, StampsFollowTheOnlineMark)
{
    MusicFixture m(0);
    m.rec.SetGain(300);
    m.rec.SetThreshold(10);
    m.rec.SetLimitAttack(1);
    EXPECT_EQ(m.rec.GetGain(), 300);
    EXPECT_EQ(m.rec.GetRecordChanged(), 0);
    EXPECT_EQ(m.rec.GetThresholdChanged(), 0);
    EXPECT_EQ(m.rec.GetLimitChanged(), 0);

    g_bDeviceOnline = 1;
    m.rec.SetDelay(5);
    m.rec.SetThreshold(11);
    EXPECT_EQ(m.rec.GetRecordChanged(), 1);
    EXPECT_EQ(m.rec.GetThresholdChanged(), 1);
    m.rec.SetChanged(0);
    EXPECT_EQ(m.rec.GetRecordChanged(), 0);
    EXPECT_EQ(m.rec.GetThresholdChanged(), 0);
}

TEST_F(InputRecords, NamesMustFitTheirItem)
{
    MusicFixture m(0);
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    CEffect_Data fx;
    struct Case { std::string name; TextFieldResult result; };
    const Case cases[] = {
        {"1234567", TextFieldResult::Ok},
        {"12345678", TextFieldResult::TooLong},
        {"中文名", TextFieldResult::Ok},      // 6 GBK bytes
        {"中文名字", TextFieldResult::TooLong}, // 8 GBK bytes
    };
    for (const auto &c : cases) {
        EXPECT_EQ(m.rec.SetName(c.name), c.result) << c.name;
        EXPECT_EQ(mic.SetName(c.name), c.result) << c.name;
        EXPECT_EQ(fx.SetName(c.name), c.result) << c.name;
    }
    EXPECT_EQ(m.rec.GetName(), "中文名");
    EXPECT_EQ(mic.GetName(), "中文名");
    EXPECT_EQ(fx.GetName(), "中文名");
}

TEST_F(InputRecords, MusicItemFramesCarryTheItemJustWritten)
{
    MusicFixture m(5);
    m.rec.SetName("Vox");
    m.rec.SetGain(512);
    struct Case { std::unique_ptr<CSendData> frame; int item; };
    Case cases[] = {{m.rec.SendBasic(true), 31}, {m.rec.SendName(), 35}, {m.rec.SendBand(7, 7), 7}};
    const auto block = BlockCopy(OBJ_MUSIC, 5);
    for (auto &c : cases) {
        ASSERT_TRUE(c.frame) << c.item;
        const auto &f = c.frame->Frame();
        ASSERT_EQ(f.size(), 24u);
        EXPECT_EQ(f[4], CMD_WRITE);
        EXPECT_EQ(f[7], OBJ_MUSIC);
        EXPECT_EQ(f[8], 5);
        EXPECT_EQ(f[9], c.item);
        EXPECT_TRUE(std::equal(f.begin() + 14, f.begin() + 22, Item(block, c.item))) << c.item;
    }
    EXPECT_EQ(m.rec.SendThreshold(false), nullptr);
    EXPECT_EQ(m.rec.SendBand(31, 31), nullptr);  // crossovers are not bands
}

// ---- microphone -----------------------------------------------------------------------------------

TEST_F(InputRecords, MicGainZeroMutesAndPacksZero)
{
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    mic.SetGain(0);
    EXPECT_EQ(mic.GetMuted(), 1);
    EXPECT_EQ(mic.GetGain(), 0);
    mic.SetGain(250);
    EXPECT_EQ(mic.GetMuted(), 0);
    EXPECT_EQ(mic.GetGain(), 250);

    mic.SetLevel(3);
    mic.SetOption(7);
    mic.SetLimitAttack(9);
    mic.SetLimitRelease(4);
    FillBlock(OBJ_MIC, 0, 0x5A);
    mic.FillRecord();
    const auto b = BlockCopy(OBJ_MIC, 0);
    EXPECT_EQ(Item(b, 9)[0], 3);
    EXPECT_EQ(Item(b, 9)[2], 7);
    EXPECT_EQ(Word(Item(b, 9) + 6), 250);
    EXPECT_EQ(Item(b, 12)[2], 9);
    EXPECT_EQ(Item(b, 12)[3], 4);
    for (int i = 1; i < 8; ++i) EXPECT_EQ(Item(b, 11)[i], 0x5A) << i;
    for (int i = 4; i < 8; ++i) EXPECT_EQ(Item(b, 12)[i], 0x5A) << i;

    CMIC_InData back;
    back.InitEQ(8, 10, 20000);
    back.LoadFromRecord(b);
    EXPECT_EQ(back.GetLimitAttack(), 9);
    EXPECT_EQ(back.GetLimitRelease(), 4);
    EXPECT_EQ(back.GetLevel(), 3);
    EXPECT_EQ(back.GetOption(), 7);
    EXPECT_EQ(back.GetGain(), 250);
}

TEST_F(InputRecords, MicNameOfEightBytesWithoutNulLoadsAsSeven)
{
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    std::vector<std::uint8_t> block(DeviceImage::kMicSize, 0);
    const char name[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    std::copy(name, name + 8, block.begin() + 13 * 8);
    block[9 * 8 + 6] = 0;  // gain 0 loads as muted
    mic.LoadFromRecord(block);
    EXPECT_EQ(mic.GetName(), "ABCDEFG");  // the rule of every record: at most 7 bytes
    EXPECT_EQ(mic.GetMuted(), 1);
    // So it always fits back into its terminated field.
    FillBlock(OBJ_MIC, 0, 0x11);
    EXPECT_EQ(mic.FillRecord(), TextFieldResult::Ok);
    EXPECT_EQ(Item(BlockCopy(OBJ_MIC, 0), 13)[6], 'G');
    EXPECT_EQ(Item(BlockCopy(OBJ_MIC, 0), 13)[7], 0);
}

TEST_F(InputRecords, BypassCoversCrossoversForMicAndEffectOnlyBandsForMusic)
{
    MusicFixture m(0);
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    CEffect_Data fx;
    m.rec.GetHpf()->SetGainCode(260);  // a crossover with a gain is not neutral
    mic.GetHpf()->SetGainCode(260);
    fx.GetHpf()->SetGainCode(260);
    for (int i : {0, 3}) {
        m.rec.GetBand(i)->SetGainCode(300);
        mic.GetBand(i)->SetGainCode(300);
        fx.GetBand(i == 3 ? 2 : i)->SetGainCode(300);
    }
    EXPECT_FALSE(m.rec.IsAllBypassed());
    m.rec.SetAllBypass(1);
    EXPECT_TRUE(m.rec.IsAllBypassed());
    EXPECT_EQ(m.rec.GetHpf()->GetBypass(), 0);

    mic.SetAllBypass(1);
    EXPECT_TRUE(mic.IsAllBypassed());
    EXPECT_EQ(mic.GetHpf()->GetBypass(), 1);
    fx.SetAllBypass(1);
    EXPECT_TRUE(fx.IsAllBypassed());
    EXPECT_EQ(fx.GetLpf()->GetBypass(), 1);
    mic.SetAllBypass(0);
    EXPECT_FALSE(mic.IsAllBypassed());
}

// The three records serve the response graph and the pages alike through their common base: the
// curve colours each starts with, the crossover marks, and the effect's channel byte.
TEST_F(InputRecords, EveryRecordServesThroughTheInputRecordBase)
{
    MusicFixture m(4);
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    CEffect_Data fx;
    fx.SetChannel(0x104);
    struct Case {
        const char *what;
        CInputRecord *rec;
        COLORREF colour;
        std::uint32_t argb;
        int channel;
    };
    const Case cases[] = {
        {"music", &m.rec, 0, 0, 4},
        {"microphone", &mic, 0, 0, 0},
        {"effect", &fx, RGB(255, 0, 0), 0xDCFF0000u, 4},
    };
    g_bDeviceOnline = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rec->GetCurveColor(), c.colour);
        EXPECT_EQ(c.rec->GetCurveArgb(), c.argb);
        EXPECT_EQ(c.rec->GetCurveFlag(), 1);
        EXPECT_EQ(c.rec->GetChannel(), c.channel);
        EXPECT_FALSE(c.rec->TakeCrossoverChanges());
        c.rec->GetLpf()->SetFreq(12000, 1);
        EXPECT_TRUE(c.rec->TakeCrossoverChanges());
    }
}

// A crossover family or slope beyond the tables (a damaged block) is not taken: the element keeps
// its own, and a fill writes values the preset files and the device accept.
TEST_F(InputRecords, CrossoverValuesOutsideTheTablesAreNotTaken)
{
    MusicFixture m(1);
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    CEffect_Data fx;
    struct Case {
        const char *name;
        int objType, channel, crossoverItem;
        std::function<void(std::span<const std::uint8_t>)> load;
        CFilter *hpf;
        std::function<void()> fill;
    };
    const Case cases[] = {
        {"music", OBJ_MUSIC, 1, 32, [&](auto b) { m.rec.LoadFromRecord(b); }, m.rec.GetHpf(),
         [&] { m.rec.FillRecord(); }},
        {"mic", OBJ_MIC, 0, 10, [&](auto b) { mic.LoadFromRecord(b); }, mic.GetHpf(), [&] { mic.FillRecord(); }},
        {"effect", OBJ_EFFECT, 0, 15, [&](auto b) { fx.LoadFromRecord(b); }, fx.GetHpf(), [&] { fx.FillRecord(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.fill();
        auto block = BlockCopy(c.objType, c.channel);
        std::uint8_t *x = block.data() + 8 * c.crossoverItem;
        x[0] = 100;  // high-pass at 100 Hz, family 3 and slope 9 do not exist
        x[1] = 0;
        x[2] = 3;
        x[3] = 9;
        x[6] = 1;  // the low-pass takes Butterworth, slope 4
        x[7] = 4;
        const int family = c.hpf->GetFamily(), slope = c.hpf->GetSlope();
        c.load(block);
        EXPECT_EQ(c.hpf->GetFreq(), 100);
        EXPECT_EQ(c.hpf->GetFamily(), family);
        EXPECT_EQ(c.hpf->GetSlope(), slope);
        c.fill();
        const auto packed = BlockCopy(c.objType, c.channel);
        const std::uint8_t *y = Item(packed, c.crossoverItem);
        EXPECT_EQ(y[2], family);
        EXPECT_EQ(y[3], slope);
        EXPECT_EQ(y[6], 1);
        EXPECT_EQ(y[7], 4);
    }
}

// ---- effect -------------------------------------------------------------------------------------

TEST_F(InputRecords, EffectFillWritesOnlyItsItems)
{
    CEffect_Data fx;
    fx.SetGroup1Byte6(9);
    fx.SetGroup2Byte4(44);
    fx.SetGroup2Byte7(70);
    FillBlock(OBJ_EFFECT, 0, 0xC3);
    fx.FillRecord();
    const auto b = BlockCopy(OBJ_EFFECT, 0);
    EXPECT_EQ(Word(Item(b, 0)), 100);
    EXPECT_EQ(Word(Item(b, 1)), 1000);
    EXPECT_EQ(Word(Item(b, 2)), 10000);
    for (int k = 3; k <= 14; ++k)
        for (int i = 0; i < 8; ++i) ASSERT_EQ(Item(b, k)[i], 0xC3) << k;
    EXPECT_EQ(Word(Item(b, 15)), 20);
    EXPECT_EQ(Word(Item(b, 15) + 4), 20000);
    const std::uint8_t g1[8] = {20, 84, 50, 68, 0xC3, 0xC3, 9, 0xC3};
    const std::uint8_t g2[8] = {18, 50, 0, 40, 44, 0xC3, 0xC3, 70};
    EXPECT_TRUE(std::equal(g1, g1 + 8, Item(b, 16)));
    EXPECT_TRUE(std::equal(g2, g2 + 8, Item(b, 17)));
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(Item(b, 18))), "Effect");

    CEffect_Data back;
    back.LoadFromRecord(b);
    EXPECT_EQ(back.GetGroup2Byte4(), 44);
    EXPECT_EQ(back.GetGroup1Byte6(), 9);
    EXPECT_EQ(back.GetName(), "Effect");
}

TEST_F(InputRecords, EffectFramesAreAddressedByTheRecordItems)
{
    CEffect_Data fx;
    fx.SetGroup1Byte0(33);
    auto f = fx.SendGroup1();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Frame()[7], OBJ_EFFECT);
    EXPECT_EQ(f->Frame()[9], 9);
    EXPECT_EQ(f->Frame()[14], 33);  // carries group 1, not image item 9
    auto x = fx.SendCrossover(true);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->Frame()[9], 8);
    EXPECT_EQ(Word(x->Frame().data() + 14), 20);
}

TEST_F(InputRecords, EffectGroup1Byte0Text)
{
    const std::pair<int, const char *> cases[] = {
        {20, "R_80%"}, {99, "R_1%"}, {100, "OFF"}, {101, "L_1%"}, {195, "L_95%"}, {196, ""}, {255, ""},
    };
    CEffect_Data fx;
    for (const auto &[v, text] : cases) {
        fx.SetGroup1Byte0(v);
        EXPECT_EQ(fx.GetGroup1Byte0Text(), text) << v;
    }
}

TEST_F(InputRecords, ReportTexts)
{
    MusicFixture m(0);
    m.rec.SetGain(450);
    m.rec.SetDelay(150);
    m.rec.SetThreshold(0);
    m.rec.SetLimitThreshold(500);
    EXPECT_EQ(m.rec.GetGainText(), "370dB");
    EXPECT_EQ(m.rec.GetDelayText(), "60.0ms");
    EXPECT_EQ(m.rec.GetThresholdText(), "OFF");
    m.rec.SetThreshold(40);
    EXPECT_EQ(m.rec.GetThresholdText(), "-80.0dBu");
    EXPECT_EQ(m.rec.GetLimitThresholdText(), "20.0");
    CMIC_InData mic;
    EXPECT_EQ(mic.GetLevelText(), " OFF ");
    mic.SetLevel(4);
    EXPECT_EQ(mic.GetLevelText(), " 4Level");
    // Short delays are shown in tenths of a millisecond; polarity follows the language.
    mic.SetDelay(25);
    EXPECT_EQ(mic.GetDelayText(), "2.5ms");
    mic.SetPolarity(1);
    mic.SetSwitch(1);
    EXPECT_EQ(mic.GetSwitchText(), "On");
    g_bChinese = 0;
    EXPECT_EQ(mic.GetPolarityText(), "Pol-");
    g_bChinese = 1;
    EXPECT_EQ(mic.GetPolarityText(), "反相");
    g_bChinese = 0;
}

}  // namespace
