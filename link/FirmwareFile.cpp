#include "link/FirmwareFile.h"

#include "platform/RegularFile.h"

#include <algorithm>
#include <cstring>

namespace {

bool TagAt(std::span<const std::uint8_t> bytes, std::size_t offset, const char (&tag)[5])
{
    if (bytes.size() < offset + 4)
        return false;
    return std::memcmp(bytes.data() + offset, tag, 4) == 0;
}

}  // namespace

bool FirmwareFile::HasDspTag(std::span<const std::uint8_t> fourBytes)
{
    return TagAt(fourBytes, 0, "WDSP");
}

bool FirmwareFile::HasMcuTag(std::span<const std::uint8_t> fourBytes)
{
    return TagAt(fourBytes, 0, "WMCU");
}

std::uint8_t FirmwareFile::McuChecksum(std::span<const std::uint8_t> mcuImage)
{
    std::uint8_t x = kMcuChecksumSeed;
    for (std::size_t i = 4; i < mcuImage.size(); ++i)
        x ^= mcuImage[i];
    return x;
}

bool FirmwareFile::HasFirmwareExtension(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    return path.compare(dot + 1, std::string::npos, "bin") == 0;
}

FirmwareFile::Result FirmwareFile::Parse(std::span<const std::uint8_t> bytes, FirmwareFile &out)
{
    FirmwareFile f;
    std::size_t length = bytes.size();
    if (length > kFirmwareMaxLength)
        return Result::Wrong;

    if (length >= kFirmwareSplitLength) {
        // A long file must carry the DSP image; one without its tag is not a file of ours.
        if (!TagAt(bytes, 0, "WDSP"))
            return Result::Wrong;
        f.dsp.assign(bytes.begin() + 4, bytes.begin() + 4 + kDspImageLength);
        f.dspPresent = true;
        if (TagAt(bytes, kMcuTagOffset, "WMCU")) {
            f.mcu.assign(bytes.begin() + kMcuDataOffset, bytes.end());
            f.mcuPresent = true;
        }
        // Both forms count the length less the five bytes of the second tag and the unread byte.
        length -= 5;
        f.dataBlocks = static_cast<int>((length - kDspImageLength) / 48) + kDspBlockBase;
    } else {
        if (!TagAt(bytes, 0, "WMCU"))
            return Result::Wrong;
        f.mcu.assign(bytes.begin() + 4, bytes.end());
        f.mcuPresent = true;
        f.dataBlocks = static_cast<int>(length / 48);
    }

    // The start stage carries the first four MCU bytes: an image shorter than that cannot be sent.
    if (f.mcuPresent && f.mcu.size() < 4)
        return Result::Wrong;

    f.mcuChecksum = f.mcuPresent ? McuChecksum(f.mcu) : kMcuChecksumSeed;
    f.blockTotal = f.dataBlocks + 6;
    out = std::move(f);
    return Result::Ok;
}

FirmwareFile::Result FirmwareFile::Load(const std::string &path, FirmwareFile &out)
{
    std::vector<std::uint8_t> bytes;
    switch (ReadRegularFile(path, kFirmwareMaxLength, bytes)) {
    case FileReadStatus::Ok: return Parse(bytes, out);
    case FileReadStatus::TooLarge: return Result::Wrong;
    default: return Result::CannotOpen;
    }
}
