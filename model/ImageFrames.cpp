#include "model/ImageFrames.h"

#include "model/DeviceImage.h"
#include "protocol/SendData.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

static_assert(frame::kItemSize == DeviceImage::kItemSize);
static_assert(frame::kMaxPreset == kMachinePresetCount);
static_assert(frame::kNameFieldSize == DeviceImage::kNameSize);
static_assert(frame::kModeTableSize == kModeTableSize);
static_assert(frame::ShapeOf(OBJ_MIC).writeSize == DeviceImage::kMicSize);
static_assert(frame::ShapeOf(OBJ_EFFECT).writeSize == DeviceImage::kEffectSendSize);
static_assert(frame::ShapeOf(OBJ_MUSIC).writeSize == DeviceImage::kMusicSize);
static_assert(frame::ShapeOf(OBJ_OUTPUT).writeSize == DeviceImage::kOutSize);
static_assert(frame::ShapeOf(OBJ_EFFECT).items == DeviceImage::kEffectItems);

std::unique_ptr<CSendData> BuildImageItemFrame(int objType, int channel, int item)
{
    if (objType == OBJ_STATUS_REQUEST)
        return BuildSystemRequestFrame(SYS_STATUS, 0);
    const int blockChannel = objType == OBJ_EFFECT ? 0 : channel;
    std::array<std::uint8_t, DeviceImage::kItemSize> bytes{};
    {
        std::lock_guard lock(g_csImage);
        auto src = std::as_const(g_CurImage).Item(objType, blockChannel, item);
        if (src.size() != bytes.size())
            return nullptr;
        std::copy(src.begin(), src.end(), bytes.begin());
    }
    const bool linked = objType == OBJ_OUTPUT && IsOutputLinked(channel) != 0;
    return BuildParamFrame(objType, channel, item, bytes, linked);
}

std::unique_ptr<CSendData> BuildImageBlockFrame(int preset, int objType, int channel, bool fromCurrentImage)
{
    if (!frame::IsPresetByte(preset))
        return nullptr;
    std::size_t offset = 0;
    std::size_t size = 0;
    if (!frame::IsBlockType(objType) || !DeviceImage::BlockRange(objType, channel, offset, size))
        return nullptr;
    size = frame::ShapeOf(objType).writeSize;
    const DeviceImage *image = fromCurrentImage ? &g_CurImage : MachinePresetImage(preset);
    if (image == nullptr)
        return nullptr;
    std::array<std::uint8_t, frame::kMaxPayload> block{};
    {
        std::lock_guard lock(g_csImage);
        std::copy_n(image->data() + offset, size, block.begin());
    }
    const bool linked = objType == OBJ_OUTPUT && IsOutputLinked(channel) != 0;
    auto item = BuildBlockFrame(preset, objType, channel, std::span(block.data(), size), linked);
    if (item && fromCurrentImage && (objType == OBJ_MUSIC || objType == OBJ_OUTPUT))
        g_bParamsDirty.store(1);
    return item;
}

std::vector<std::uint8_t> SystemWriteValues(int systemCommand, int preset)
{
    auto block = [](const SysBlock &b) {
        const auto bytes = ReadSysBlock(b);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    };
    switch (systemCommand) {
    case SYS_NAME: {
        const DeviceImage *image = ImageForPreset(preset);
        if (image == nullptr)
            return {};
        std::lock_guard lock(g_csImage);
        auto name = image->Name();
        return {name.begin(), name.end()};
    }
    case SYS_INPUT:
    case SYS_FACTORY_RESET:
        return block(g_SysBlock2);
    case SYS_VOLUME:
        return block(g_SysBlock5);
    case SYS_SPEAKERS:
        return block(g_SpeakerTypes);
    case SYS_PRESET_NUMBER:
        return {static_cast<std::uint8_t>(g_nCurPreset.load() & 0xFF)};
    case SYS_MODE_TABLE: {
        std::vector<std::uint8_t> table(kModeTableSize);
        for (std::size_t i = 0; i < kModeTableSize; ++i)
            table[i] = g_ModeTable[i].load();
        return table;
    }
    default:
        return {};
    }
}

std::unique_ptr<CSendData> BuildSystemValuesFrame(int systemCommand, int preset)
{
    return BuildSystemFrame(systemCommand, preset, SystemWriteValues(systemCommand, preset));
}
