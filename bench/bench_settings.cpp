// Reading the settings file at a size where reading it key by key through the whole file took
// seconds: 110,000 keys in one group (about 880 KB, under the store's 1 MB read limit). The first
// read of a new store reads and parses the file; a repeated read finds the value in an unchanged
// file. Both read the last key of the large group.
#include "platform/Settings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kKeys = 110000;

const std::string &LargeSettingsFile()
{
    static const std::string path = [] {
        const fs::path dir = fs::temp_directory_path() / ("zk470-bench-settings-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const fs::path file = dir / "QX-ZK-470-GV1.00_GB2312.conf";
        std::string text = "[Network]\nAddress=127.0.0.1\n[Bulk]\n";
        char line[32];
        for (int i = 0; i < kKeys; ++i)
            text.append(line, static_cast<std::size_t>(std::snprintf(line, sizeof line, "%x=%d\n", i, i % 10)));
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        std::atexit([] { fs::remove_all(fs::path(LargeSettingsFile()).parent_path()); });
        return file.string();
    }();
    return path;
}

const std::string kLastKey = [] {
    char key[16];
    std::snprintf(key, sizeof key, "%x", kKeys - 1);
    return std::string(key);
}();

void BM_SettingsFirstRead(benchmark::State &state)
{
    const std::string &path = LargeSettingsFile();
    for (auto _ : state) {
        CFileSettings settings(path);
        auto value = settings.Read("Bulk", kLastKey);
        if (!value)
            state.SkipWithError("the last key was not read");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_SettingsFirstRead)->Unit(benchmark::kMillisecond);

void BM_SettingsRepeatedRead(benchmark::State &state)
{
    CFileSettings settings(LargeSettingsFile());
    if (!settings.Read("Bulk", kLastKey))
        state.SkipWithError("the last key was not read");
    for (auto _ : state) {
        auto value = settings.Read("Bulk", kLastKey);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_SettingsRepeatedRead)->Unit(benchmark::kMicrosecond);

}  // namespace
