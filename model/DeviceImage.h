#pragma once
// The device's parameter image of one preset (4,392 bytes), the current and machine-preset copies,
// the system blocks the device exchanges whole, and the process-wide flags and link tables that
// the scheduler, the parser and the pages share.
//
// Threads: image bytes (g_CurImage, g_MachinePresets) are read and written under g_csImage, a
// leaf lock: hold it only while copying bytes, never while taking g_csLink, showing a box or
// doing I/O. System blocks, speaker types, the mode table, levels, flags and link tables are
// arrays of atomics and need no lock.

// The object types (OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT) are the frame format's.
#include "protocol/CommandFrame.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

class CKTV_OutData;


struct DeviceImage {
    static constexpr std::size_t kItemSize = 8;

    static constexpr std::size_t kNameOffset = 0x000;
    static constexpr std::size_t kNameSize = 16;
    static constexpr std::size_t kNameMaxChars = 15;
    static constexpr std::size_t kReservedOffset = 0x010;
    static constexpr std::size_t kReservedSize = 16;

    static constexpr std::size_t kEffectOffset = 0x020;
    static constexpr std::size_t kEffectItems = 19;
    static constexpr std::size_t kEffectSize = kEffectItems * kItemSize;  // 152
    static constexpr std::size_t kEffectSendSize = 96;                    // whole-block payload

    static constexpr std::size_t kMicOffset = 0x0B8;
    static constexpr std::size_t kMicItems = 14;
    static constexpr std::size_t kMicSize = kMicItems * kItemSize;  // 112
    static constexpr std::size_t kMicCount = 1;

    static constexpr std::size_t kMusicOffset = 0x128;
    static constexpr std::size_t kMusicItems = 36;
    static constexpr std::size_t kMusicSize = kMusicItems * kItemSize;  // 288
    static constexpr std::size_t kMusicCount = 6;

    static constexpr std::size_t kOutOffset = 0x7E8;
    static constexpr std::size_t kOutItems = 37;
    static constexpr std::size_t kOutSize = kOutItems * kItemSize;  // 296
    static constexpr std::size_t kOutCount = 8;

    static constexpr std::size_t kSize = 4392;

    // Item numbers inside an output block.
    static constexpr int kOutCrossoverItem = 32;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t *data() { return bytes.data(); }
    const std::uint8_t *data() const { return bytes.data(); }
    static constexpr std::size_t size() { return kSize; }

    std::span<std::uint8_t, kNameSize> Name() { return std::span(bytes).subspan<kNameOffset, kNameSize>(); }
    std::span<const std::uint8_t, kNameSize> Name() const
    {
        return std::span(bytes).subspan<kNameOffset, kNameSize>();
    }
    // The name's bytes up to the first NUL (at most 15), as stored (GBK).
    std::string NameBytes() const;

    // Offset and size of the block of an object type and channel; false when there is none
    // (unknown type, channel out of range).
    static bool BlockRange(int objType, int channel, std::size_t &offset, std::size_t &size);
    // The block, or an empty span when there is none.
    std::span<std::uint8_t> Block(int objType, int channel);
    std::span<const std::uint8_t> Block(int objType, int channel) const;
    // Item k of a block, or an empty span when the block or the item does not exist.
    std::span<std::uint8_t> Item(int objType, int channel, int item);
    std::span<const std::uint8_t> Item(int objType, int channel, int item) const;
};

static_assert(sizeof(DeviceImage) == DeviceImage::kSize);
static_assert(DeviceImage::kReservedOffset == DeviceImage::kNameOffset + DeviceImage::kNameSize);
static_assert(DeviceImage::kEffectOffset == DeviceImage::kReservedOffset + DeviceImage::kReservedSize);
static_assert(DeviceImage::kMicOffset == DeviceImage::kEffectOffset + DeviceImage::kEffectSize);
static_assert(DeviceImage::kMusicOffset == DeviceImage::kMicOffset + DeviceImage::kMicSize * DeviceImage::kMicCount);
static_assert(DeviceImage::kOutOffset ==
              DeviceImage::kMusicOffset + DeviceImage::kMusicSize * DeviceImage::kMusicCount);
static_assert(DeviceImage::kSize == DeviceImage::kOutOffset + DeviceImage::kOutSize * DeviceImage::kOutCount);
static_assert(DeviceImage::kEffectSize == 152 && DeviceImage::kMicSize == 112 && DeviceImage::kMusicSize == 288 &&
              DeviceImage::kOutSize == 296);

constexpr int kMachinePresetCount = 6;

// The lock of the image bytes (see the header comment).
extern std::recursive_mutex g_csImage;

extern DeviceImage g_CurImage;
// Machine preset p (1..6) at index p - 1.
extern std::array<DeviceImage, kMachinePresetCount> g_MachinePresets;

// True for a machine-preset number 1..6.
constexpr bool IsMachinePreset(int preset) { return preset >= 1 && preset <= kMachinePresetCount; }
// Machine preset p's image, or null when p is not 1..6.
DeviceImage *MachinePresetImage(int preset);
// The image a preset byte designates: 0 the current image, 1..6 a machine preset, else null.
DeviceImage *ImageForPreset(int preset);

// ---- system blocks ------------------------------------------------------------------------
using SysBlock = std::array<std::atomic<std::uint8_t>, 8>;

constexpr std::array<std::uint8_t, 8> kSysBlock2Defaults{0, 0, 3, 0, 0xFF, 55, 108, 3};
constexpr std::array<std::uint8_t, 8> kSysBlock5Defaults{60, 0, 0, 0, 0, 0, 1, 0};
constexpr std::uint8_t kDefaultSpeakerType = 3;

extern SysBlock g_SysBlock2;
extern SysBlock g_SysBlock5;
extern SysBlock g_SpeakerTypes;  // speaker-type code of outputs 0..7

// Snapshot and whole-block store of a system block.
std::array<std::uint8_t, 8> ReadSysBlock(const SysBlock &block);
void WriteSysBlock(SysBlock &block, std::span<const std::uint8_t> bytes);  // up to 8 bytes

// Named bytes of system block 2.
inline std::atomic<std::uint8_t> &g_nInputSource = g_SysBlock2[0];
inline std::atomic<std::uint8_t> &g_nInputGroupByte = g_SysBlock2[1];
inline std::atomic<std::uint8_t> &g_nInputLayout = g_SysBlock2[2];
inline std::atomic<std::uint8_t> &g_nInputOption = g_SysBlock2[3];
inline std::atomic<std::uint8_t> &g_nNoiseGateOn = g_SysBlock2[4];
inline std::atomic<std::uint8_t> &g_nNoiseParam1 = g_SysBlock2[5];
inline std::atomic<std::uint8_t> &g_nNoiseParamDb = g_SysBlock2[6];
inline std::atomic<std::uint8_t> &g_nNoiseParamSec = g_SysBlock2[7];

// A little-endian 16-bit value over two atomic bytes.
class SysWordRef {
public:
    constexpr SysWordRef(std::atomic<std::uint8_t> &lo, std::atomic<std::uint8_t> &hi) : m_lo(lo), m_hi(hi) {}
    operator int() const { return m_lo.load() | (m_hi.load() << 8); }
    const SysWordRef &operator=(int value) const
    {
        m_lo.store(static_cast<std::uint8_t>(value & 0xFF));
        m_hi.store(static_cast<std::uint8_t>((value >> 8) & 0xFF));
        return *this;
    }

private:
    std::atomic<std::uint8_t> &m_lo;
    std::atomic<std::uint8_t> &m_hi;
};

// Named bytes of system block 5.
inline const SysWordRef g_nMasterVolume{g_SysBlock5[0], g_SysBlock5[1]};  // 0..66
inline std::atomic<std::uint8_t> &g_nSys5Byte2 = g_SysBlock5[2];
inline std::atomic<std::uint8_t> &g_nSys5Byte3 = g_SysBlock5[3];
inline std::atomic<std::uint8_t> &g_bAltInputMode = g_SysBlock5[4];
inline std::atomic<std::uint8_t> &g_nSys5Byte5 = g_SysBlock5[5];
inline std::atomic<std::uint8_t> &g_bMasterOn = g_SysBlock5[6];
inline std::atomic<std::uint8_t> &g_nSys5Byte7 = g_SysBlock5[7];

// The preset active in the device: 0 none, 1..6.
extern std::atomic<int> g_nCurPreset;

// The device's mode table: four rows of 16 bytes (eight 16-bit values each), the selected slot,
// and the byte only the mode file writes.
constexpr std::size_t kModeTableSize = 66;
constexpr std::size_t kModeTableRowSize = 16;
constexpr std::size_t kModeTableRows = 4;
extern std::array<std::atomic<std::uint8_t>, kModeTableSize> g_ModeTable;
inline std::atomic<std::uint8_t> &g_nPresetSlot = g_ModeTable[64];
inline std::atomic<std::uint8_t> &g_nModeFileSlot = g_ModeTable[65];

// ---- program-side flags and values --------------------------------------------------------
extern std::atomic<int> g_bDeviceOnline;
extern std::atomic<int> g_bParamsDirty;
extern std::atomic<int> g_bNamePending;
extern std::atomic<int> g_bSysBlock5Pending;
extern std::atomic<int> g_bSysBlock2Pending;
extern const std::string g_strCustomName;  // "Custom"
std::string GetLastAutoName();
void SetLastAutoName(std::string name);

// System sub-identifiers read after connecting; the last (4, the version) is read first.
constexpr std::array<int, 6> g_SysReadList{0, 52, 2, 5, 6, 4};

// Input levels 0..5, output levels 6..13, the device's input mode in 14.
constexpr std::size_t kMeterLevelCount = 16;
extern std::array<std::atomic<int>, kMeterLevelCount> g_MeterLevels;

extern std::atomic<int> g_nCurPage;  // 0 input, 1 output, 2 volume
extern std::atomic<int> g_nSelOutput;
extern std::atomic<int> g_nSelInput;
extern std::atomic<int> g_nInputGroup;  // 0..2
extern std::atomic<int> g_bSpeakerTypeMode;
extern std::atomic<int> g_bAnyLink;

// ---- link tables ---------------------------------------------------------------------------
constexpr std::size_t kLinkGroupSlots = 10;
extern std::array<std::atomic<int>, DeviceImage::kOutCount> g_LinkGroups;
extern std::array<CKTV_OutData *, DeviceImage::kOutCount> g_OutChannelTable;  // set once at start-up
extern std::array<std::atomic<int>, kLinkGroupSlots> g_ChannelModified;
extern std::array<std::atomic<int>, kLinkGroupSlots> g_LinkGroupUsed;
extern std::array<std::atomic<int>, kLinkGroupSlots> g_LinkGroupCount;
extern std::array<std::atomic<int>, kLinkGroupSlots> g_LinkGroupMask;
extern std::array<std::atomic<int>, kLinkGroupSlots> g_BtlPair;
// The suspended memberships, the link anchor, FindFreeSlot and the group bookkeeping are in
// model/LinkGroups.h.

// 1 when another output has the same non-zero link group as output ch, else 0 (also for a
// channel out of range).
int IsOutputLinked(int ch);

// ---- firmware-file parse state --------------------------------------------------------------
constexpr std::size_t kHexInfoSize = 32;
extern std::array<std::atomic<std::uint8_t>, kHexInfoSize> g_HexInfo;
// Clears bytes 0..5, 8..11, 16..17 and the version tag at 20..30 of g_HexInfo.
void ResetTransferFlags();

// For each output whose speaker type (the working copy of the speaker-type states, passed in) is
// 1, 7, 13, 16 or 19: raises a high-pass frequency below 20 to 20, then lifts the low-pass to 20000
// when the high-pass exceeds it, and turns a high-pass slope of 8 (OFF) into 7; works on the
// crossover item of each output in g_CurImage.
void ClampCrossoverForTypes(std::span<const int, DeviceImage::kOutCount> speakerTypes);

// ---- replies from the device ---------------------------------------------------------------
// These store what the device sent; each refuses (returns false, changes nothing) a preset byte
// that is not 0..6.

// A preset-name reply: bytes 0..12 from the payload (bytes below 32 stored as 0, missing bytes as
// 0), bytes 13 and 14 zero, byte 15 kept. Preset 0 is the current image.
bool StoreNameReply(int preset, std::span<const std::uint8_t> payload);
// A current-preset-number reply: g_nCurPreset = p; for p 1..6 the first 15 name bytes of machine
// preset p are copied into the current image.
bool StorePresetNumberReply(int preset);
// System blocks 2 and 5 and the speaker types (at most 8 bytes each); after block 5, byte 7
// is set equal to byte 3.
void StoreSysBlock2Reply(std::span<const std::uint8_t> payload);
void StoreSysBlock5Reply(std::span<const std::uint8_t> payload);
void StoreSpeakerTypesReply(std::span<const std::uint8_t> payload);
// Up to 66 bytes into g_ModeTable.
void StoreModeTableReply(std::span<const std::uint8_t> payload);
// Up to 15 bytes, each as an unsigned value, into g_MeterLevels.
void StoreMeterLevelsReply(std::span<const std::uint8_t> payload);
// A music-input or output block (at most the block's size) into machine preset p when
// storedPreset is set and p is 1..6, else into the current image. False for other object types,
// a channel out of range or a preset above 6.
bool StoreBlockReply(int preset, bool storedPreset, int objType, int channel, std::span<const std::uint8_t> payload);

// Sets every value of this module to its start-up default and zeroes the images. For start-up
// and for tests.
void ResetDeviceImageGlobals();
