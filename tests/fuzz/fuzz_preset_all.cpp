// Feeds arbitrary bytes to the loader of the AllPresets file: no crash, no access out of bounds, and a
// refused file leaves the images and system values as they were.
#include "preset_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return preset_fuzz::Run(data, size, kAllPresetsFileMagic, kAllPresetsFileBytes, [](PresetArchive &ar) { return SerializeAllPresetsFile(preset_fuzz::Tree(), ar); });
}
