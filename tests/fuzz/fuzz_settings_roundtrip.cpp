// Writes arbitrary group names, keys and values through the settings file's text form and reads
// them back: every string must come back unchanged, whatever bytes it holds. The input is split
// at zero bytes into group, key and value; further pieces add more values to the same group.
#include "platform/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && parts.size() < 8)
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    // Group names and keys the program writes are never empty; the store refuses empty ones.
    const std::string group = parts[0].empty() ? "General" : parts[0];
    ini::Group g{group, {}};
    std::vector<std::pair<std::string, std::string>> written;
    for (std::size_t k = 1; k + 1 < parts.size() || k == 1; k += 2) {
        std::string key = k < parts.size() && !parts[k].empty() ? parts[k] : "Key" + std::to_string(k);
        const std::string value = k + 1 < parts.size() ? parts[k + 1] : std::string();
        bool repeated = false;
        for (const auto &w : written)
            repeated = repeated || w.first == key;
        if (repeated)
            continue;
        written.emplace_back(key, value);
        g.entries.push_back({key, ini::EscapeValue(value)});
    }

    const ini::Document doc = ini::Parse(ini::Serialize({g}));
    if (doc.size() != 1 || doc[0].name != group || doc[0].entries.size() != written.size())
        std::abort();
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (doc[0].entries[i].key != written[i].first)
            std::abort();
        if (ini::UnescapeValue(doc[0].entries[i].value) != written[i].second)
            std::abort();
    }
    return 0;
}
