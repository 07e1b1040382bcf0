// Feeds arbitrary bytes to the firmware file parser: it must refuse or accept without reading out
// of bounds, and an accepted file must be self-consistent.
//
// Started without a corpus folder, the fuzzer writes its own seeds beside itself and starts from
// them: an MCU-only file, a DSP-only file and a DSP and MCU file. The two DSP files are 0x40004
// bytes or more, so the DSP branch runs from the first input instead of waiting for random inputs
// to grow that long.
#include "link/FirmwareFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Tagged(const char *tag, std::size_t bodyBytes, std::uint8_t seed)
{
    Bytes b(tag, tag + 4);
    for (std::size_t i = 0; i < bodyBytes; ++i)
        b.push_back(static_cast<std::uint8_t>(seed + i * 13));
    return b;
}

std::vector<Bytes> Seeds()
{
    Bytes dspOnly = Tagged("WDSP", kDspImageLength, 0x21);
    dspOnly.push_back(0);  // the unread byte before the MCU tag's place
    Bytes both = dspOnly;
    const Bytes mcu = Tagged("WMCU", 1000, 0x80);
    both.insert(both.end(), mcu.begin(), mcu.end());
    return {Tagged("WMCU", 100, 0x01), dspOnly, both};
}

bool WriteFile(const std::string &path, const Bytes &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    for (int i = 1; i < *argc; ++i)
        if ((*argv)[i][0] != '-')
            return 0;  // a corpus folder was given: use it as it is
    static std::string folder = std::string((*argv)[0]) + ".seeds";
    ::mkdir(folder.c_str(), 0755);
    const std::vector<Bytes> seeds = Seeds();
    for (std::size_t i = 0; i < seeds.size(); ++i)
        if (!WriteFile(folder + "/seed" + std::to_string(i) + ".bin", seeds[i]))
            return 0;
    static std::vector<char *> args;
    args.assign(*argv, *argv + *argc);
    args.push_back(folder.data());
    args.push_back(nullptr);
    *argc += 1;
    *argv = args.data();
    return 0;
}

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
