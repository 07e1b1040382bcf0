#pragma once
// Shared driver of the preset-file fuzz targets: feeds bytes to one loader and checks that a
// refused file leaves every image, system value and table as it was, and that an accepted file
// stores back to a file of the format's size.

#include "model/DeviceImage.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "model/PresetFiles.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace preset_fuzz {

struct Snapshot {
    std::vector<std::uint8_t> bytes;

    static Snapshot Take()
    {
        Snapshot s;
        auto add = [&s](const void *p, std::size_t n) {
            const auto *b = static_cast<const std::uint8_t *>(p);
            s.bytes.insert(s.bytes.end(), b, b + n);
        };
        add(g_CurImage.data(), DeviceImage::kSize);
        for (const auto &preset : g_MachinePresets)
            add(preset.data(), DeviceImage::kSize);
        for (auto *block : {&g_SysBlock2, &g_SysBlock5, &g_SpeakerTypes}) {
            const auto bytes = ReadSysBlock(*block);
            add(bytes.data(), bytes.size());
        }
        for (const auto &b : g_ModeTable) {
            const std::uint8_t v = b;
            add(&v, 1);
        }
        for (const auto &x : g_CrossoverTable) {
            const auto bytes = x.ToBytes();
            add(bytes.data(), bytes.size());
        }
        return s;
    }
};

inline CKTV_Data &Tree()
{
    static CKTV_Data *tree = [] {
        InitGlobalData();
        return new CKTV_Data;
    }();
    return *tree;
}

// The first input byte chooses the shape of the file, so the fuzzer reaches the body of the format
// quickly even though a whole file is larger than its usual input limit:
//   bit 0 clear: the rest of the input is the file as it stands;
//   bit 0 set, bit 1 clear: the format's magic, then the rest;
//   bits 0 and 1 set: a whole valid file of the format (`whole`, as the program saves it at
//   start-up) with the rest of the input laid over it from the offset in the next two bytes, and
//   cut to a length from the third when that byte is not 0xFF.
inline std::vector<std::uint8_t> Shape(const std::uint8_t *data, std::size_t size, std::string_view magic,
                                       const std::vector<std::uint8_t> &whole)
{
    std::vector<std::uint8_t> file;
    if (size == 0)
        return file;
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    if (!(mode & 1)) {
        file.assign(data, data + size);
        return file;
    }
    if (!(mode & 2)) {
        AppendArchiveString(file, magic);
        file.insert(file.end(), data, data + size);
        return file;
    }
    file = whole;
    const std::size_t fileSize = file.size();
    if (fileSize == 0)
        return file;
    if (size < 3)
        return file;
    const std::size_t offset = (data[0] | (data[1] << 8)) % fileSize;
    const std::uint8_t cut = data[2];
    data += 3;
    size -= 3;
    for (std::size_t i = 0; i < size && offset + i < fileSize; ++i)
        file[offset + i] = data[i];
    if (cut != 0xFF)
        file.resize(fileSize * cut / 255);
    return file;
}

template <class Load>
int Run(const std::uint8_t *data, std::size_t size, std::string_view magic, std::size_t fileSize, Load load)
{
    Tree();
    static const std::vector<std::uint8_t> whole = [&load] {
        auto ar = PresetArchive::ForStoring();
        load(ar);
        return ar.bytes;
    }();
    const Snapshot before = Snapshot::Take();
    auto ar = PresetArchive::ForLoading(Shape(data, size, magic, whole));
    const int result = load(ar);
    if (result == 0) {
        if (Snapshot::Take().bytes != before.bytes)
            std::abort();  // a refused file changed something
        return 0;
    }
    if (result != 1)
        std::abort();
    // Every image a load committed holds only values within range: clamping again changes nothing.
    // (A machine preset's music-input blocks reach nothing and are kept as they are.)
    auto inRange = [](const DeviceImage &image, bool outputsOnly = false) {
        FileImage bytes;
        std::memcpy(bytes.data(), image.data(), bytes.size());
        FileImage clamped = bytes;
        ClampImageValues(clamped, outputsOnly);
        return clamped == bytes;
    };
    if (magic == kPresetFileMagic || magic == kAllPresetsFileMagic) {
        if (!inRange(g_CurImage))
            std::abort();
    }
    if (magic == kAllPresetsFileMagic) {
        for (const auto &preset : g_MachinePresets)
            if (!inRange(preset, true))
                std::abort();
    }
    auto out = PresetArchive::ForStoring();
    if (load(out) == 1 && out.bytes.size() != fileSize)
        std::abort();
    return 0;
}

}  // namespace preset_fuzz
