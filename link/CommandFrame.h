#pragma once
// The device frame, the same in both directions:
//   91 91 91 EE | command | address 1 | preset | object type | channel | parameter | link flag | 0 |
//   length (16-bit LE) | payload | XOR of bytes 4 .. end of payload | AA
// A frame is payload + 16 bytes long. The builders below turn the device image and the system
// values into frames, each in a new CSendData ready to be queued; they never queue it.
//
// Each frame is assembled in its own buffer, so builders may run on any thread; they read the
// image bytes under g_csImage.

#include "model/DeviceImage.h"

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

// Object types (frame byte 7): OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT and OBJ_SYSTEM are
// declared with the device image. BuildParamFrame's type for the status request:
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
}  // namespace frame

// Default header bytes (start bytes, mark, spare byte). Builders copy them into every frame; the
// array is written only at start-up (InitFrameTemplate) and otherwise read.
extern std::array<std::uint8_t, frame::kHeaderSize> g_FrameTemplate;
void InitFrameTemplate();

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

// One 8-byte item write of the current image (t = OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT), or
// the status request when t is OBJ_STATUS_REQUEST. Null for another type, a channel or an item
// outside the block.
std::unique_ptr<CSendData> BuildParamFrame(int objType, int channel, int item);

// A whole-block write of the current image (fromCurrentImage) or of machine preset p's image.
// Null for another type, a channel out of range, or a machine-preset write with p not 1..6.
// Taking a music or output block from the current image sets g_bParamsDirty.
std::unique_ptr<CSendData> BuildBlockFrame(int preset, int objType, int channel, bool fromCurrentImage);

// A block read request. Parameter byte 0 when currentRead is set and p is not 0, else 'w'.
std::unique_ptr<CSendData> BuildRequestFrame(int preset, int objType, int channel, bool currentRead,
                                             bool storedRead);

// A system read request (8 zero bytes).
std::unique_ptr<CSendData> BuildSystemRequestFrame(int systemCommand, int preset);

// A system write with the payload of its sub-identifier. Null for SYS_STATUS, SYS_VERSION,
// SYS_HELLO, an unknown sub-identifier, or SYS_NAME with a preset above 6.
std::unique_ptr<CSendData> BuildSystemFrame(int systemCommand, int preset);
