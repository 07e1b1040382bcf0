#include "model/InitGlobalData.h"

#include "model/DeviceImage.h"
#include "model/ModeItemTable.h"
#include "model/OutputPageContract.h"
#include "model/SpeakerGroups.h"
#include "model/SpeakerType.h"
#include "platform/GlobalData.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

std::uint8_t *Item(DeviceImage &image, int objType, int channel, int item)
{
    return image.Item(objType, channel, item).data();
}

void FlatBands(DeviceImage &image, int objType, int channel, int count)
{
    for (int k = 0; k < count; ++k)
        std::memcpy(Item(image, objType, channel, k), kFlatBandPacket, sizeof kFlatBandPacket);
}

void ZeroBytes(std::uint8_t *item, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        item[b] = 0;
}

void InitImages()
{
    std::lock_guard lock(g_csImage);
    g_CurImage.bytes.fill(0);
    for (auto &preset : g_MachinePresets)
        preset.bytes.fill(0);

    DeviceImage &img = g_CurImage;
    for (int n = 0; n < static_cast<int>(DeviceImage::kMusicCount); ++n) {
        FlatBands(img, OBJ_MUSIC, n, 31);
        std::uint8_t *basic = Item(img, OBJ_MUSIC, n, 31);
        basic[0] = 0;
        basic[2] = 1;
        ZeroBytes(Item(img, OBJ_MUSIC, n, 33), {1, 2, 3, 4, 5, 6, 7});
        ZeroBytes(Item(img, OBJ_MUSIC, n, 34), {4, 5, 6, 7});
    }

    FlatBands(img, OBJ_MIC, 0, 9);
    ZeroBytes(Item(img, OBJ_MIC, 0, 11), {1, 2, 3, 4, 5, 6, 7});
    ZeroBytes(Item(img, OBJ_MIC, 0, 12), {4, 5, 6, 7});

    for (int n = 0; n < static_cast<int>(DeviceImage::kOutCount); ++n) {
        Item(img, OBJ_OUTPUT, n, 31)[6] = 0;  // EQ mode
        Item(img, OBJ_OUTPUT, n, 35)[6] = 0;  // link group
        FlatBands(img, OBJ_OUTPUT, n, 31);

        // Source levels: LINE n+1 at full level, the left or right S/PDIF and Bluetooth sources.
        std::uint8_t *lines = Item(img, OBJ_OUTPUT, n, 33);
        std::fill_n(lines, 8, 0);
        lines[n] = 100;
        std::uint8_t *digital = Item(img, OBJ_OUTPUT, n, 34);
        const bool left = n % 2 == 0;
        const std::uint8_t levels[8] = {0, 0, 0, 0, std::uint8_t(left ? 100 : 0), std::uint8_t(left ? 0 : 100),
                                        std::uint8_t(left ? 100 : 0), std::uint8_t(left ? 0 : 100)};
        std::memcpy(digital, levels, 8);
    }

    ZeroBytes(Item(img, OBJ_EFFECT, 0, 16), {2, 4, 5, 7});
    ZeroBytes(Item(img, OBJ_EFFECT, 0, 17), {4, 5, 6});
    FlatBands(img, OBJ_EFFECT, 0, 8);

    for (auto &preset : g_MachinePresets) {
        auto name = preset.Name();
        std::fill(name.begin(), name.begin() + DeviceImage::kNameMaxChars, std::uint8_t(' '));
        name[DeviceImage::kNameMaxChars] = 0;
    }
}

}  // namespace

void InitGlobalData()
{
    InitImages();

    for (auto &b : g_ModeTable)
        b.store(0);
    WriteSysBlock(g_SysBlock2, kSysBlock2Defaults);
    WriteSysBlock(g_SysBlock5, kSysBlock5Defaults);

    g_bDeviceOnline.store(0);
    g_bParamsDirty.store(0);
    g_bNamePending.store(0);
    g_bSysBlock5Pending.store(0);
    g_bSysBlock2Pending.store(0);
    g_nCurPreset.store(0);
    SetLastAutoName({});

    g_nCurPage.store(1);
    g_nSelOutput.store(0);
    g_nSelInput.store(0);
    g_nInputGroup.store(0);

    for (auto &level : g_MeterLevels)
        level.store(0);

    // Speaker types: every output starts with the default code; the groups and the states are
    // rebuilt from it and the pair list is emptied.
    ResetSpeakerTypeStates();
    for (int n = 0; n < kSpeakerOutputs; ++n)
        g_SpeakerTypes[n].store(static_cast<std::uint8_t>(GetWorkingSpeakerType(n)));
    RebuildSpeakerGroups();
    RecomputeSpeakerTypeStates();
    for (auto &pair : g_SpeakerPairsOrdered)
        pair.used = 0;

    g_bAnyLink.store(0);
    g_bSpeakerTypeMode.store(1);

    g_ModeItemTable.Init();
    ResetChannelSelection();

    for (auto &flag : g_CurveOverlayFlags)
        flag.store(0);
}

// ---- small tables and resets of the model ---------------------------------------------------

const std::array<std::string_view, 8> g_ChannelNames{"CH1", "CH2", "CH3", "CH4", "CH5", "CH6", "CH7", "CH8"};

std::array<int, 9> g_PresetLoadMarks{-1, 0, 0, 0, 0, 0, 0, 0, 0};

int SnapIndex(int v)
{
    if (v > 11) {
        const int r = (v - 1) % 10;
        if (r != 0 && r != 5)
            v = (v / 10) * 10 + 6;
    }
    return std::min(v, 191);
}

int GetInputLayoutBit0() { return g_nInputLayout.load() & 1; }
int GetInputLayoutBit1() { return (g_nInputLayout.load() >> 1) & 1; }

void SetInputLayoutBit0(int on)
{
    if (on)
        g_nInputLayout.fetch_or(1);
    else
        g_nInputLayout.fetch_and(static_cast<std::uint8_t>(~1u));
}

void SetInputLayoutBit1(int on)
{
    if (on)
        g_nInputLayout.fetch_or(2);
    else
        g_nInputLayout.fetch_and(static_cast<std::uint8_t>(~2u));
}

void ResetChannelSelection()
{
    g_PresetLoadMarks[0] = -1;
    std::fill(g_PresetLoadMarks.begin() + 1, g_PresetLoadMarks.end(), 0);
}
