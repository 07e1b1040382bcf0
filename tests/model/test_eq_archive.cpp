#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTVEQ.h"
#include "model/ObjectArchive.h"

namespace {

class EqArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_online = g_bDeviceOnline.load();
        g_bDeviceOnline = 0;
    }
    void TearDown() override { g_bDeviceOnline = m_online; }

    // An output equaliser with edits in every kind of value.
    static void MakeEdited(CKTVEQ &eq)
    {
        eq.InitOutBands(30, 32, 9, 20, 20000);
        eq.SetPlotRect(CRect{40, 10, 640, 250});
        for (int i = 0; i < 31; i += 3) {
            eq.GetAt(i)->SetGainCode(120 + i * 5);
            eq.GetAt(i)->SetBandwidthIndex(i * 9);
        }
        eq.GetAt(4)->SetBypass(1);
        eq.GetHighPass()->SetFreq(80, 0);
        eq.GetHighPass()->SetFamily(CFilter::kFamilyBessel, 0);
        eq.GetHighPass()->SetSlope(5, 0);
        eq.GetLowPass()->SetFreq(9000, 0);
        eq.GetLowPass()->SetSlope(7, 0);
    }

    static std::vector<EqBandPacket> Packets(const CKTVEQ &eq)
    {
        std::vector<EqBandPacket> out;
        for (int i = 0; i < eq.GetSize(); ++i)
            out.push_back(eq.GetBandPacket(i));
        return out;
    }

    static void PutInt(std::vector<std::uint8_t> &b, std::size_t at, std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    }
    static void PutDouble(std::vector<std::uint8_t> &b, std::size_t at, double v)
    {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            b[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
    }

private:
    int m_online = 0;
};

// Offsets of an element's values in its archive form.
constexpr std::size_t kType = 0, kFreq = 4, kSendFreq = 8, kGain = 12, kBypass = 20, kZero = 24,
                      kBandwidth = 28, kFamily = 36, kSlope = 40, kBandIndex = 44, kElementSize = 48;

} // namespace

TEST_F(EqArchiveTest, ElementValuesInTheirOrder)
{
    CFilter f;
    f.SetType(CFilter::kTypeLowShelf);
    f.SetFreq(250, 0);
    f.SetGainCode(235);
    f.SetBandwidthIndex(10);
    f.SetFamily(1, 0);
    f.SetSlope(1, 0);
    f.SetBandIndex(7);
    ObjectArchive ar = ObjectArchive::ForStoring();
    EXPECT_EQ(f.Serialize(ar), 1);
    ASSERT_EQ(ar.Bytes().size(), kElementSize);

    ObjectArchive in = ObjectArchive::ForLoading(ar.Bytes());
    EXPECT_EQ(in.ReadInt(), CFilter::kTypeLowShelf);
    EXPECT_EQ(in.ReadInt(), 250);
    EXPECT_EQ(in.ReadInt(), 250);
    EXPECT_DOUBLE_EQ(in.ReadDouble(), 3.5);
    EXPECT_EQ(in.ReadInt(), 0);   // bypass
    EXPECT_EQ(in.ReadInt(), 0);   // zero
    EXPECT_DOUBLE_EQ(in.ReadDouble(), 0.15);
    EXPECT_EQ(in.ReadInt(), 1);   // family
    EXPECT_EQ(in.ReadInt(), 1);   // slope
    EXPECT_EQ(in.ReadInt(), 7);   // band index
    EXPECT_TRUE(in.Ok());
    EXPECT_TRUE(in.AtEnd());
    in.ReadInt();  // past the end: 0 and failed
    EXPECT_FALSE(in.Ok());
}

TEST_F(EqArchiveTest, SetRoundTripRestoresEveryElementWithoutMarkingIt)
{
    CKTVEQ src;
    MakeEdited(src);
    ObjectArchive ar = ObjectArchive::ForStoring();
    ASSERT_EQ(src.Serialize(ar), 1);
    EXPECT_EQ(ar.Bytes().size(), 4 + 33 * kElementSize);

    CKTVEQ dst;
    dst.InitOutBands(30, 32, 9, 20, 20000);
    dst.SetPlotRect(CRect{40, 10, 640, 250});
    g_bDeviceOnline = 1;  // loading is not an edit: nothing becomes pending
    ObjectArchive in = ObjectArchive::ForLoading(ar.Bytes());
    ASSERT_EQ(dst.Serialize(in), 1);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(Packets(dst), Packets(src));
    for (int i = 0; i < dst.GetSize(); ++i) {
        const CFilter *a = src.GetAt(i);
        const CFilter *b = dst.GetAt(i);
        EXPECT_EQ(b->GetChanged(), 0) << i;
        EXPECT_EQ(b->GetFamily(), a->GetFamily()) << i;
        EXPECT_EQ(b->GetBandIndex(), a->GetBandIndex()) << i;
        EXPECT_EQ(b->GetGeometry(), a->GetGeometry()) << i;
        for (int k = 0; k < kFreqPoints; ++k)
            ASSERT_EQ(b->GetResponse()[k], a->GetResponse()[k]) << i << " " << k;
    }
    EXPECT_TRUE(dst.GetAt(4)->GetBypass());
}

TEST_F(EqArchiveTest, DamagedArchivesChangeNothing)
{
    CKTVEQ src;
    MakeEdited(src);
    ObjectArchive ar = ObjectArchive::ForStoring();
    src.Serialize(ar);
    const std::vector<std::uint8_t> good = ar.Bytes();
    const std::size_t last = 4 + 32 * kElementSize;  // the low-pass element

    struct Case { const char *what; std::vector<std::uint8_t> bytes; } cases[] = {
        {"empty", {}},
        {"count only", std::vector<std::uint8_t>(good.begin(), good.begin() + 4)},
        {"ends inside the last element", std::vector<std::uint8_t>(good.begin(), good.end() - 3)},
        {"count of another layout", good},
        {"type outside the table", good},
        {"family outside the table", good},
        {"slope outside the table", good},
        {"negative band index", good},
        {"gain not a number", good},
        {"bandwidth infinite", good},
    };
    PutInt(cases[3].bytes, 0, 11);
    PutInt(cases[4].bytes, last + kType, 5);
    PutInt(cases[5].bytes, last + kFamily, 3);
    PutInt(cases[6].bytes, last + kSlope, 9);
    PutInt(cases[7].bytes, last + kBandIndex, -1);
    PutDouble(cases[8].bytes, last + kGain, std::numeric_limits<double>::quiet_NaN());
    PutDouble(cases[9].bytes, last + kBandwidth, std::numeric_limits<double>::infinity());

    for (const auto &c : cases) {
        CKTVEQ dst;
        dst.InitOutBands(30, 32, 9, 20, 20000);
        dst.GetAt(0)->SetGainCode(333);
        const std::vector<EqBandPacket> before = Packets(dst);
        ObjectArchive in = ObjectArchive::ForLoading(c.bytes);
        EXPECT_EQ(dst.Serialize(in), 0) << c.what;
        EXPECT_FALSE(in.Ok()) << c.what;
        EXPECT_EQ(Packets(dst), before) << c.what;
    }

    // A set of another layout refuses the archive as well.
    CKTVEQ mic;
    mic.InitMicBands(8, 10, 20000);
    ObjectArchive in = ObjectArchive::ForLoading(good);
    EXPECT_EQ(mic.Serialize(in), 0);
}

TEST_F(EqArchiveTest, ValuesOutsideTheirRangesAreLimited)
{
    CFilter f;
    ObjectArchive ar = ObjectArchive::ForStoring();
    f.Serialize(ar);
    std::vector<std::uint8_t> bytes = ar.Bytes();
    PutInt(bytes, kFreq, 0);
    PutInt(bytes, kSendFreq, -32768);
    PutDouble(bytes, kGain, 99.0);
    PutInt(bytes, kZero, 0);
    PutInt(bytes, kBypass, 7);
    PutDouble(bytes, kBandwidth, 12.0);
    ObjectArchive in = ObjectArchive::ForLoading(bytes);
    ASSERT_EQ(f.Serialize(in), 1);
    EXPECT_EQ(f.GetFreq(), 20);
    EXPECT_EQ(f.GetSendFreq(), 20);
    EXPECT_DOUBLE_EQ(f.GetGain(), 20.0);
    EXPECT_EQ(f.GetBypass(), 1);
    EXPECT_DOUBLE_EQ(f.GetBandwidth(), 3.0);
    EXPECT_EQ(f.GetBandwidthIndex(), 295);

    // Reading from a storing archive, or writing to a loading one, is refused.
    ObjectArchive storing = ObjectArchive::ForStoring();
    EXPECT_EQ(storing.ReadInt(), 0);
    EXPECT_FALSE(storing.Ok());
    ObjectArchive loading = ObjectArchive::ForLoading({});
    loading.WriteInt(1);
    EXPECT_FALSE(loading.Ok());
}
