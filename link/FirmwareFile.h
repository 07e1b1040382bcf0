#pragma once
// The firmware file (".bin"): an MCU image, a DSP image or both, checked and split into the two
// byte images the update engine sends.
//
//   length below 0x40004:   "WMCU" then the MCU image to the end of the file
//   length 0x40004 or more: "WDSP", 0x3FFFF DSP bytes, one unread byte, then at 0x40004 "WMCU"
//                           and the MCU image to the end (a DSP-only file stops after the DSP bytes)
//
// A file is read whole, checked, and only then handed out: a short or wrong file changes nothing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr std::size_t kFirmwareSplitLength = 0x40004;  // files this long or longer carry a DSP image
constexpr std::size_t kDspImageLength = 0x3FFFF;
constexpr std::size_t kMcuTagOffset = 0x40004;
constexpr std::size_t kMcuDataOffset = 0x40008;
constexpr std::uint8_t kMcuChecksumSeed = 0x12;
// Data blocks of a full DSP image: 5,957 blocks of 44 bytes and one of 35.
constexpr int kDspBlockBase = 5957;
// Files above this size are not firmware of this device (the largest real file is about 0x60000).
constexpr std::size_t kFirmwareMaxLength = 16u * 1024u * 1024u;

struct FirmwareFile {
    enum class Result { Ok, CannotOpen, Wrong };

    std::vector<std::uint8_t> dsp;  // DSP image, empty when the file has none
    std::vector<std::uint8_t> mcu;  // MCU image, empty when the file has none
    // 0x12 XOR every MCU byte from index 4 on (the first four travel in the start stage). A file
    // without an MCU image keeps the seed: the value always comes from this file.
    std::uint8_t mcuChecksum = kMcuChecksumSeed;
    bool dspPresent = false;
    bool mcuPresent = false;
    int dataBlocks = 0;  // data blocks the update sends, as the progress counts them
    int blockTotal = 0;  // range of the update's progress bar: data blocks + 6

    // Parses a whole file. On anything but Ok, out is left as it was.
    static Result Parse(std::span<const std::uint8_t> bytes, FirmwareFile &out);
    // Reads the file at path and parses it. CannotOpen when it is not a regular file or cannot be
    // read (a FIFO is refused, never waited on); Wrong when it is larger than any firmware.
    static Result Load(const std::string &path, FirmwareFile &out);

    static std::uint8_t McuChecksum(std::span<const std::uint8_t> mcuImage);
    static bool HasDspTag(std::span<const std::uint8_t> fourBytes);
    static bool HasMcuTag(std::span<const std::uint8_t> fourBytes);
    // True when the path's extension is exactly "bin" (case-sensitive).
    static bool HasFirmwareExtension(const std::string &path);
};
