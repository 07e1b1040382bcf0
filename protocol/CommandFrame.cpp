#include "protocol/CommandFrame.h"

#include "protocol/SendData.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

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
    std::copy(frame::kHeaderTemplate.begin(), frame::kHeaderTemplate.end(), bytes.begin());
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

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

std::unique_ptr<CSendData> BuildReadRequest(int preset, int objType, int channel, int param)
{
    static constexpr std::array<std::uint8_t, frame::kRequestPayload> kZeros{};
    return BuildFrame({CMD_READ, Byte(preset), Byte(objType), Byte(channel), Byte(param), 0}, kZeros);
}

bool IsBlockChannel(int objType, int channel)
{
    return channel >= 0 && channel < frame::ShapeOf(objType).channels;
}

}  // namespace

std::unique_ptr<CSendData> BuildParamFrame(int objType, int channel, int item, std::span<const std::uint8_t> bytes,
                                           bool outputLinked)
{
    if (objType == OBJ_STATUS_REQUEST)
        return BuildSystemRequestFrame(SYS_STATUS, 0);
    if (!frame::IsBlockType(objType) || bytes.size() != frame::kItemSize)
        return nullptr;
    // The effect record is one block: its channel byte is sent but addresses nothing.
    const bool channelOk = objType == OBJ_EFFECT ? channel >= 0 && channel <= 0xFF : IsBlockChannel(objType, channel);
    if (!channelOk || item < 0 || item >= frame::ShapeOf(objType).items)
        return nullptr;
    const bool carriesLink = objType == OBJ_OUTPUT && item <= 33 && item != 31;
    const std::uint8_t link = carriesLink && outputLinked ? 1 : 0;
    return BuildFrame({CMD_WRITE, 0, Byte(objType), Byte(channel), Byte(item), link}, bytes);
}

std::unique_ptr<CSendData> BuildBlockFrame(int preset, int objType, int channel, std::span<const std::uint8_t> block,
                                           bool outputLinked)
{
    if (!frame::IsBlockType(objType) || !frame::IsPresetByte(preset) || !IsBlockChannel(objType, channel) ||
        block.size() != frame::ShapeOf(objType).writeSize)
        return nullptr;
    const std::uint8_t link = objType == OBJ_OUTPUT && outputLinked ? 1 : 0;
    return BuildFrame({CMD_WRITE, Byte(preset), Byte(objType), Byte(channel), 0, link}, block);
}

std::unique_ptr<CSendData> BuildRequestFrame(int preset, int objType, int channel, bool currentRead,
                                             bool /*storedRead*/)
{
    if (!frame::IsBlockType(objType) || !frame::IsPresetByte(preset) || !IsBlockChannel(objType, channel))
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
    if (!frame::IsPresetByte(preset))
        return nullptr;
    return BuildReadRequest(preset, OBJ_SYSTEM, systemCommand, 0);
}

std::unique_ptr<CSendData> BuildSystemFrame(int systemCommand, int preset, std::span<const std::uint8_t> values)
{
    if (!frame::IsPresetByte(preset))
        return nullptr;
    auto sized = [&values](std::size_t n) { return values.size() == n; };
    // The largest system payload is the mode table; every payload is assembled here.
    std::array<std::uint8_t, frame::kModeTableSize> payload{};
    std::size_t size = 0;
    switch (systemCommand) {
    case SYS_NAME:
        // The name bytes up to the terminator; everything after it goes out as 0, never the stale
        // bytes an earlier, longer name left in the field.
        if (!sized(frame::kNameFieldSize))
            return nullptr;
        size = frame::kNameFieldSize;
        for (std::size_t i = 0; i < frame::kNameMaxChars && values[i] != 0; ++i)
            payload[i] = values[i];
        break;
    case SYS_INPUT:
    case SYS_SPEAKERS:
    case SYS_VOLUME:
        if (!sized(frame::kSysBlockSize))
            return nullptr;
        size = frame::kSysBlockSize;
        std::copy(values.begin(), values.end(), payload.begin());
        if (systemCommand == SYS_VOLUME && values[7] == 0)
            payload[3] = 0;
        break;
    case SYS_PRESET_NUMBER:
        if (!sized(1))
            return nullptr;
        size = 1;
        payload[0] = values[0];
        break;
    case SYS_MODE_TABLE:
        if (!sized(frame::kModeTableSize))
            return nullptr;
        size = frame::kModeTableSize;
        std::copy(values.begin(), values.end(), payload.begin());
        break;
    case SYS_WIFI_RESET:
        if (!sized(0))
            return nullptr;
        size = 8;
        break;
    case SYS_FACTORY_RESET:
        if (!sized(frame::kSysBlockSize))
            return nullptr;
        size = 8;
        std::copy_n(values.begin(), 7, payload.begin() + 1);
        break;
    default:
        return nullptr;
    }
    return BuildFrame({CMD_WRITE, Byte(preset), Byte(OBJ_SYSTEM), Byte(systemCommand), 0, 0},
                      std::span(payload.data(), size));
}
