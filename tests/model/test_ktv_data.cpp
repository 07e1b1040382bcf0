#include "model/KTV_Data.h"

#include "link/ChangeScheduler.h"
#include "model/InitGlobalData.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>

namespace {

class KtvData : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitGlobalData();
        tree = std::make_unique<CKTV_Data>();
    }
    void TearDown() override
    {
        g_bDeviceOnline = 0;
        for (auto &g : g_LinkGroups)
            g = 0;
    }
    std::unique_ptr<CKTV_Data> tree;
};

TEST_F(KtvData, CreationValues)
{
    const char *names[] = {"FL", "FR", "SL", "SR", "Center", "ULF", "", ""};
    const int dragModes[] = {10, 10, 9, 10, 10, 9, 9, 9};
    for (int n = 0; n < 8; ++n) {
        CKTV_OutData *o = tree->GetOut(n);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->GetName(), names[n]);
        EXPECT_EQ(o->GetChannel(), n);
        EXPECT_EQ(o->GetCount(), 33);
        EXPECT_EQ(o->GetHpf()->GetDragMode(), dragModes[n]) << n;
        EXPECT_EQ(o->GetCurveArgb(), g_argbOutCurve[n]);
        EXPECT_EQ(o->GetNameChanged(), 0);  // built offline
        EXPECT_EQ(g_OutChannelTable[n], o);
    }
    EXPECT_EQ(tree->GetOut(0)->GetCurveColor(), RGB(255, 0, 0));
    EXPECT_EQ(tree->GetOut(7)->GetCurveColor(), RGB(0, 0, 255));
    for (int n = 0; n < 6; ++n) {
        CMusic_InData *in = tree->GetMusicIn(n);
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(in->GetName(), "Music " + std::to_string(n + 1));
        EXPECT_EQ(in->GetChannel(), n);
        EXPECT_EQ(in->GetGain(), n == 0 ? 450 : 600);
        EXPECT_EQ(in->GetCurveFlag(), n == 0 ? 1 : 0);
        EXPECT_EQ(in->GetBandCount(), 31);
    }
    EXPECT_EQ(tree->GetMicIn()->GetName(), "Mic 1");
    EXPECT_EQ(tree->GetMicIn()->GetElementCount(), 11);
    EXPECT_EQ(tree->GetEffect().GetName(), "Effect");
    EXPECT_EQ(tree->GetOut(8), nullptr);
    EXPECT_EQ(tree->GetMusicIn(-1), nullptr);
    EXPECT_EQ(tree->GetMicIn(1), nullptr);
}

TEST_F(KtvData, LoadFromImageTakesTheEffectOnlyForModesZeroAndSix)
{
    // An image whose effect block differs from the record: group 1 value 0 is 42.
    CKTV_Data other;
    other.GetEffect().SetGroup1Byte0(42);
    other.GetOut(2)->SetDelay(333);
    other.FillImage();
    auto image = std::make_unique<DeviceImage>();
    {
        std::lock_guard lock(g_csImage);
        *image = g_CurImage;
    }
    struct Case { int mode; int effectValue; };
    const Case cases[] = {{-1, 20}, {3, 20}, {1, 20}, {0, 42}, {6, 42}};
    for (const auto &c : cases) {
        CKTV_Data t;
        t.LoadFromImage(*image, c.mode);
        EXPECT_EQ(t.GetEffect().GetGroup1Byte0(), c.effectValue) << "mode " << c.mode;
        EXPECT_EQ(t.GetOut(2)->GetDelay(), 333) << "mode " << c.mode;
    }
}

TEST_F(KtvData, LoadingStampsNothing)
{
    g_bDeviceOnline = 1;
    auto image = std::make_unique<DeviceImage>();
    {
        std::lock_guard lock(g_csImage);
        *image = g_CurImage;
    }
    // Every value in the image differs from the records' defaults.
    image->Item(OBJ_OUTPUT, 1, 31)[2] = 7;
    image->Item(OBJ_MUSIC, 4, 0)[2] = 0x30;
    tree->LoadFromImage(*image, 0);
    auto item = CChangeScheduler(*tree).SendNextChange();
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Frame()[7], OBJ_SYSTEM);
    EXPECT_EQ(item->Frame()[8], SYS_STATUS);
}

TEST_F(KtvData, FillImageLeavesNameAndReservedBytes)
{
    {
        std::lock_guard lock(g_csImage);
        for (std::size_t i = 0; i < 32; ++i)
            g_CurImage.bytes[i] = static_cast<std::uint8_t>(0x41 + i % 26);
    }
    tree->GetOut(5)->SetGain(123);
    tree->FillImage();
    std::lock_guard lock(g_csImage);
    for (std::size_t i = 0; i < 32; ++i)
        ASSERT_EQ(g_CurImage.bytes[i], 0x41 + i % 26) << i;
    EXPECT_EQ(g_CurImage.Item(OBJ_MUSIC, 0, 35)[0], 'M');  // "Music 1"
    EXPECT_EQ(g_CurImage.Item(OBJ_EFFECT, 0, 18)[0], 'E');
}

TEST_F(KtvData, InitLinkTable)
{
    struct Case { int groups[8]; int anyLink; };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0}, 0},
        {{1, 0, 1, 0, 0, 0, 0, 0}, 0},  // members not adjacent
        {{0, 3, 3, 0, 0, 0, 0, 0}, 1},
        {{0, 0, 0, 0, 0, 0, 5, 5}, 1},
        {{2, 1, 2, 1, 2, 1, 2, 1}, 0},
    };
    for (const auto &c : cases) {
        for (int n = 0; n < 8; ++n)
            g_LinkGroups[n] = c.groups[n];
        // Stale per-group bookkeeping, groups 9 and 10 included.
        for (std::size_t i = 0; i < kLinkGroupSlots; ++i) {
            g_ChannelModified[i] = 1;
            g_LinkGroupUsed[i] = 1;
            g_LinkGroupCount[i] = 2;
            g_LinkGroupMask[i] = 0x81;
            g_BtlPair[i] = 1;
        }
        tree->InitLinkTable();
        EXPECT_EQ(g_bAnyLink.load(), c.anyLink);
        for (std::size_t i = 0; i < kLinkGroupSlots; ++i) {
            EXPECT_EQ(g_ChannelModified[i].load(), 0) << i;
            EXPECT_EQ(g_LinkGroupUsed[i].load(), 0) << i;
            EXPECT_EQ(g_LinkGroupCount[i].load(), 0) << i;
            EXPECT_EQ(g_LinkGroupMask[i].load(), 0) << i;
            EXPECT_EQ(g_BtlPair[i].load(), 0) << i;
        }
    }
}

TEST_F(KtvData, CrossoverTableFollowsTheLiveElements)
{
    tree->GetOut(4)->GetHpf()->SetFreq(80, 0);
    tree->GetOut(4)->GetLpf()->SetSlope(5, 0);
    tree->FillCrossoverTable();
    EXPECT_EQ(g_CrossoverTable[4].highFreq, 80);
    EXPECT_EQ(g_CrossoverTable[4].lowFreq, 20000);
    EXPECT_EQ(g_CrossoverTable[4].lowSlope, 5);
    EXPECT_EQ(g_CrossoverTable[0].highFreq, 20);
}

TEST_F(KtvData, DestroyedTreeLeavesNoOutputPointers)
{
    tree.reset();
    for (auto *p : g_OutChannelTable)
        EXPECT_EQ(p, nullptr);
}

}  // namespace

namespace {

// Images from a device reply or a preset file are untrusted: whatever their bytes, unpacking
// them, drawing the curves, packing the tree again and sending every record is sound (the
// sanitizer builds check the memory and arithmetic), and the image the tree packs back can be
// unpacked to the same tree.
TEST_F(KtvData, HostileImagesUnpackDrawPackAndSend)
{
    struct Pattern { const char *name; std::function<std::uint8_t(std::size_t)> byte; };
    const Pattern patterns[] = {
        {"zeros", [](std::size_t) { return std::uint8_t(0x00); }},
        {"ones", [](std::size_t) { return std::uint8_t(0xFF); }},
        {"0x80", [](std::size_t) { return std::uint8_t(0x80); }},
        {"0x7F", [](std::size_t) { return std::uint8_t(0x7F); }},
        {"noise", [](std::size_t i) { return std::uint8_t((i * 2654435761u) >> 13); }},
    };
    for (const auto &p : patterns) {
        SCOPED_TRACE(p.name);
        auto image = std::make_unique<DeviceImage>();
        for (std::size_t i = 0; i < DeviceImage::kSize; ++i)
            image->bytes[i] = p.byte(i);
        tree->LoadFromImage(*image, 0);
        tree->SetPlotRect(CRect{0, 0, 560, 240});
        tree->GetEffect().SetPlotRect(CRect{0, 0, 560, 240});
        tree->GetMicIn()->SetPlotRect(CRect{0, 0, 560, 240});
        tree->FillImage();

        auto packed = std::make_unique<DeviceImage>();
        {
            std::lock_guard lock(g_csImage);
            *packed = g_CurImage;
        }
        CKTV_Data again;
        again.LoadFromImage(*packed, 0);
        again.FillImage();
        {
            std::lock_guard lock(g_csImage);
            EXPECT_TRUE(g_CurImage.bytes == packed->bytes) << "packing is not stable";
        }

        g_bDeviceOnline = 1;
        tree->ResetChanges(1);
        int frames = 0;
        for (; frames < 2000; ++frames) {
            auto item = CChangeScheduler(*tree).SendNextChange();
            ASSERT_TRUE(item);
            ASSERT_GE(item->Frame().size(), 16u);
            if (item->Frame()[7] == OBJ_SYSTEM && item->Frame()[8] == SYS_STATUS)
                break;
        }
        EXPECT_LT(frames, 2000) << "the marks never drain";
        g_bDeviceOnline = 0;
    }
}

}  // namespace
