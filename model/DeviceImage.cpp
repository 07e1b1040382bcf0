#include "model/DeviceImage.h"

#include "model/LinkGroups.h"
#include "model/OutputRoute.h"

#include <algorithm>
#include <cstring>

std::recursive_mutex g_csImage;
DeviceImage g_CurImage;
std::array<DeviceImage, kMachinePresetCount> g_MachinePresets;

SysBlock g_SysBlock2{{{kSysBlock2Defaults[0]}, {kSysBlock2Defaults[1]}, {kSysBlock2Defaults[2]},
                      {kSysBlock2Defaults[3]}, {kSysBlock2Defaults[4]}, {kSysBlock2Defaults[5]},
                      {kSysBlock2Defaults[6]}, {kSysBlock2Defaults[7]}}};
SysBlock g_SysBlock5{{{kSysBlock5Defaults[0]}, {kSysBlock5Defaults[1]}, {kSysBlock5Defaults[2]},
                      {kSysBlock5Defaults[3]}, {kSysBlock5Defaults[4]}, {kSysBlock5Defaults[5]},
                      {kSysBlock5Defaults[6]}, {kSysBlock5Defaults[7]}}};
SysBlock g_SpeakerTypes{{{kDefaultSpeakerType}, {kDefaultSpeakerType}, {kDefaultSpeakerType},
                         {kDefaultSpeakerType}, {kDefaultSpeakerType}, {kDefaultSpeakerType},
                         {kDefaultSpeakerType}, {kDefaultSpeakerType}}};

std::atomic<int> g_nCurPreset{0};
std::array<std::atomic<std::uint8_t>, kModeTableSize> g_ModeTable{};

std::atomic<int> g_bDeviceOnline{0};
std::atomic<int> g_bParamsDirty{0};
std::atomic<int> g_bNamePending{0};
std::atomic<int> g_bSysBlock5Pending{0};
std::atomic<int> g_bSysBlock2Pending{0};
const std::string g_strCustomName = "Custom";

namespace {
std::mutex g_lastAutoNameMutex;
std::string g_strLastAutoName;
}  // namespace

std::string GetLastAutoName()
{
    std::lock_guard lock(g_lastAutoNameMutex);
    return g_strLastAutoName;
}

void SetLastAutoName(std::string name)
{
    std::lock_guard lock(g_lastAutoNameMutex);
    g_strLastAutoName = std::move(name);
}

std::array<std::atomic<int>, kMeterLevelCount> g_MeterLevels{};
std::atomic<int> g_nCurPage{1};
std::atomic<int> g_nSelOutput{0};
std::atomic<int> g_nSelInput{0};
std::atomic<int> g_nInputGroup{0};
std::atomic<int> g_bSpeakerTypeMode{1};
std::atomic<int> g_bAnyLink{0};

std::array<std::atomic<int>, DeviceImage::kOutCount> g_LinkGroups{};
std::array<CKTV_OutData *, DeviceImage::kOutCount> g_OutChannelTable{};
std::array<std::atomic<int>, kLinkGroupSlots> g_ChannelModified{};
std::array<std::atomic<int>, kLinkGroupSlots> g_LinkGroupUsed{};
std::array<std::atomic<int>, kLinkGroupSlots> g_LinkGroupCount{};
std::array<std::atomic<int>, kLinkGroupSlots> g_LinkGroupMask{};
std::array<std::atomic<int>, kLinkGroupSlots> g_BtlPair{};

std::array<std::atomic<std::uint8_t>, kHexInfoSize> g_HexInfo{};

// ---- DeviceImage ---------------------------------------------------------------------------

std::string DeviceImage::NameBytes() const
{
    auto name = Name();
    std::size_t n = 0;
    while (n < kNameMaxChars && name[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char *>(name.data()), n);
}

bool DeviceImage::BlockRange(int objType, int channel, std::size_t &offset, std::size_t &size)
{
    if (channel < 0)
        return false;
    const auto ch = static_cast<std::size_t>(channel);
    switch (objType) {
    case OBJ_MIC:
        if (ch >= kMicCount)
            return false;
        offset = kMicOffset + ch * kMicSize;
        size = kMicSize;
        return true;
    case OBJ_EFFECT:
        if (ch != 0)
            return false;
        offset = kEffectOffset;
        size = kEffectSize;
        return true;
    case OBJ_MUSIC:
        if (ch >= kMusicCount)
            return false;
        offset = kMusicOffset + ch * kMusicSize;
        size = kMusicSize;
        return true;
    case OBJ_OUTPUT:
        if (ch >= kOutCount)
            return false;
        offset = kOutOffset + ch * kOutSize;
        size = kOutSize;
        return true;
    default:
        return false;
    }
}

std::span<std::uint8_t> DeviceImage::Block(int objType, int channel)
{
    std::size_t offset = 0, size = 0;
    if (!BlockRange(objType, channel, offset, size))
        return {};
    return std::span(bytes).subspan(offset, size);
}

std::span<const std::uint8_t> DeviceImage::Block(int objType, int channel) const
{
    std::size_t offset = 0, size = 0;
    if (!BlockRange(objType, channel, offset, size))
        return {};
    return std::span(bytes).subspan(offset, size);
}

std::span<std::uint8_t> DeviceImage::Item(int objType, int channel, int item)
{
    auto block = Block(objType, channel);
    if (item < 0 || static_cast<std::size_t>(item) >= block.size() / kItemSize)
        return {};
    return block.subspan(static_cast<std::size_t>(item) * kItemSize, kItemSize);
}

std::span<const std::uint8_t> DeviceImage::Item(int objType, int channel, int item) const
{
    auto block = Block(objType, channel);
    if (item < 0 || static_cast<std::size_t>(item) >= block.size() / kItemSize)
        return {};
    return block.subspan(static_cast<std::size_t>(item) * kItemSize, kItemSize);
}

DeviceImage *MachinePresetImage(int preset)
{
    if (!IsMachinePreset(preset))
        return nullptr;
    return &g_MachinePresets[static_cast<std::size_t>(preset - 1)];
}

DeviceImage *ImageForPreset(int preset)
{
    return preset == 0 ? &g_CurImage : MachinePresetImage(preset);
}

// ---- system blocks -------------------------------------------------------------------------

std::array<std::uint8_t, 8> ReadSysBlock(const SysBlock &block)
{
    std::array<std::uint8_t, 8> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = block[i].load();
    return out;
}

void WriteSysBlock(SysBlock &block, std::span<const std::uint8_t> bytes)
{
    const std::size_t n = std::min(bytes.size(), block.size());
    for (std::size_t i = 0; i < n; ++i)
        block[i].store(bytes[i]);
}

// ---- links ---------------------------------------------------------------------------------

int IsOutputLinked(int ch)
{
    if (ch < 0 || static_cast<std::size_t>(ch) >= g_LinkGroups.size())
        return 0;
    const int group = g_LinkGroups[static_cast<std::size_t>(ch)].load();
    if (group == 0)
        return 0;
    for (std::size_t i = 0; i < g_LinkGroups.size(); ++i)
        if (static_cast<int>(i) != ch && g_LinkGroups[i].load() == group)
            return 1;
    return 0;
}

void ResetTransferFlags()
{
    auto clear = [](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i <= to; ++i)
            g_HexInfo[i].store(0);
    };
    clear(0, 5);
    clear(8, 11);
    clear(16, 17);
    clear(20, 30);
}

void ClampCrossoverForTypes(std::span<const int, DeviceImage::kOutCount> speakerTypes)
{
    auto word = [](std::span<std::uint8_t> item, std::size_t at) { return item[at] | (item[at + 1] << 8); };
    auto setWord = [](std::span<std::uint8_t> item, std::size_t at, int v) {
        item[at] = static_cast<std::uint8_t>(v & 0xFF);
        item[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    constexpr std::size_t kHighFreq = 0, kHighSlope = 3, kLowFreq = 4;
    constexpr std::uint8_t kSlopeOff = 8, kSlopeMax = 7;

    std::lock_guard lock(g_csImage);
    for (std::size_t ch = 0; ch < DeviceImage::kOutCount; ++ch) {
        const int type = speakerTypes[ch];
        if (type != 1 && type != 7 && type != 13 && type != 16 && type != 19)
            continue;
        auto item = g_CurImage.Item(OBJ_OUTPUT, static_cast<int>(ch), DeviceImage::kOutCrossoverItem);
        if (word(item, kHighFreq) < 20) {
            setWord(item, kHighFreq, 20);
            if (word(item, kHighFreq) > word(item, kLowFreq))
                setWord(item, kLowFreq, 20000);
        }
        if (item[kHighSlope] == kSlopeOff)
            item[kHighSlope] = kSlopeMax;
    }
}

// ---- replies -------------------------------------------------------------------------------

bool StoreNameReply(int preset, std::span<const std::uint8_t> payload)
{
    DeviceImage *image = ImageForPreset(preset);
    if (image == nullptr)
        return false;
    constexpr std::size_t kCopied = 13;
    std::lock_guard lock(g_csImage);
    auto name = image->Name();
    for (std::size_t i = 0; i < kCopied; ++i) {
        const std::uint8_t b = i < payload.size() ? payload[i] : 0;
        name[i] = b < 32 ? 0 : b;
    }
    name[13] = 0;
    name[14] = 0;
    return true;
}

bool StorePresetNumberReply(int preset)
{
    if (preset < 0 || preset > kMachinePresetCount)
        return false;
    if (preset != 0) {
        std::lock_guard lock(g_csImage);
        auto from = MachinePresetImage(preset)->Name();
        std::copy_n(from.begin(), DeviceImage::kNameMaxChars, g_CurImage.Name().begin());
    }
    g_nCurPreset.store(preset);
    return true;
}

void StoreSysBlock2Reply(std::span<const std::uint8_t> payload) { WriteSysBlock(g_SysBlock2, payload); }

void StoreSysBlock5Reply(std::span<const std::uint8_t> payload)
{
    WriteSysBlock(g_SysBlock5, payload);
    g_SysBlock5[7].store(g_SysBlock5[3].load());
}

void StoreSpeakerTypesReply(std::span<const std::uint8_t> payload) { WriteSysBlock(g_SpeakerTypes, payload); }

void StoreModeTableReply(std::span<const std::uint8_t> payload)
{
    const std::size_t n = std::min(payload.size(), g_ModeTable.size());
    for (std::size_t i = 0; i < n; ++i)
        g_ModeTable[i].store(payload[i]);
}

void StoreMeterLevelsReply(std::span<const std::uint8_t> payload)
{
    constexpr std::size_t kReported = 15;
    const std::size_t n = std::min(payload.size(), kReported);
    for (std::size_t i = 0; i < n; ++i)
        g_MeterLevels[i].store(payload[i]);
}

bool StoreBlockReply(int preset, bool storedPreset, int objType, int channel, std::span<const std::uint8_t> payload)
{
    if (objType != OBJ_MUSIC && objType != OBJ_OUTPUT)
        return false;
    if (preset < 0 || preset > kMachinePresetCount)
        return false;
    DeviceImage *image = (storedPreset && preset != 0) ? MachinePresetImage(preset) : &g_CurImage;
    std::lock_guard lock(g_csImage);
    auto block = image->Block(objType, channel);
    if (block.empty())
        return false;
    const std::size_t n = std::min(payload.size(), block.size());
    std::copy_n(payload.begin(), n, block.begin());
    return true;
}

void ResetDeviceImageGlobals()
{
    {
        std::lock_guard lock(g_csImage);
        g_CurImage.bytes.fill(0);
        for (auto &image : g_MachinePresets)
            image.bytes.fill(0);
    }
    WriteSysBlock(g_SysBlock2, kSysBlock2Defaults);
    WriteSysBlock(g_SysBlock5, kSysBlock5Defaults);
    for (auto &b : g_SpeakerTypes)
        b.store(kDefaultSpeakerType);
    g_nCurPreset.store(0);
    for (auto &b : g_ModeTable)
        b.store(0);
    g_bDeviceOnline.store(0);
    g_bParamsDirty.store(0);
    g_bNamePending.store(0);
    g_bSysBlock5Pending.store(0);
    g_bSysBlock2Pending.store(0);
    SetLastAutoName({});
    for (auto &v : g_MeterLevels)
        v.store(0);
    g_nCurPage.store(1);
    g_nSelOutput.store(0);
    g_nSelInput.store(0);
    g_nInputGroup.store(0);
    g_bSpeakerTypeMode.store(1);
    g_bAnyLink.store(0);
    for (auto &v : g_LinkGroups)
        v.store(0);
    for (auto *table : {&g_ChannelModified, &g_LinkGroupUsed, &g_LinkGroupCount, &g_LinkGroupMask, &g_BtlPair})
        for (auto &v : *table)
            v.store(0);
    ResetLinkGroupGlobals();
    for (auto &row : g_OutRouteBits)
        for (auto &v : row)
            v.store(0);
    for (auto &b : g_HexInfo)
        b.store(0);
}
