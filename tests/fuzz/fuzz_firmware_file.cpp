// Feeds arbitrary bytes to the firmware file parser: it must refuse or accept without reading out
// of bounds, and an accepted file must be self-consistent.
#include "link/FirmwareFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FirmwareFile f;
    if (FirmwareFile::Parse({data, size}, f) == FirmwareFile::Result::Ok) {
        if (f.dspPresent && f.dsp.size() != kDspImageLength)
            std::abort();
        if (f.mcuPresent && f.mcu.size() < 4)
            std::abort();
        if (f.blockTotal != f.dataBlocks + 6 || f.dataBlocks < 0)
            std::abort();
    }
    return 0;
}
