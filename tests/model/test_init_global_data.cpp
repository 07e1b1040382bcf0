#include "model/InitGlobalData.h"

#include "protocol/CommandFrame.h"
#include "model/DeviceImage.h"
#include "model/ModeItemTable.h"
#include "model/OutputPageContract.h"

#include <gtest/gtest.h>

#include <array>
#include <mutex>

namespace {

std::vector<std::uint8_t> ItemOf(const DeviceImage &img, int obj, int ch, int k)
{
    auto it = img.Item(obj, ch, k);
    return {it.begin(), it.end()};
}

TEST(InitGlobalData, ImagesStartFlatWithTheirSourceLevels)
{
    g_CurImage.bytes.fill(0x77);  // whatever ran before is replaced
    g_CurveOverlayFlags[11] = 1;
    InitGlobalData();
    std::lock_guard lock(g_csImage);

    // Names: machine presets are 15 blanks and a NUL, the current preset's name is empty.
    for (const auto &preset : g_MachinePresets) {
        for (int i = 0; i < 15; ++i) ASSERT_EQ(preset.Name()[i], ' ');
        EXPECT_EQ(preset.Name()[15], 0);
        EXPECT_EQ(preset.Block(OBJ_OUTPUT, 0)[0], 0);  // the rest stays zero
    }
    EXPECT_EQ(g_CurImage.NameBytes(), "");

    const std::vector<std::uint8_t> flat(kFlatBandPacket, kFlatBandPacket + 8);
    for (int n = 0; n < 8; ++n)
        for (int k = 0; k < 31; ++k) ASSERT_EQ(ItemOf(g_CurImage, OBJ_OUTPUT, n, k), flat) << n << "/" << k;
    for (int n = 0; n < 6; ++n)
        for (int k = 0; k < 31; ++k) ASSERT_EQ(ItemOf(g_CurImage, OBJ_MUSIC, n, k), flat);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(ItemOf(g_CurImage, OBJ_MIC, 0, k), flat);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(ItemOf(g_CurImage, OBJ_EFFECT, 0, k), flat);
    EXPECT_EQ(ItemOf(g_CurImage, OBJ_MUSIC, 3, 31)[2], 1);

    EXPECT_EQ(ItemOf(g_CurImage, OBJ_OUTPUT, 3, 33), (std::vector<std::uint8_t>{0, 0, 0, 100, 0, 0, 0, 0}));
    EXPECT_EQ(ItemOf(g_CurImage, OBJ_OUTPUT, 3, 34), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 100, 0, 100}));
    EXPECT_EQ(ItemOf(g_CurImage, OBJ_OUTPUT, 4, 34), (std::vector<std::uint8_t>{0, 0, 0, 0, 100, 0, 100, 0}));
    EXPECT_EQ(g_CurImage.bytes[0x10], 0);  // reserved bytes stay zero
}

TEST(InitGlobalData, SystemStateAndTables)
{
    g_nMasterVolume = 3;
    g_nCurPage = 0;
    g_ModeTable[10] = 9;
    g_ModeItemTable.mainSource = 2;
    g_bSpeakerTypeMode = 0;
    InitGlobalData();

    EXPECT_EQ(int(g_nMasterVolume), 60);
    EXPECT_EQ(ReadSysBlock(g_SysBlock2), kSysBlock2Defaults);
    EXPECT_EQ(ReadSysBlock(g_SysBlock5), kSysBlock5Defaults);
    for (auto &b : g_ModeTable) ASSERT_EQ(b.load(), 0);
    for (auto &t : g_SpeakerTypes) EXPECT_EQ(t.load(), 3);
    EXPECT_EQ(g_nCurPage.load(), 1);
    EXPECT_EQ(g_bSpeakerTypeMode.load(), 1);
    EXPECT_EQ(g_ModeItemTable.mainSource, kModeSourceOff);
    for (auto &f : g_CurveOverlayFlags) EXPECT_EQ(f.load(), 0);
}

TEST(SmallFunctions, SnapIndex)
{
    const int cases[][2] = {{5, 5}, {11, 11}, {12, 16}, {21, 21}, {26, 26}, {27, 26}, {30, 36},
                            {191, 191}, {200, 191}, {-4, -4}};
    for (const auto &c : cases)
        EXPECT_EQ(SnapIndex(c[0]), c[1]) << c[0];
}

TEST(SmallFunctions, LayoutBits)
{
    g_nInputLayout = 0;
    SetInputLayoutBit1(5);
    EXPECT_EQ(g_nInputLayout.load(), 2);
    EXPECT_EQ(GetInputLayoutBit1(), 1);
    EXPECT_EQ(GetInputLayoutBit0(), 0);
    SetInputLayoutBit0(1);
    SetInputLayoutBit1(0);
    EXPECT_EQ(g_nInputLayout.load(), 1);

    g_PresetLoadMarks.fill(7);
    ResetChannelSelection();
    EXPECT_EQ(g_PresetLoadMarks, (std::array<int, 9>{-1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
