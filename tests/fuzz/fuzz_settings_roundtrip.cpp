// The settings file's text form, three ways from one input.
// Round trip: arbitrary group names, keys and values written and read back must come back
// unchanged, whatever bytes they hold. The input is split at zero bytes into group, key and value;
// further pieces add more values to the same group.
// Rewrite: the input up to its first zero byte is a settings file as a hand edit may leave it;
// the bytes after it choose one value to set (or remove) the way the program rewrites the file.
// Read back, every other key must keep the value it had, and the chosen one must have the new one.
// Line ends: that file with its lines ended by LF, CR LF or CR alone, or led by a UTF-8 byte-order
// mark, must read the same.
#include "platform/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Values = std::map<std::pair<std::string, std::string>, std::string>;

Values ValuesOf(const ini::Document &doc)
{
    Values values;
    for (const ini::Group &g : doc)
        for (const ini::Entry &e : g.entries)
            values.emplace(std::make_pair(g.name, e.key), ini::UnescapeValue(e.value));
    return values;
}

bool SameDocument(const ini::Document &a, const ini::Document &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t g = 0; g < a.size(); ++g) {
        if (a[g].name != b[g].name || a[g].entries.size() != b[g].entries.size())
            return false;
        for (std::size_t e = 0; e < a[g].entries.size(); ++e)
            if (a[g].entries[e].key != b[g].entries[e].key || a[g].entries[e].value != b[g].entries[e].value)
                return false;
    }
    return true;
}

// The text with every line ended by `end`: CR LF, LF and a lone CR each end one line.
std::string WithLineEnds(std::string_view text, std::string_view end)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += end;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

void CheckLineEnds(std::string_view text)
{
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const std::string lf = WithLineEnds(text, "\n");
    const ini::Document doc = ini::Parse(lf);
    for (std::string_view end : {"\r\n", "\r"})
        if (!SameDocument(ini::Parse(WithLineEnds(lf, end)), doc))
            std::abort();
    // Only one mark is skipped, so a text that has one already reads the next as text.
    if (!lf.starts_with(kBom) && !SameDocument(ini::Parse(std::string(kBom) + lf), doc))
        std::abort();
}

void CheckRewrite(const std::uint8_t *data, std::size_t size)
{
    const auto *zero = static_cast<const std::uint8_t *>(std::memchr(data, 0, size));
    const std::size_t textSize = zero ? std::size_t(zero - data) : size;
    const std::string_view text(reinterpret_cast<const char *>(data), textSize);
    CheckLineEnds(text);
    std::string_view choice = zero ? std::string_view(reinterpret_cast<const char *>(zero + 1), size - textSize - 1)
                                   : std::string_view();
    const auto pick = [&choice]() -> unsigned {
        if (choice.empty())
            return 0;
        const auto b = static_cast<unsigned char>(choice.front());
        choice.remove_prefix(1);
        return b;
    };

    ini::Document doc = ini::Parse(text);
    Values expected = ValuesOf(doc);
    const bool remove = pick() & 1;
    const std::size_t g = pick() % (doc.size() + 1);
    const std::string group = g < doc.size() ? doc[g].name : std::string("Fuzz");
    std::size_t entries = 0;
    for (const ini::Group &each : doc)
        if (each.name == group)
            entries = each.entries.size();
    const std::size_t k = pick() % (entries + 1);
    std::string key = "FuzzKey";
    for (const ini::Group &each : doc)
        if (each.name == group && k < each.entries.size())
            key = each.entries[k].key;
    const std::string value(choice);

    if (remove) {
        ini::RemoveValue(doc, group, key);
        expected.erase({group, key});
    } else {
        ini::SetValue(doc, group, key, ini::EscapeValue(value));
        expected[{group, key}] = value;
    }
    if (ValuesOf(ini::Parse(ini::Serialize(doc))) != expected)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CheckRewrite(data, size);

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
