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

// The first input byte chooses whether the format's magic is put in front of the rest, so the
// fuzzer reaches the body of the format quickly.
inline std::vector<std::uint8_t> Shape(const std::uint8_t *data, std::size_t size, std::string_view magic)
{
    std::vector<std::uint8_t> file;
    if (size == 0)
        return file;
    if (data[0] & 1) {
        AppendArchiveString(file, magic);
        file.insert(file.end(), data + 1, data + size);
    } else {
        file.assign(data + 1, data + size);
    }
    return file;
}

template <class Load>
int Run(const std::uint8_t *data, std::size_t size, std::string_view magic, std::size_t fileSize, Load load)
{
    Tree();
    const Snapshot before = Snapshot::Take();
    auto ar = PresetArchive::ForLoading(Shape(data, size, magic));
    const int result = load(ar);
    if (result == 0) {
        if (Snapshot::Take().bytes != before.bytes)
            std::abort();  // a refused file changed something
        return 0;
    }
    if (result != 1)
        std::abort();
    auto out = PresetArchive::ForStoring();
    if (load(out) == 1 && out.bytes.size() != fileSize)
        std::abort();
    return 0;
}

}  // namespace preset_fuzz
