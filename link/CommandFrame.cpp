#include "link/CommandFrame.h"

#include "link/SendData.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

std::array<std::uint8_t, frame::kHeaderSize> g_FrameTemplate{
    frame::kStartByte, frame::kStartByte, frame::kStartByte, frame::kMark, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

void InitFrameTemplate()
{
    std::array<std::uint8_t, frame::kHeaderSize> header{};
    std::fill_n(header.begin(), frame::kStartSize, frame::kStartByte);
    header[frame::kStartSize] = frame::kMark;
    // Builders read the template on any thread: write only when something changed it.
    if (g_FrameTemplate != header)
        g_FrameTemplate = header;
}

std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < frame::kOverhead)
        return 0;
    std::uint8_t x = 0;
    for (std::size_t i = frame::kOffCommand; i + 2 < bytes.size(); ++i)
        x ^= bytes[i];
    return x;
}

void FinishFrame(std::uint8_t *bytes, std::size_t length)
{
    if (bytes == nullptr || length < frame::kOverhead)
        return;
    bytes[length - 2] = FrameChecksum({bytes, length});
    bytes[length - 1] = frame::kEnd;
}

std::unique_ptr<CSendData> BuildFrame(const FrameHeader &header, std::span<const std::uint8_t> payload)
{
    if (payload.size() > 0xFFFF)
        return nullptr;
    const std::size_t length = payload.size() + frame::kOverhead;
    std::vector<std::uint8_t> bytes(length, 0);
    std::copy(g_FrameTemplate.begin(), g_FrameTemplate.end(), bytes.begin());
    bytes[frame::kOffCommand] = header.command;
    bytes[frame::kOffAddress] = frame::kDeviceAddress;
    bytes[frame::kOffPreset] = header.preset;
    bytes[frame::kOffObject] = header.objType;
    bytes[frame::kOffChannel] = header.channel;
    bytes[frame::kOffParam] = header.param;
    bytes[frame::kOffLink] = header.link;
    bytes[frame::kOffLength] = static_cast<std::uint8_t>(payload.size() & 0xFF);
    bytes[frame::kOffLength + 1] = static_cast<std::uint8_t>(payload.size() >> 8);
    if (!payload.empty())
        std::memcpy(bytes.data() + frame::kHeaderSize, payload.data(), payload.size());
    FinishFrame(bytes.data(), length);
    auto item = std::make_unique<CSendData>();
    item->SetData(std::move(bytes));
    return item;
}

namespace {

constexpr bool IsPresetByte(int preset) { return preset >= 0 && preset <= kMachinePresetCount; }

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

std::unique_ptr<CSendData> BuildReadRequest(int preset, int objType, int channel, int param)
{
    static constexpr std::array<std::uint8_t, frame::kRequestPayload> kZeros{};
    return BuildFrame({CMD_READ, Byte(preset), Byte(objType), Byte(channel), Byte(param), 0}, kZeros);
}

bool IsBlockType(int objType)
{
    return objType == OBJ_MIC || objType == OBJ_EFFECT || objType == OBJ_MUSIC || objType == OBJ_OUTPUT;
}

}  // namespace

std::unique_ptr<CSendData> BuildParamFrame(int objType, int channel, int item)
{
    if (objType == OBJ_STATUS_REQUEST)
        return BuildSystemRequestFrame(SYS_STATUS, 0);
    if (!IsBlockType(objType))
        return nullptr;
    // The effect record is one block: its channel byte is sent but does not move the address.
    const int blockChannel = objType == OBJ_EFFECT ? 0 : channel;
    if (channel < 0 || channel > 0xFF)
        return nullptr;
    std::array<std::uint8_t, DeviceImage::kItemSize> payload{};
    {
        std::lock_guard lock(g_csImage);
        auto bytes = std::as_const(g_CurImage).Item(objType, blockChannel, item);
        if (bytes.size() != payload.size())
            return nullptr;
        std::copy(bytes.begin(), bytes.end(), payload.begin());
    }
    std::uint8_t link = 0;
    if (objType == OBJ_OUTPUT && item <= 33 && item != 31)
        link = Byte(IsOutputLinked(channel));
    return BuildFrame({CMD_WRITE, 0, Byte(objType), Byte(channel), Byte(item), link}, payload);
}

std::unique_ptr<CSendData> BuildBlockFrame(int preset, int objType, int channel, bool fromCurrentImage)
{
    if (!IsBlockType(objType) || !IsPresetByte(preset))
        return nullptr;
    std::size_t offset = 0;
    std::size_t size = 0;
    if (!DeviceImage::BlockRange(objType, channel, offset, size))
        return nullptr;
    if (objType == OBJ_EFFECT)
        size = DeviceImage::kEffectSendSize;
    const DeviceImage *image = fromCurrentImage ? &g_CurImage : MachinePresetImage(preset);
    if (image == nullptr)
        return nullptr;
    std::vector<std::uint8_t> payload(size);
    {
        std::lock_guard lock(g_csImage);
        std::memcpy(payload.data(), image->data() + offset, size);
    }
    if (fromCurrentImage && (objType == OBJ_MUSIC || objType == OBJ_OUTPUT))
        g_bParamsDirty.store(1);
    const std::uint8_t link = objType == OBJ_OUTPUT ? Byte(IsOutputLinked(channel)) : 0;
    return BuildFrame({CMD_WRITE, Byte(preset), Byte(objType), Byte(channel), 0, link}, payload);
}

std::unique_ptr<CSendData> BuildRequestFrame(int preset, int objType, int channel, bool currentRead,
                                             bool /*storedRead*/)
{
    std::size_t offset = 0;
    std::size_t size = 0;
    if (!IsBlockType(objType) || !IsPresetByte(preset) || !DeviceImage::BlockRange(objType, channel, offset, size))
        return nullptr;
    const int param = (currentRead && preset != 0) ? 0 : kStoredReadMark;
    return BuildReadRequest(preset, objType, channel, param);
}

std::unique_ptr<CSendData> BuildSystemRequestFrame(int systemCommand, int preset)
{
    switch (systemCommand) {
    case SYS_NAME:
    case SYS_INPUT:
    case SYS_STATUS:
    case SYS_VERSION:
    case SYS_VOLUME:
    case SYS_SPEAKERS:
    case SYS_PRESET_NUMBER:
    case SYS_MODE_TABLE:
    case SYS_WIFI_RESET:
    case SYS_FACTORY_RESET:
    case SYS_HELLO:
        break;
    default:
        return nullptr;
    }
    if (!IsPresetByte(preset))
        return nullptr;
    return BuildReadRequest(preset, OBJ_SYSTEM, systemCommand, 0);
}

std::unique_ptr<CSendData> BuildSystemFrame(int systemCommand, int preset)
{
    if (!IsPresetByte(preset))
        return nullptr;
    std::vector<std::uint8_t> payload;
    switch (systemCommand) {
    case SYS_NAME: {
        // 15 name bytes, then 0. Everything after the name's terminator is sent as 0, never the
        // stale bytes an earlier, longer name left in the field.
        payload.assign(DeviceImage::kNameSize, 0);
        const DeviceImage *image = preset == 0 ? &g_CurImage : MachinePresetImage(preset);
        std::lock_guard lock(g_csImage);
        auto name = image->Name();
        for (std::size_t i = 0; i < DeviceImage::kNameMaxChars && name[i] != 0; ++i)
            payload[i] = name[i];
        break;
    }
    case SYS_INPUT: {
        auto block = ReadSysBlock(g_SysBlock2);
        payload.assign(block.begin(), block.end());
        break;
    }
    case SYS_VOLUME: {
        auto block = ReadSysBlock(g_SysBlock5);
        if (block[7] == 0)
            block[3] = 0;
        payload.assign(block.begin(), block.end());
        break;
    }
    case SYS_SPEAKERS: {
        auto block = ReadSysBlock(g_SpeakerTypes);
        payload.assign(block.begin(), block.end());
        break;
    }
    case SYS_PRESET_NUMBER:
        payload.assign(1, Byte(g_nCurPreset.load()));
        break;
    case SYS_MODE_TABLE:
        payload.resize(kModeTableSize);
        for (std::size_t i = 0; i < kModeTableSize; ++i)
            payload[i] = g_ModeTable[i].load();
        break;
    case SYS_WIFI_RESET:
        payload.assign(8, 0);
        break;
    case SYS_FACTORY_RESET: {
        auto block = ReadSysBlock(g_SysBlock2);
        payload.assign(8, 0);
        std::copy_n(block.begin(), 7, payload.begin() + 1);
        break;
    }
    default:
        return nullptr;
    }
    return BuildFrame({CMD_WRITE, Byte(preset), Byte(OBJ_SYSTEM), Byte(systemCommand), 0, 0}, payload);
}
