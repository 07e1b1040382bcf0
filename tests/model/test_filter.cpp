#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "model/DataDefine.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/FilterSlider.h"
#include "platform/GlobalData.h"

namespace {

// Sets the online mark and the language for one test and restores them after it.
class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_online = g_bDeviceOnline.load();
        m_chinese = g_bChinese.load();
        g_bDeviceOnline = 0;
        g_bChinese = 0;
    }
    void TearDown() override
    {
        g_bDeviceOnline = m_online;
        g_bChinese = m_chinese;
    }

    static bool AllZero(const CFilter &f)
    {
        for (int i = 0; i < kFreqPoints; ++i)
            if (f.GetResponse()[i] != 0.0)
                return false;
        return true;
    }

    // A crossover as the equaliser sets build them.
    static void MakeCrossover(CFilter &f, int type, int freq)
    {
        f.SetType(type);
        f.SetPeqLayout(0);
        f.SetFreq(freq, 0);
    }

private:
    int m_online = 0;
    int m_chinese = 0;
};

struct RecordingSlider : IFilterSlider {
    std::vector<int> freqs;
    std::vector<int> values;
    void SetPosByFreq(int f) override { freqs.push_back(f); }
    void SetInvertedPos(int v) override { values.push_back(v); }
};

} // namespace

TEST_F(FilterTest, NewElementDefaults)
{
    CFilter f;
    EXPECT_EQ(f.GetType(), CFilter::kTypePeq);
    EXPECT_EQ(f.GetFreq(), 1000);
    EXPECT_EQ(f.GetSendFreq(), 20);
    EXPECT_EQ(f.GetGainCode(), kGainCodeZero);
    EXPECT_EQ(f.GetBandwidthIndex(), kDefaultBandwidthIndex);
    EXPECT_TRUE(f.IsNeutral());
    EXPECT_EQ(f.GetChanged(), 0);
    EXPECT_EQ(f.GetSlope(), 2);
    EXPECT_EQ(f.GetTag(), -1);
    EXPECT_TRUE(AllZero(f));
}

TEST_F(FilterTest, OfflineEditSetsBothFrequenciesAndMarksNothing)
{
    CFilter f;
    f.SetFreq(1000, 1);
    EXPECT_EQ(f.GetFreq(), 1000);
    EXPECT_EQ(f.GetSendFreq(), 1000);
    EXPECT_EQ(f.GetChanged(), 0);
    f.SetGainCode(260);
    f.SetBandwidthIndex(10);
    EXPECT_EQ(f.GetChanged(), 0);
}

TEST_F(FilterTest, SendFrequencyStepsAnOctaveAtATime)
{
    struct Case { int layout; int from; int to; std::vector<int> steps; } cases[] = {
        {1, 100, 1000, {200, 400, 800, 1000}},
        {1, 1000, 100, {500, 250, 125, 100}},
        {0, 100, 1000, {200, 400, 800, 1000}},
        {1, 20, 20000, {40, 80, 160, 320, 640, 1280, 2560, 5120, 10240, 20000}},
    };
    for (const auto &c : cases) {
        CFilter f;
        f.SetPeqLayout(c.layout);
        f.SetFreq(c.from, 0);
        g_bDeviceOnline = 1;
        f.SetFreq(c.to, 1);
        EXPECT_EQ(f.GetSendFreq(), c.from);
        EXPECT_EQ(f.GetChanged(), 1);
        for (int expected : c.steps) {
            f.StepSendFreq(0);
            EXPECT_EQ(f.GetSendFreq(), expected) << c.from << " -> " << c.to;
            EXPECT_EQ(f.GetChanged(), 1);
        }
        f.StepSendFreq(0);  // up to date: the mark goes
        EXPECT_EQ(f.GetChanged(), 0);
        EXPECT_EQ(f.GetSendFreq(), c.to);
        g_bDeviceOnline = 0;
    }
}

TEST_F(FilterTest, BandTakesASmallStepDownAtOnceACrossoverOnTheNextSend)
{
    g_bDeviceOnline = 1;
    CFilter band;
    band.SetFreq(1000, 0);
    band.SetFreq(600, 1);
    EXPECT_EQ(band.GetSendFreq(), 600);

    CFilter xover;
    MakeCrossover(xover, CFilter::kTypeHighPass, 1000);
    xover.SetFreq(600, 1);
    EXPECT_EQ(xover.GetSendFreq(), 1000);
    EXPECT_EQ(xover.GetChanged(), 1);
    xover.StepSendFreq(0);
    EXPECT_EQ(xover.GetSendFreq(), 600);
    // A small step up is taken at once by both.
    xover.SetFreq(900, 1);
    EXPECT_EQ(xover.GetSendFreq(), 900);
}

TEST_F(FilterTest, RecordMarksGoThroughTheSendStep)
{
    CFilter f;
    f.SetFreq(1000, 0);
    f.StepSendFreq(1);  // marking every element of a record
    EXPECT_EQ(f.GetChanged(), 1);
    f.StepSendFreq(0);
    EXPECT_EQ(f.GetChanged(), 0);
}

TEST_F(FilterTest, FrequenciesFromOutsideAreLimited)
{
    g_bDeviceOnline = 1;
    struct Case { int in; int out; } cases[] = {{0, 20}, {-5, 20}, {-32768, 20}, {19, 20}, {20001, 20000}, {65535, 20000}};
    for (const auto &c : cases) {
        CFilter f;
        f.SetFreq(c.in, 0);
        EXPECT_EQ(f.GetFreq(), c.out) << c.in;
        EXPECT_EQ(f.GetSendFreq(), c.out) << c.in;
        f.SetFreq(c.in, 1);
        EXPECT_EQ(f.GetFreq(), c.out) << c.in;
        f.SetSendFreq(c.in);
        EXPECT_EQ(f.GetSendFreq(), c.out) << c.in;
        // The send step never divides by a send frequency of 0.
        f.SetFreq(1000, 1);
        for (int i = 0; i < 20 && f.GetChanged(); ++i)
            f.StepSendFreq(0);
        EXPECT_EQ(f.GetSendFreq(), 1000);
    }
}

TEST_F(FilterTest, GainCodesAndBandwidthIndexesRoundTrip)
{
    CFilter f;
    for (int code = kGainCodeMin; code <= kGainCodeMax; ++code) {
        f.SetGainCode(code);
        EXPECT_EQ(f.GetGainCode(), code) << code;
        EXPECT_EQ(f.IsNeutral() != 0, code == kGainCodeZero) << code;
    }
    for (int k = 0; k < kQSteps; ++k) {
        f.SetBandwidthIndex(k);
        EXPECT_EQ(f.GetBandwidthIndex(), k) << k;
    }
    // Codes from outside are limited to the tables.
    f.SetGainCode(-400);
    EXPECT_EQ(f.GetGainCode(), 0);
    EXPECT_DOUBLE_EQ(f.GetGain(), -20.0);
    f.SetGainCode(32767);
    EXPECT_EQ(f.GetGainCode(), 400);
    f.SetBandwidthIndex(-3);
    EXPECT_EQ(f.GetBandwidthIndex(), 0);
    f.SetBandwidthIndex(1000);
    EXPECT_EQ(f.GetBandwidthIndex(), 295);
    f.SetBandwidth(9.0);  // octaves beyond the table never index past it
    EXPECT_EQ(f.GetBandwidthIndex(), 295);
    EXPECT_EQ(f.GetQText(), "0.404");
}

TEST_F(FilterTest, ZeroGainCodeMakesTheBandFlat)
{
    g_bDeviceOnline = 1;
    CFilter f;
    f.SetGainCode(260);
    EXPECT_FALSE(f.IsNeutral());
    EXPECT_FALSE(AllZero(f));
    f.SetGainCode(200);
    EXPECT_DOUBLE_EQ(f.GetGain(), 0.0);
    EXPECT_TRUE(f.GetZero());
    EXPECT_EQ(f.GetGainCode(), 200);
    EXPECT_TRUE(AllZero(f));
    EXPECT_EQ(f.GetChanged(), 1);
}

TEST_F(FilterTest, FlatSwitch)
{
    g_bDeviceOnline = 1;
    // A band at 0 dB: switching it on changes nothing.
    CFilter flat;
    flat.SetZero(0);
    EXPECT_TRUE(flat.GetZero());
    EXPECT_EQ(flat.GetChanged(), 0);

    CFilter f;
    f.SetGainCode(260);  // +6 dB
    f.StepSendFreq(0);
    f.SetZero(1);
    EXPECT_TRUE(f.IsNeutral());
    EXPECT_EQ(f.GetGainCode(), 200);
    EXPECT_DOUBLE_EQ(f.GetGain(), 6.0);  // the stored gain stays
    EXPECT_TRUE(AllZero(f));
    EXPECT_EQ(f.GetChanged(), 1);
    f.SetZero(0);
    EXPECT_EQ(f.GetGainCode(), 260);
    EXPECT_FALSE(AllZero(f));

    // A bypassed band: the switch first clears the bypass.
    f.SetBypass(1);
    EXPECT_TRUE(f.IsNeutral());
    f.SetZero(0);
    EXPECT_FALSE(f.IsNeutral());
    EXPECT_FALSE(AllZero(f));
}

TEST_F(FilterTest, BypassSavesAndRestoresWithoutMarking)
{
    g_bDeviceOnline = 1;
    CFilter f;
    f.SetFreq(1000, 0);
    f.SetGainCode(150);
    f.StepSendFreq(0);
    ASSERT_EQ(f.GetChanged(), 0);
    f.SetBypass(1);
    EXPECT_TRUE(f.IsNeutral());
    EXPECT_EQ(f.GetGainCode(), 200);
    EXPECT_TRUE(AllZero(f));
    f.SetBypass(0);
    EXPECT_FALSE(f.IsNeutral());
    EXPECT_EQ(f.GetGainCode(), 150);
    EXPECT_FALSE(AllZero(f));
    EXPECT_EQ(f.GetChanged(), 0);
}

// Bypassing an equaliser that is already bypassed must not save "bypassed" as the state to
// restore: the release brings back the band as it was before the first bypass.
TEST_F(FilterTest, SecondBypassKeepsTheFirstSavedState)
{
    CFilter f;
    f.SetGainCode(150);
    f.SetBypass(1);
    f.SetBypass(1);
    f.SetBypass(0);
    EXPECT_FALSE(f.IsNeutral());
    EXPECT_EQ(f.GetGainCode(), 150);
    EXPECT_FALSE(AllZero(f));

    // A band that was bypassed before the equaliser bypass stays bypassed after its release,
    // however often the bypass was repeated; a later bypass saves afresh.
    CFilter g;
    g.SetGainCode(150);
    CFilter::ArchiveValues v;
    v.gain = -5.0;
    v.zero = 0;
    v.bypass = 1;
    g.ApplyArchive(v);
    g.SetBypass(1);
    g.SetBypass(1);
    g.SetBypass(0);
    EXPECT_TRUE(g.IsNeutral());
    g.SetZero(0);  // the user switches the band back on
    ASSERT_FALSE(g.IsNeutral());
    g.SetBypass(1);
    g.SetBypass(0);
    EXPECT_FALSE(g.IsNeutral());
}

// An edit marks the response out of date; it is computed once, when it is read.
TEST_F(FilterTest, EditsAreComputedOnceWhenRead)
{
    CFilter f;
    f.SetType(CFilter::kTypePeq);
    f.SetFreq(1000, 0);
    f.SetGainCode(260);
    const unsigned before = f.GetResponseComputations();
    f.SetGainCode(140);
    f.SetBandwidthIndex(80);
    f.SetFreq(2000, 1);
    f.SetSlope(0, 1);
    EXPECT_EQ(f.GetResponseComputations(), before);
    const double atPeak = f.GetResponse()[kFreqIndex1k + 24];
    EXPECT_NEAR(atPeak, -6.0, 0.01);
    f.GetResponse();
    f.GetPolygon();
    EXPECT_EQ(f.GetResponseComputations(), before + 1u);

    // The polygon follows the response it was read with.
    f.SetGainCode(260);
    EXPECT_EQ(f.GetPolygon()[1 + kFreqIndex1k + 24].y, GainToIndex(f.GetResponse()[kFreqIndex1k + 24], 0) + 10);
    EXPECT_EQ(f.GetResponseComputations(), before + 2u);
    f.UpdateResponse();  // asked for explicitly, it is computed at once
    EXPECT_EQ(f.GetResponseComputations(), before + 3u);
}

TEST_F(FilterTest, ResponseDispatch)
{
    CFilter peq;
    peq.SetFreq(1000, 0);
    peq.SetGainCode(260);
    EXPECT_NEAR(peq.GetResponse()[kFreqIndex1k], 6.0, 0.005);
    EXPECT_NEAR(peq.GetResponse()[112], 0.42, 0.01);

    // Crossovers are flat at their limits and when off, whatever the band flags say.
    struct Case { int type; int freq; int slope; bool flat; } cases[] = {
        {CFilter::kTypeHighPass, 20, 3, true},
        {CFilter::kTypeHighPass, 21, 3, false},
        {CFilter::kTypeHighPass, 1000, CFilter::kSlopeOff, true},
        {CFilter::kTypeLowPass, 20000, 3, true},
        {CFilter::kTypeLowPass, 19999, 3, false},
        {CFilter::kTypeLowPass, 1000, CFilter::kSlopeOff, true},
        {CFilter::kTypeLowPass, 1000, 7, false},
    };
    for (const auto &c : cases) {
        CFilter f;
        MakeCrossover(f, c.type, c.freq);
        f.SetSlope(c.slope, 0);
        EXPECT_TRUE(f.IsNeutral());  // the zero flag does not silence a crossover
        EXPECT_EQ(AllZero(f), c.flat) << c.type << " " << c.freq << " " << c.slope;
    }

    // A type outside the table draws flat rather than keeping a stale curve.
    peq.SetType(9);
    EXPECT_TRUE(AllZero(peq));
    CFilter fresh;
    fresh.SetType(-1);
    fresh.SetGainCode(300);
    EXPECT_TRUE(AllZero(fresh));
}

TEST_F(FilterTest, CurveLabels)
{
    CFilter f;
    f.SetFreq(1000, 0);
    f.SetGainCode(165);
    EXPECT_EQ(f.GetCurveLabel(), "1000Hz 2.515Q -3.5dB");
    EXPECT_EQ(f.GetLabel(), "1000Hz 2.515Q -3.5dB");
    f.SetShortLabel(1);
    EXPECT_EQ(f.GetCurveLabel(), "-3.5dB");
    f.SetShortLabel(0);
    f.SetBandwidthIndex(0);
    f.SetZero(1);
    EXPECT_EQ(f.GetCurveLabel(), "1000Hz 28.85Q 0.0dB");

    CFilter shelf;
    shelf.SetType(CFilter::kTypeLowShelf);
    shelf.SetSlope(0, 0);
    shelf.SetFreq(200, 0);
    shelf.SetGainCode(230);
    EXPECT_EQ(shelf.GetCurveLabel(), "Lo 200Hz 6dB/Oct 3.0dB");
    shelf.SetType(CFilter::kTypeHighShelf);
    shelf.SetSlope(1, 0);
    EXPECT_EQ(shelf.GetCurveLabel(), "Hi 200Hz 12dB/Oct 3.0dB");

    CFilter hp;
    MakeCrossover(hp, CFilter::kTypeHighPass, 80);
    hp.SetSlope(7, 0);
    EXPECT_EQ(hp.GetCurveLabel(), "80Hz ");
    hp.SetSlope(CFilter::kSlopeOff, 0);
    EXPECT_EQ(hp.GetCurveLabel(), "OFF");
    g_bChinese = 1;
    EXPECT_EQ(hp.GetCurveLabel(), "关闭");
}

TEST_F(FilterTest, ReportTexts)
{
    CFilter f;
    f.SetFreq(1250, 0);
    EXPECT_EQ(f.GetFreqText(), "1250Hz");
    EXPECT_EQ(f.GetGainText(), "0.0dB");
    f.SetGainCode(321);
    EXPECT_EQ(f.GetGainText(), "12.1dB");
    EXPECT_EQ(f.GetBandwidthText(), "0.57Oct");
    EXPECT_EQ(f.GetQText(), "2.515");
    f.SetBandwidthIndex(0);
    EXPECT_EQ(f.GetQText(), "28.85");

    struct TypeCase { int type; const char *en; const char *cn; } types[] = {
        {0, "PEQ", "参量均衡"}, {1, "Lo_Shf", "低架"}, {2, "Hi_Shf", "高架"}, {3, "", ""}, {4, "", ""}};
    struct FamilyCase { int family; const char *en; const char *cn; } families[] = {
        {0, "Link_Ril", "宁克"}, {1, "Butter_W", "巴特沃斯"}, {2, "Bessel", "贝塞尔"}, {3, "", ""}, {-1, "", ""}};
    for (int chinese = 0; chinese <= 1; ++chinese) {
        g_bChinese = chinese;
        for (const auto &c : types) {
            f.SetType(c.type);
            EXPECT_EQ(f.GetTypeText(), chinese ? c.cn : c.en) << c.type;
        }
        for (const auto &c : families) {
            f.SetFamily(c.family, 0);
            EXPECT_EQ(f.GetFamilyText(), chinese ? c.cn : c.en) << c.family;
        }
    }

    struct SlopeCase { int slope; const char *full; const char *reduced; const char *shelf; } slopes[] = {
        {0, "6dB/Oct", "", "6dB/Oct"},   {1, "12dB/Oct", "12dB/Oct", "12dB/Oct"}, {2, "18dB/Oct", "24dB/Oct", ""},
        {3, "24dB/Oct", "", ""},         {7, "48dB/Oct", "", ""},                 {8, "OFF", "", ""},
        {9, "", "", ""},                 {-1, "", "", ""},
    };
    for (const auto &c : slopes) {
        f.SetSlope(c.slope, 0);
        f.SetSlopeSet(0);
        EXPECT_EQ(f.GetSlopeText(), c.full) << c.slope;
        EXPECT_EQ(f.GetShelfSlopeText(), c.shelf) << c.slope;
        f.SetSlopeSet(1);
        EXPECT_EQ(f.GetSlopeText(), c.reduced) << c.slope;
    }
}

TEST_F(FilterTest, ShelfCodes)
{
    CFilter f;
    f.SetFreq(5000, 0);
    f.SetPeqType(1);  // low shelf: frequency capped at 2000 Hz
    EXPECT_EQ(f.GetType(), CFilter::kTypeLowShelf);
    EXPECT_EQ(f.GetFreq(), 2000);
    EXPECT_EQ(f.GetShelfCode(), 1);
    f.SetFreq(500, 0);
    f.SetHighShelf(1);  // high shelf: raised to 2000 Hz
    EXPECT_EQ(f.GetType(), CFilter::kTypeHighShelf);
    EXPECT_EQ(f.GetSlope(), 1);
    EXPECT_EQ(f.GetFreq(), 2000);
    EXPECT_EQ(f.GetShelfCode(), 4);
    f.SetPeqType(0);
    EXPECT_EQ(f.GetShelfCode(), 0);
}

TEST_F(FilterTest, ResetAndCopyLeaveTheMarkAlone)
{
    g_bDeviceOnline = 1;
    CFilter src;
    src.SetType(CFilter::kTypeLowShelf);
    src.SetFreq(300, 0);
    src.SetGainCode(250);
    src.SetBandwidthIndex(100);
    src.SetFamily(1, 1);
    src.SetSlope(1, 1);

    CFilter dst;
    dst.CopyFrom(src);
    EXPECT_EQ(dst.GetChanged(), 0);
    EXPECT_EQ(dst.GetType(), CFilter::kTypeLowShelf);
    EXPECT_EQ(dst.GetFreq(), 300);
    EXPECT_EQ(dst.GetSendFreq(), 300);
    EXPECT_EQ(dst.GetGainCode(), 250);
    EXPECT_EQ(dst.GetBandwidthIndex(), 100);
    EXPECT_EQ(dst.GetFamily(), 1);
    EXPECT_EQ(dst.GetSlope(), 1);
    for (int i = 0; i < kFreqPoints; ++i)
        ASSERT_EQ(dst.GetResponse()[i], src.GetResponse()[i]) << i;

    ASSERT_EQ(src.GetChanged(), 1);
    src.Reset(63);
    EXPECT_EQ(src.GetChanged(), 1);
    EXPECT_EQ(src.GetFreq(), 63);
    EXPECT_EQ(src.GetSendFreq(), 63);
    EXPECT_EQ(src.GetBandwidthIndex(), kDefaultBandwidthIndex);
    EXPECT_EQ(src.GetGainCode(), 200);
    EXPECT_TRUE(AllZero(src));
}

TEST_F(FilterTest, AttachedSliderFollowsCrossoverEdits)
{
    RecordingSlider slider;
    CFilter hp;
    MakeCrossover(hp, CFilter::kTypeHighPass, 80);
    hp.AttachSlider(&slider);
    hp.SetFreq(120, 1);
    hp.SetFreq(150, 0);  // loads from the device do not move it
    EXPECT_EQ(slider.freqs, std::vector<int>{120});
}

// The worker takes changes (step, then pack) while the UI edits; every edit must reach the
// device: once both sides are done, the last packed value is the band's final value.
TEST_F(FilterTest, EditsAreNeverLostBetweenUiAndWorker)
{
    g_bDeviceOnline = 1;
    CFilter f;
    f.SetFreq(1000, 0);
    std::atomic<bool> uiDone{false};
    CFilter::DeviceValues lastSent{};
    std::thread worker([&] {
        for (;;) {
            const bool done = uiDone.load();
            if (f.GetChanged()) {
                f.StepSendFreq(0);
                lastSent = f.GetDeviceValues();
            } else if (done) {
                break;
            }
        }
    });
    for (int i = 0; i < 20000; ++i) {
        f.SetGainCode(100 + i % 200);
        f.SetFreq(i % 2 ? 5000 : 60, 1);
    }
    f.SetGainCode(321);
    f.SetFreq(4321, 1);
    uiDone = true;
    worker.join();
    EXPECT_EQ(lastSent.gainCode, 321);
    EXPECT_EQ(lastSent.sendFreq, 4321);
}
