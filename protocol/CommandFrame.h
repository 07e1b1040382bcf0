#pragma once
// The device frame, the same in both directions:
//   91 91 91 EE | command | address 1 | preset | object type | channel | parameter | link flag | 0 |
//   length (16-bit LE) | payload | XOR of bytes 4 .. end of payload | AA
// A frame is payload + 16 bytes long.
//
// The builders below frame the bytes they are given, each in a new CSendData ready to be queued;
// they never queue it. They read no process-wide state and set no flag: the caller hands over
// the item, block or system values to send and whether the output is linked. So builders may
// run on any thread, with no lock held. (The model's image-sourced forms live in
// model/ImageFrames.h.)

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class CSendData;

// Command codes (frame byte 4).
constexpr std::uint8_t CMD_WRITE = 0xA1;
constexpr std::uint8_t CMD_READ = 0xA2;
constexpr std::uint8_t REPLY_ACK = 0x51;
constexpr std::uint8_t REPLY_NAK = 0x52;
constexpr std::uint8_t REPLY_DATA = 0x53;

// Object types (frame byte 7). The device image holds blocks of the first four.
constexpr int OBJ_MIC = 1;
constexpr int OBJ_EFFECT = 2;
constexpr int OBJ_MUSIC = 3;
constexpr int OBJ_OUTPUT = 4;
constexpr int OBJ_SYSTEM = 9;
// BuildParamFrame's type for the status request.
constexpr int OBJ_STATUS_REQUEST = 7;

// System sub-identifiers (frame byte 8 of an OBJ_SYSTEM frame).
enum SystemCommand : int {
    SYS_NAME = 0,
    SYS_INPUT = 2,
    SYS_STATUS = 3,
    SYS_VERSION = 4,
    SYS_VOLUME = 5,
    SYS_SPEAKERS = 6,
    SYS_PRESET_NUMBER = 52,
    SYS_MODE_TABLE = 64,
    SYS_WIFI_RESET = 65,
    SYS_FACTORY_RESET = 96,
    SYS_HELLO = 0xCC,
};

// Parameter byte of a block read that asks for a stored preset ('w').
constexpr std::uint8_t kStoredReadMark = 0x77;

// Frame layout.
namespace frame {
constexpr std::size_t kStartSize = 3;
constexpr std::uint8_t kStartByte = 0x91;
constexpr std::uint8_t kMark = 0xEE;
constexpr std::uint8_t kEnd = 0xAA;
constexpr std::uint8_t kDeviceAddress = 1;
constexpr std::size_t kOffCommand = 4;
constexpr std::size_t kOffAddress = 5;
constexpr std::size_t kOffPreset = 6;
constexpr std::size_t kOffObject = 7;
constexpr std::size_t kOffChannel = 8;
constexpr std::size_t kOffParam = 9;
constexpr std::size_t kOffLink = 10;
constexpr std::size_t kOffSpare = 11;
constexpr std::size_t kOffLength = 12;
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kOverhead = 16;       // header + checksum + end
constexpr std::size_t kMaxPayload = 300;    // largest payload a builder writes
constexpr std::size_t kRequestPayload = 8;  // read requests carry 8 zero bytes

// The header bytes every frame starts with: start bytes and mark; the rest is filled per frame.
constexpr std::array<std::uint8_t, kHeaderSize> kHeaderTemplate{kStartByte, kStartByte, kStartByte, kMark};

// Preset bytes: 0 the live parameters, 1..6 a machine preset.
constexpr int kMaxPreset = 6;
constexpr bool IsPresetByte(int preset) { return preset >= 0 && preset <= kMaxPreset; }

// The parameter blocks the object types address: items of 8 bytes, a number of channels, and
// the payload of a whole-block write (the effect record sends only its first 96 bytes).
constexpr std::size_t kItemSize = 8;
struct BlockShape {
    int channels = 0;
    int items = 0;
    std::size_t writeSize = 0;
};
constexpr BlockShape ShapeOf(int objType)
{
    switch (objType) {
    case OBJ_MIC:
        return {1, 14, 112};
    case OBJ_EFFECT:
        return {1, 19, 96};
    case OBJ_MUSIC:
        return {6, 36, 288};
    case OBJ_OUTPUT:
        return {8, 37, 296};
    default:
        return {};
    }
}
constexpr bool IsBlockType(int objType) { return ShapeOf(objType).channels > 0; }

// Payload sizes of the system values.
constexpr std::size_t kNameFieldSize = 16;  // 15 name bytes and a terminator
constexpr std::size_t kNameMaxChars = 15;
constexpr std::size_t kSysBlockSize = 8;
constexpr std::size_t kModeTableSize = 66;
}  // namespace frame

// The checksum of a whole frame (XOR of bytes 4 .. length - 3); 0 for a frame under 16 bytes.
std::uint8_t FrameChecksum(std::span<const std::uint8_t> frame);
// Stores the checksum at length - 2 and the end byte at length - 1. The frame must hold its
// header and payload already and be at least 16 bytes long.
void FinishFrame(std::uint8_t *frame, std::size_t length);

// The header fields of a frame to build.
struct FrameHeader {
    std::uint8_t command = CMD_WRITE;
    std::uint8_t preset = 0;
    std::uint8_t objType = 0;
    std::uint8_t channel = 0;
    std::uint8_t param = 0;
    std::uint8_t link = 0;
};

// A complete frame (header, payload, checksum, end) in a new item. Null when the payload is longer
// than 0xFFFF bytes. The firmware-update stages build their frames with it.
std::unique_ptr<CSendData> BuildFrame(const FrameHeader &header, std::span<const std::uint8_t> payload);

// One 8-byte item write (t = OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT) carrying `item`'s bytes,
// or the status request when t is OBJ_STATUS_REQUEST (the other arguments are then unused). An
// output frame carries `outputLinked` in its link byte for items 0..33 except 31. The effect
// record is one block: its channel byte is sent as given. Null for another type, a channel or
// an item outside the block, or bytes that are not one item.
std::unique_ptr<CSendData> BuildParamFrame(int objType, int channel, int item, std::span<const std::uint8_t> bytes,
                                           bool outputLinked);

// A whole-block write of `block` (exactly the type's write size) for preset byte p. An output
// frame carries `outputLinked` in its link byte. Null for another type, a channel out of range,
// a preset byte above 6 or a block of another size.
std::unique_ptr<CSendData> BuildBlockFrame(int preset, int objType, int channel, std::span<const std::uint8_t> block,
                                           bool outputLinked);

// A block read request. Parameter byte 0 when currentRead is set and p is not 0, else 'w'.
std::unique_ptr<CSendData> BuildRequestFrame(int preset, int objType, int channel, bool currentRead,
                                             bool storedRead);

// A system read request (8 zero bytes).
std::unique_ptr<CSendData> BuildSystemRequestFrame(int systemCommand, int preset);

// A system write of the values of its sub-identifier:
//   SYS_NAME           the 16-byte name field; the 15 name bytes up to the terminator are sent,
//                      everything after it as 0, and byte 15 is always 0
//   SYS_INPUT, SYS_SPEAKERS  the 8-byte block, unchanged
//   SYS_VOLUME         the 8-byte block, with byte 3 sent as 0 while byte 7 is 0
//   SYS_PRESET_NUMBER  1 byte
//   SYS_MODE_TABLE     66 bytes
//   SYS_WIFI_RESET     nothing (8 zero bytes are sent)
//   SYS_FACTORY_RESET  system block 2 (8 bytes): a zero byte and its bytes 0..6 are sent
// Null for SYS_STATUS, SYS_VERSION, SYS_HELLO, an unknown sub-identifier, a preset byte above 6,
// or values of another size.
std::unique_ptr<CSendData> BuildSystemFrame(int systemCommand, int preset, std::span<const std::uint8_t> values);
