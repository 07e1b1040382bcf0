#include <gtest/gtest.h>

#include <vector>

#include "model/DataDefine.h"
#include "model/DeviceImage.h"
#include "model/KTVEQ.h"

namespace {

class KtveqTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_online = g_bDeviceOnline.load();
        g_bDeviceOnline = 0;
    }
    void TearDown() override { g_bDeviceOnline = m_online; }

    static EqBandPacket Packet(std::vector<std::uint8_t> b)
    {
        return EqBandPacket::FromBytes(b.data());
    }

private:
    int m_online = 0;
};

} // namespace

TEST_F(KtveqTest, OutputLayout)
{
    CKTVEQ eq;
    eq.InitOutBands(30, 32, 9, 20, 20000);
    ASSERT_EQ(eq.GetSize(), 33);
    EXPECT_EQ(eq.GetBandCount(), 31);
    for (int i = 0; i < 31; ++i) {
        const CFilter *f = eq.GetAt(i);
        EXPECT_EQ(f->GetType(), CFilter::kTypePeq);
        EXPECT_EQ(f->GetFreq(), g_IsoFreq31[i]);
        EXPECT_EQ(f->GetSendFreq(), g_IsoFreq31[i]);
        EXPECT_EQ(f->GetBandIndex(), i);
        EXPECT_EQ(f->GetChanged(), 0);
        EXPECT_TRUE(f->GetPeqLayout());
    }
    const CFilter *hp = eq.GetHighPass();
    const CFilter *lp = eq.GetLowPass();
    EXPECT_EQ(hp, eq.GetAt(31));
    EXPECT_EQ(lp, eq.GetAt(32));
    EXPECT_EQ(hp->GetType(), CFilter::kTypeHighPass);
    EXPECT_EQ(lp->GetType(), CFilter::kTypeLowPass);
    EXPECT_EQ(hp->GetFreq(), 20);
    EXPECT_EQ(lp->GetFreq(), 20000);
    EXPECT_EQ(lp->GetSendFreq(), 20000);
    EXPECT_EQ(hp->GetDragMode(), 9);
    EXPECT_EQ(lp->GetDragMode(), 12);
    EXPECT_EQ(hp->GetBandIndex(), 32);
    EXPECT_EQ(lp->GetBandIndex(), 32);
    EXPECT_FALSE(hp->GetPeqLayout());
    EXPECT_EQ(hp->GetFamily(), 0);
    EXPECT_EQ(hp->GetSlope(), 2);
    EXPECT_EQ(eq.GetAt(33), nullptr);
    EXPECT_EQ(eq.GetAt(-1), nullptr);
}

TEST_F(KtveqTest, InputAndEffectLayouts)
{
    CKTVEQ music;
    music.InitMusicBands(30, 32, 20000);
    ASSERT_EQ(music.GetSize(), 33);
    for (int i = 0; i < 31; ++i)
        EXPECT_EQ(music.GetAt(i)->GetFreq(), i <= 14 ? g_GeqFreq15[i] : g_IsoFreq31[i]) << i;
    EXPECT_EQ(music.GetAt(15)->GetFreq(), 630);

    CKTVEQ mic;
    mic.InitMicBands(8, 10, 20000);
    ASSERT_EQ(mic.GetSize(), 11);
    EXPECT_EQ(mic.GetAt(0)->GetType(), CFilter::kTypeLowShelf);
    EXPECT_EQ(mic.GetAt(0)->GetFreq(), 20);
    EXPECT_EQ(mic.GetAt(0)->GetSlope(), 0);
    for (int i = 1; i < 8; ++i) {
        EXPECT_EQ(mic.GetAt(i)->GetType(), CFilter::kTypePeq);
        EXPECT_EQ(mic.GetAt(i)->GetFreq(), g_GeqFreq15[i]);
    }
    EXPECT_EQ(mic.GetAt(1)->GetFreq(), 32);
    EXPECT_EQ(mic.GetAt(7)->GetFreq(), 632);
    EXPECT_EQ(mic.GetAt(8)->GetType(), CFilter::kTypeHighShelf);
    EXPECT_EQ(mic.GetAt(8)->GetFreq(), 1035);

    CKTVEQ effect;
    effect.InitEffectBands(2, 8, 20000);
    ASSERT_EQ(effect.GetSize(), 5);
    EXPECT_EQ(effect.GetAt(0)->GetFreq(), 100);
    EXPECT_EQ(effect.GetAt(1)->GetFreq(), 1000);
    EXPECT_EQ(effect.GetAt(2)->GetFreq(), 10000);

    // Input crossovers: Bessel, reduced slope set; music and microphone at slope 0, the effect
    // keeps the default slope and takes drag mode 8.
    struct Case { const CKTVEQ *eq; int crossoverIndex; int slope; int dragMode; } cases[] = {
        {&music, 32, 0, 0}, {&mic, 10, 0, 0}, {&effect, 8, 2, 8}};
    for (const auto &c : cases) {
        for (const CFilter *x : {c.eq->GetHighPass(), c.eq->GetLowPass()}) {
            EXPECT_EQ(x->GetFamily(), CFilter::kFamilyBessel);
            EXPECT_EQ(x->GetSlopeSet(), 1);
            EXPECT_EQ(x->GetSlope(), c.slope);
            EXPECT_EQ(x->GetDragMode(), c.dragMode);
            EXPECT_EQ(x->GetBandIndex(), c.crossoverIndex);
            EXPECT_FALSE(x->GetPeqLayout());
        }
        EXPECT_EQ(c.eq->GetHighPass()->GetFreq(), 20);
        EXPECT_EQ(c.eq->GetLowPass()->GetFreq(), 20000);
    }
}

TEST_F(KtveqTest, PacketOut)
{
    CKTVEQ eq;
    eq.InitOutBands(30, 32, 9, 20, 20000);
    CFilter *band = eq.GetAt(17);  // 1000 Hz
    band->SetSlope(0, 0);
    EXPECT_EQ(eq.GetBandPacket(17), Packet({0xE8, 0x03, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00}));

    band->SetGainCode(165);  // -3.5 dB: word 565
    band->SetBandwidthIndex(295);
    EXPECT_EQ(eq.GetBandPacket(17), Packet({0xE8, 0x03, 0x35, 0x02, 0x27, 0x01, 0x00, 0x00}));
    band->SetBypass(1);  // bypassed: 600 whatever the gain
    EXPECT_EQ(eq.GetBandPacket(17).GainWord(), 600);

    // Crossovers pack their own type and slope bytes.
    const EqBandPacket lp = eq.GetBandPacket(32);
    EXPECT_EQ(lp.FreqWord(), 20000);
    EXPECT_EQ(lp.SlopeByte(), 2);
    EXPECT_EQ(lp.TypeByte(), 4);

    EXPECT_EQ(eq.GetBandPacket(33), EqBandPacket{});
    EXPECT_EQ(eq.GetBandPacket(-1), EqBandPacket{});
}

TEST_F(KtveqTest, PacketInMarksNothingAndLimitsEveryWord)
{
    g_bDeviceOnline = 1;
    CKTVEQ eq;
    eq.InitOutBands(30, 32, 9, 20, 20000);
    struct Case {
        std::vector<std::uint8_t> bytes;
        int freq, gainCode, bwIndex, slope, type;
        bool neutral;
    } cases[] = {
        {{0xE8, 0x03, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00}, 1000, 200, 52, 0, 0, true},   // 600: neutral
        {{0xE8, 0x03, 0x90, 0x01, 0x34, 0x00, 0x00, 0x00}, 1000, 0, 52, 0, 0, false},    // 400: -20 dB
        {{0x10, 0x27, 0x20, 0x03, 0x00, 0x00, 0x01, 0x01}, 10000, 400, 0, 1, 1, false},  // 800: +20 dB
        {{0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}, 20, 0, 0, 0, 0, false},       // all below
        {{0xFF, 0x7F, 0xFF, 0x7F, 0xE8, 0x03, 0x00, 0x00}, 20000, 400, 295, 0, 0, false},// all above
        {{0x00, 0x00, 0x58, 0x02, 0x28, 0x01, 0x00, 0x00}, 20, 200, 295, 0, 0, true},
    };
    for (const auto &c : cases) {
        eq.SetBandFromPacket(Packet(c.bytes), 5);
        const CFilter *f = eq.GetAt(5);
        EXPECT_EQ(f->GetFreq(), c.freq);
        EXPECT_EQ(f->GetSendFreq(), c.freq);
        EXPECT_EQ(f->GetGainCode(), c.gainCode);
        EXPECT_EQ(f->GetBandwidthIndex(), c.bwIndex);
        EXPECT_EQ(f->GetSlope(), c.slope);
        EXPECT_EQ(f->GetType(), c.type);
        EXPECT_EQ(f->IsNeutral() != 0, c.neutral);
        EXPECT_EQ(f->GetChanged(), 0);
        EXPECT_EQ(f->GetQText().empty(), false);
    }
    // Outside the set nothing happens.
    eq.SetBandFromPacket(Packet({1, 2, 3, 4, 5, 6, 7, 8}), 40);
    eq.SetBandFromPacket(Packet({1, 2, 3, 4, 5, 6, 7, 8}), -1);
}

// A packet sets five fields of a band; its response is computed once, after all of them.
TEST_F(KtveqTest, PacketInComputesTheResponseOnce)
{
    CKTVEQ eq;
    eq.InitOutBands(30, 32, 9, 20, 20000);
    eq.SetPlotRect(CRect{40, 10, 640, 250});
    eq.UpdateCurve();
    std::vector<unsigned> before;
    for (int i = 0; i < eq.GetSize(); ++i)
        before.push_back(eq.GetAt(i)->GetResponseComputations());
    eq.SetBandFromPacket(Packet({0xE8, 0x03, 0x94, 0x02, 0x34, 0x00, 0x00, 0x00}), 5);  // 1000 Hz, +6 dB
    eq.UpdateCurve();
    eq.UpdateCurve();
    for (int i = 0; i < eq.GetSize(); ++i)
        EXPECT_EQ(eq.GetAt(i)->GetResponseComputations(), before[i] + (i == 5 ? 1u : 0u)) << i;
    EXPECT_NEAR(eq.GetSum()[kFreqIndex1k], 6.0, 0.01);
}

// The summed curve keeps the sum of the other elements while one element moves alone; after
// any sequence of edits it equals the plain sum of the elements' responses.
TEST_F(KtveqTest, SumFollowsEveryEditSequence)
{
    CKTVEQ eq;
    eq.InitOutBands(30, 32, 12, 20, 20000);
    eq.SetPlotRect(CRect{40, 10, 640, 250});
    auto expectPlainSum = [&](const char *step) {
        eq.UpdateCurve();
        for (int i = 0; i < kFreqPoints; ++i) {
            double sum = 0.0;
            for (int k = 0; k < eq.GetSize(); ++k)
                sum += eq.GetAt(k)->GetResponse()[i];
            ASSERT_NEAR(eq.GetSum()[i], sum, 1e-12) << step << " point " << i;
            ASSERT_EQ(eq.m_ptCurve[i].y, GainToIndex(eq.GetSum()[i], 240) + 10) << step << " point " << i;
        }
    };
    expectPlainSum("flat");
    eq.GetAt(3)->SetGainCode(260);
    expectPlainSum("one band");
    eq.GetAt(3)->SetGainCode(300);
    expectPlainSum("the same band again");
    eq.GetAt(20)->SetGainCode(120);
    expectPlainSum("another band alone");
    eq.GetAt(3)->SetGainCode(100);
    eq.GetHighPass()->SetFreq(200, 0);
    expectPlainSum("two elements");
    eq.GetLowPass()->SetFreq(5000, 0);
    expectPlainSum("the low-pass");
    eq.GetAt(3)->SetBypass(1);
    expectPlainSum("a bypassed band");
    expectPlainSum("nothing changed");
}

TEST_F(KtveqTest, PacketsRoundTrip)
{
    CKTVEQ a, b;
    a.InitOutBands(30, 32, 9, 20, 20000);
    b.InitOutBands(30, 32, 9, 20, 20000);
    for (int i = 0; i < 31; ++i) {
        CFilter *f = a.GetAt(i);
        f->SetGainCode((i * 37) % 401);
        f->SetBandwidthIndex((i * 53) % 296);
        f->SetFreq(20 + i * 613, 0);
    }
    for (int i = 0; i < 31; ++i)
        b.SetBandFromPacket(a.GetBandPacket(i), i);
    for (int i = 0; i < 31; ++i)
        EXPECT_EQ(b.GetBandPacket(i), a.GetBandPacket(i)) << i;
}

TEST_F(KtveqTest, SummedCurve)
{
    CKTVEQ eq;
    eq.InitOutBands(30, 32, 9, 20, 20000);
    eq.SetPlotRect(CRect{40, 10, 640, 250});
    eq.UpdateCurve();
    for (int i = 0; i < kFreqPoints; ++i) {
        EXPECT_EQ(eq.m_ptCurve[i].y, 130) << i;  // every element flat: the 0 dB line
        EXPECT_FLOAT_EQ(eq.m_ptCurveF[i].y, 130.0f) << i;
    }
    EXPECT_EQ(eq.m_ptCurve[kFreqIndex1k].x, 379);

    eq.GetAt(17)->SetGainCode(260);  // +6 dB at 1000 Hz
    CFilter *hp = eq.GetHighPass();
    hp->SetSlope(3, 1);
    hp->SetFreq(100, 1);
    eq.UpdateCurve();
    for (int i = 0; i < kFreqPoints; ++i) {
        const double sum = eq.GetAt(17)->GetResponse()[i] + hp->GetResponse()[i];
        EXPECT_DOUBLE_EQ(eq.GetSum()[i], sum) << i;
        EXPECT_EQ(eq.m_ptCurve[i].y, GainToIndex(sum, 240) + 10) << i;
    }
    EXPECT_EQ(eq.m_ptCurve[kFreqIndex1k].y, 70);

    eq.UpdateBandCurve(17);
    for (int i = 0; i < kFreqPoints; ++i)
        EXPECT_EQ(eq.m_ptCurve[i].y, GainToIndex(eq.GetAt(17)->GetResponse()[i], 240) + 10) << i;
    eq.UpdateBandCurve(99);  // outside the set: nothing happens
}

TEST_F(KtveqTest, CopyFromCopiesEveryElement)
{
    CKTVEQ a, b;
    a.InitOutBands(30, 32, 9, 20, 20000);
    b.InitOutBands(30, 32, 10, 20, 20000);
    a.GetAt(3)->SetGainCode(300);
    a.GetHighPass()->SetFreq(80, 0);
    a.GetLowPass()->SetFamily(2, 0);
    b.CopyFrom(a);
    for (int i = 0; i < a.GetSize(); ++i)
        EXPECT_EQ(b.GetBandPacket(i), a.GetBandPacket(i)) << i;
    EXPECT_EQ(b.GetLowPass()->GetFamily(), 2);
    EXPECT_EQ(b.GetHighPass()->GetDragMode(), 10);  // drag modes belong to the set

    CKTVEQ mic;
    mic.InitMicBands(8, 10, 20000);
    mic.CopyFrom(a);  // a different layout copies only what both have
}
